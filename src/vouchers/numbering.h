#pragma once
// Voucher numbers (月编号) and the page counts that keep a voucher's pages
// together. Numbers are unique within a month and carry the month in front of
// a four-digit sequence: 30001 is the first voucher of March, 120001 the first
// of December. The operations that write work inside the caller's action.

#include <cstdint>
#include <string>
#include <string_view>

#include "vouchers/voucher_page.h"

namespace tw {

inline constexpr const char* kMonthFull = "本月凭证已编到第9999号，不能再新建凭证！";

// The numbers of a month: month × 10000 + 1 … month × 10000 + 9999 (30001 …
// 39999 for March). Every voucher of the month is numbered inside it.
struct NumberBlock {
    std::int64_t first = 0, last = 0;
    bool holds(double number) const;
};
NumberBlock numberBlock(double month);
// "凭证编号必须在30001到39999之间！"
std::string numberBlockMessage(const NumberBlock& block);

// The number as bookkeepers read it on paper: "记字第1号" for 30001 and
// "记字第12号" for 120012, the month's sequence after the month in front;
// a whole number outside every month's block reads whole (记字第5号), any
// other number as its plain text; 0 (no voucher) is empty.
std::string voucherWordNumber(double number);

// The number of a new voucher in the current period's month:
// 1. M := the largest 月编号 of the month's pages inside its block (0 when
//    it has none), so a number from elsewhere cannot push the month on;
// 2. S := the decimal text of M + 1; P := the last four characters of
//    "000" + S (0001 for S = 1, 0002 for S = 30002);
// 3. the number is the month (3, 12) followed by P: 30001, 30002, 120001.
// Refuses kMonthFull when the sequence would wrap past 9999 (a duplicate
// number otherwise), and kDuplicateNumber when a page of the month already
// carries the number (numbers typed by hand out of the month's scheme).
double nextVoucherNumber(RecordStore& store, const Session& session);

// Writes `value` into `field` of every page of the voucher numbered
// `oldNumber` in the month that `month` lies in (日期 and 月编号 stay equal
// across a voucher's pages).
void spreadToPages(RecordStore& store, const Session& session, double month, double oldNumber,
                   std::string_view field, const Value& value);

// 共几 := 共几 + 1 on every page of the voucher numbered `number` in the
// month that `month` lies in.
void addPageCount(RecordStore& store, const Session& session, double month, double number);

// Before `deleted` is removed: on the other pages of its voucher, 第几 above
// the deleted page's goes down by one and 共几 goes down by one. When it was
// its voucher's only page, the later vouchers of the month (numbers above
// its own) move down by one to close the gap, unless one of them is posted:
// posted vouchers keep their numbers, since the ledger rows refer to them,
// and the gap stays. A page that is no voucher (编制 empty) changes nothing.
void closeGapAfterDelete(RecordStore& store, const Session& session, const VoucherPage& deleted);

}  // namespace tw
