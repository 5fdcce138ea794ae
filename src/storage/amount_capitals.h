#pragma once
// An amount in Chinese capitals (大写), as a bookkeeper writes the total of a
// voucher or a cheque: 117000 is 壹拾壹万柒仟元整.
//
// amountInCapitals, from whole cents:
//   1. the yuan in groups of four digits from the right, each group written
//      with 仟, 佰, 拾 and followed by its unit (万, 亿; 万亿 above 亿, 亿亿
//      beyond): 壹拾 always with its 壹 (10 is 壹拾元);
//   2. zeros: a run of zeros between two digits written is one 零, across
//      group boundaries too (1005 壹仟零伍, 100010 壹拾万零壹拾,
//      100010000 壹亿零壹万); zeros at the end of the yuan are not written;
//   3. 元 after the yuan, unless there are none and cents follow (0.05 is
//      伍分; 0 is 零元整);
//   4. 角 and 分: 1005.20 壹仟零伍元贰角; a zero 角 between yuan and 分 is 零
//      (100.05 壹佰元零伍分); no cents at all: 整 (100 壹佰元整);
//   5. a negative amount starts with 负.

#include <cstdint>
#include <string>

namespace tw {

std::string amountInCapitals(std::int64_t cents);

}  // namespace tw
