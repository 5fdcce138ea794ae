#pragma once
// The check of a set (tallowick-cli check, 其它 → 核对账目): verifies the
// books without changing them, and says where and how much for everything
// that does not hold.
//
// checkBooks, on the open set:
//   1. SQLite's quick_check of every table file; a damaged table, or one that
//      does not open with the fields of its schema, is a finding, and the
//      books are not read further (their figures mean nothing then);
//   2. 账库, in record order, per account: every voucher row's 余额 is the
//      previous row's plus its 借方 and 贷方; the opening row at 启用日期
//      starts the chain (余额 = 借方 + 贷方); every other row without a
//      voucher (本月合计, 本年累计, a new year's 期初余额) repeats the
//      balance; every 方向 follows its 余额;
//   3. 账库辅1 per account: 借方 and 贷方 are the sums of the account's opening
//      and voucher rows in 账库, 余额 the end of its chain, 方向 its side;
//      an account of 账库 without a 账库辅1 record is a finding;
//   4. every line of a posted voucher page has its 账库 row (a debit row, a
//      credit row, or both for a line of two zeros, as posting writes them),
//      and every voucher row of 账库 has its posted line;
//   5. each closed month (启用日期's month up to the one before 会计期间): its
//      voucher rows' debits equal their credits; in 总账库 its 本月合计 rows
//      balance and the 余额 of its 本年累计 rows add up to zero (the trial
//      balance); every 损益类 account's 本月合计 row in 账库 stands at 0;
//   6. 会计期间 follows the last month 总账库 holds rows of, and no month row
//      lies in the open period or after it.
// Amounts compare in cents. A finding is one line of text. Works outside any
// action; writes nothing.

#include <string>
#include <vector>

#include "shell/session.h"

namespace tw {

// The check's lines, one per finding; empty when the books are sound.
std::vector<std::string> checkBooks(RecordStore& store, const Session& session);

// "核对完毕，未发现问题。" or "核对发现3处问题！"
std::string checkSummary(const std::vector<std::string>& findings);

}  // namespace tw
