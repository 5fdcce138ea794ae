#pragma once
// The check of a set (tallowick-cli check, 其它 → 核对账目): verifies the
// books without changing them, and says where and how much for everything
// that does not hold.
//
// checkBooks, on the open set:
//   1. every table file of the set: SQLite's quick_check, then opened as the
//      program opens it (shell/set_tables.h: its password, the fields of its
//      schema, no newer format; an empty file, a folder or a dead link at a
//      table's name fails). Each that fails is a finding; when one of the
//      tables the figures come from fails (基本信息, 会计科目, 凭证库, 账库,
//      账库辅1, 总账库), the figures are not read: they mean nothing then;
//   2. 账库 in record order, per account: every voucher row's 余额 is the
//      previous entry's plus its 借方 and 贷方 (the opening at 启用日期
//      starts the chain), or the opening plus every entry so far; its 方向
//      follows its 余额. A row edited alone and a row lost are each told once;
//   3. 账库辅1 per account: 借方 and 贷方 are the sums of the account's
//      opening and entries, 余额 the end of its chain, 方向 its side; an
//      account of 账库 without a 账库辅1 record is a finding;
//   4. every line of a posted voucher page has its 账库 row (a debit row, a
//      credit row, or both for a line of two zeros, as posting writes them),
//      and every voucher row of 账库 has its posted line;
//   5. every row the program writes itself (凭证编号 0) recomputed from the
//      entries and the openings, as enabling and the closes write it, and
//      compared field by field (date, 借方, 贷方, 余额, 方向): in 账库 the
//      opening at 启用日期, per account and closed month 本月合计, in December
//      本年累计 and the next year's 期初余额; in 总账库 per top-level account
//      the opening enabling wrote, and from its first month on every month's
//      本月合计 and 本年累计 and every new year's 期初余额. A row missing, a
//      second copy, and a row no closed month calls for are findings;
//   6. each closed month: its voucher rows' debits equal their credits; in
//      总账库 its 本月合计 rows balance and the 余额 of its 本年累计 rows add
//      up to zero (the trial balance); every 损益类 account's 本月合计 row in
//      账库 stands at 0;
//   7. 会计期间 follows the last month 总账库 holds rows of.
// A closed month is one from 启用日期's month up to the one before 会计期间
// (its rows are required up to the last month 总账库 holds when 会计期间
// runs ahead of it: step 7 tells that once).
//
// The tables stream past: what is kept are sums per account and month, and
// a fingerprint of the entries per month; only the months whose entries and
// lines differ are read again to tell which. Amounts compare in cents. A
// finding is one line of text. Works outside any action; writes nothing.

#include <string>
#include <vector>

#include "shell/session.h"

namespace tw {

// The check's lines, one per finding; empty when the books are sound.
std::vector<std::string> checkBooks(RecordStore& store, const Session& session);

// "核对完毕，未发现问题。" or "核对发现3处问题！"
std::string checkSummary(const std::vector<std::string>& findings);

}  // namespace tw
