#pragma once
// The printed voucher (记账凭证): the page template 标准凭证.grd with its
// placeholders filled from one voucher page.
//
// fillVoucherSheet:
//   1. a fresh copy of the template;
//   2. every cell whose text is "[name]" is emptied and receives the value of
//      that name, wherever it stands and however often it repeats:
//        单位 the company; 日期 " " + the date box; 编号 the number box;
//        凭证字号 the number as bookkeepers read it (记字第1号 for 30001);
//        第几 "第" + page + "张"; 共几 "共" + pages + "张"; 附件数 count + "张";
//        摘要1..4, 科目1..4 the line texts; 借方金额1..4, 贷方金额1..4 and
//        借方合计, 贷方合计 the amount with two decimals and its thousands
//        grouped (1,234.50), or nothing for an empty box (a box that holds no
//        number prints 0.00); 大写 the debit total in Chinese capitals
//        (壹拾壹万柒仟元整), empty on a page without totals;
//        编制, 审核, 登账 the names; 打印日期 the day of printing (2013-3-1);
//      any other name leaves its cell empty.
// A cell that holds a name without brackets keeps its text.

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/page_grid.h"
#include "shell/session.h"
#include "storage/dates.h"
#include "storage/outcome.h"
#include "vouchers/voucher_page.h"

namespace tw {

// What the sheet is filled from: the company and the texts of the voucher
// window's boxes for the page shown.
struct VoucherSheetTexts {
    std::string company;      // 单位名称 of the set
    std::string date;         // 日期编辑框: 2013-3-1
    std::string number;       // 月编号编辑框
    std::string page;         // 第几编辑框
    std::string pageCount;    // 共几编辑框
    std::string attachments;  // 附件数编辑框
    std::array<std::string, 4> summaries;
    std::array<std::string, 4> accounts;
    std::array<std::string, 4> debits;  // as the boxes show them: 1234.5, or empty
    std::array<std::string, 4> credits;
    std::string debitTotal;  // empty on a page other than the voucher's last
    std::string creditTotal;
    std::string preparer;
    std::string reviewer;
    std::string poster;
};

// The value of every placeholder name, for a sheet printed on `printDay`.
std::map<std::string, std::string> voucherPlaceholderValues(const VoucherSheetTexts& page,
                                                            double printDay);

// Steps 1 and 2 above.
PageGrid fillVoucherSheet(PageGrid templ, const VoucherSheetTexts& page, double printDay);

// 标准凭证.grd of the account-set directory; the program's own template when
// the file is missing or damaged.
PageGrid loadVoucherTemplate(const std::filesystem::path& dataDir);

// The texts of a page as stored, as the voucher window shows them (dates
// 2013-3-1, amounts as plain decimals, zero amounts empty) with its stored
// totals on the voucher's last page only.
VoucherSheetTexts sheetTextsOf(const VoucherPage& page, const std::string& company);

// The page `page` of voucher `number` of `month` (the last such page in
// record order, as the voucher window walks back from the newest). Refuses
// when the month has no such page (a page without 编制 is no voucher):
// missingVoucherMessage for the current month, the month named for another;
// kUnreadableSet when 凭证库 cannot be read.
VoucherSheetTexts readVoucherPage(RecordStore& store, const Session& session, YearMonth month,
                                  std::int64_t number, int page);
// The same in the current month.
VoucherSheetTexts readVoucherPage(RecordStore& store, const Session& session, std::int64_t number,
                                 int page);

// "本月没有编号为30001的凭证第1张！"
std::string missingVoucherMessage(std::int64_t number, int page);
// "2013年2月没有编号为20001的凭证第1张！"
std::string missingVoucherMessage(YearMonth month, std::int64_t number, int page);

// The filled sheet of that page of the current month, printed today.
PageGrid voucherSheet(RecordStore& store, const Session& session, std::int64_t number, int page);

// Every page of the voucher that the page with record id `pageId` belongs
// to, by 第几, read afresh: what 打印当前 prints. Refuses kNoPage when the
// page is gone.
std::vector<VoucherSheetTexts> wholeVoucherSheets(RecordStore& store, const Session& session,
                                                  std::int64_t pageId);
// The pages with these record ids, read afresh, in the order given (a list
// of found pages); a page deleted since is left out.
std::vector<VoucherSheetTexts> listedVoucherSheets(RecordStore& store, const Session& session,
                                                   const std::vector<std::int64_t>& ids);

// The name a print queue shows for a job of these sheets: "凭证 30001 第1张",
// "凭证 30001 第1至2张" (pages of one voucher), "凭证 30001至30003 共4张".
std::string voucherJobName(const std::vector<VoucherSheetTexts>& sheets);

}  // namespace tw
