#pragma once
// A month's vouchers on paper as they are bound (凭证装订): every voucher
// page of the month in number order, then the binding cover (凭证封面) that
// says what the bundle holds.
//
// monthVoucherBook:
//   1. the pages dated in the month, open or closed (refuses kUnreadableSet
//      when 凭证库 cannot be read);
//   2. leaves out the pages without 编制 (no voucher);
//   3. orders them by 月编号, then 第几, ties in record order;
//   4. counts for the cover: the first and the last number, the vouchers
//      (numbers), the pages and the attachments (附件数 summed over the pages).
// Refuses "2013年3月没有凭证！" when no page is left.
//
// The cover (voucherCover), on the voucher's paper (A5 landscape): the title
// 记账凭证封面, then a ruled table of 单位名称, 所属期间 (2013年3月), 凭证起止号
// (自记字第1号至记字第12号), 凭证份数 (共12份), 凭证张数 (共15张) and 附件张数
// (共20张), then the lines for 会计主管, 装订人 and 装订日期 to sign.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/page_grid.h"
#include "shell/session.h"
#include "storage/dates.h"
#include "vouchers/voucher_page.h"

namespace tw {

struct VoucherBook {
    YearMonth month;
    std::vector<VoucherPage> pages;  // in number order
    double firstNumber = 0;
    double lastNumber = 0;
    int vouchers = 0;
    std::int64_t attachments = 0;
    int pageCount() const { return static_cast<int>(pages.size()); }
};

// "2013年3月没有凭证！"
std::string noVouchersMessage(YearMonth month);

// Steps 2 to 4 on the pages as read.
VoucherBook voucherBook(YearMonth month, std::vector<VoucherPage> pages);
// Steps 1 to 4, with the refusal.
VoucherBook monthVoucherBook(RecordStore& store, const Session& session, YearMonth month);

// The binding cover of the book.
PageGrid voucherCover(const VoucherBook& book, const std::string& company);

// What a month prints: each page filled into `templ` (fillVoucherSheet) as
// printed on `printDay`, then the cover.
std::vector<PageGrid> voucherBookSheets(const VoucherBook& book, const PageGrid& templ,
                                        const std::string& company, double printDay);

}  // namespace tw
