#pragma once
// The table behind pinyinInitials (pinyin.h) for the characters whose GBK
// code does not tell their initials: one row per initial letter, holding the
// characters that may be read with it.

#include <cstddef>

namespace tw {

struct PinyinRow {
    char letter;             // 'a' … 'z'
    const char* characters;  // UTF-8
};

extern const PinyinRow kPinyinRows[];
extern const std::size_t kPinyinRowCount;

}  // namespace tw
