#pragma once
// The ledger page of one account for a date range (明细账窗口): the detail
// ledger lists the account's rows of 账库, the general ledger its rows of
// 总账库 (whose rows carry top-level names only, so a sub-account lists
// nothing there). The rows themselves are written by enabling, posting and
// the month-end close; here they are only selected, formatted and laid out,
// and the page reads them as a bookkeeper does: the detail ledger of an
// account with sub-accounts gathers theirs (parent_ledger.h), the general
// ledger's year totals are the year's movements (general_ledger_rows.h).
//
// listLedgerPage:
//   1. refuses "请先选择会计科目！" when no account is chosen (empty, or still
//      the box's prompt text);
//   2. starts from a fresh copy of 账页.grd and writes the heading into cell
//      (1, 1): " 明细科目：" (general: " 总账科目：") + the account's code, a
//      blank (none without a code: accounts/account_codes.h) + account + two
//      spaces + from + "至" + to, dates as 2013-1-1;
//   3. selects the rows of the mode's table whose 科目 equals the account
//      exactly and whose 凭证日期 lies in the range, both days included, in
//      record order, through the table's (科目, 凭证日期) index; in detail
//      mode an account with sub-accounts in the chart lists its parent page
//      instead (parentLedgerRows); in general mode the close's "本年累计" and
//      "期初余额" rows read as showYearTotalsAsMovements says;
//   4. writes one page row per ledger row (ledgerLine), every cell of
//      columns 1 to 7 ruled on all sides, vertically centred.
// Refuses kUnreadableSet, before anything is listed, when the table cannot
// be read: an unreadable ledger is never shown as an empty page.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/page_grid.h"
#include "platform/sheet_footer.h"
#include "shell/session.h"
#include "storage/outcome.h"
#include "storage/where.h"

namespace tw {

inline constexpr const char* kChooseAccountFirst = "请先选择会计科目！";
// The account box's text while no account is chosen.
inline constexpr const char* kChooseAccountPrompt = "点击这里选择要查阅的科目";

enum class LedgerMode { Detail, General };

struct LedgerRequest {
    LedgerMode mode = LedgerMode::Detail;
    std::string account;  // the full name, compared as whole text
    double from = 0;      // day numbers, both days included
    double to = 0;
};

// One record of 账库 / 总账库 as stored (credits negative, balance signed).
struct LedgerRow {
    double date = 0;
    std::int64_t voucherNumber = 0;  // 0 on rows that belong to no voucher
    std::string summary;
    std::string account;
    double debit = 0;
    double credit = 0;
    std::string side;  // 借, 贷 or 平
    double balance = 0;
};

// A page row as the page shows it: the texts of columns 1 to 7, and its
// height in template units (0: the template's row height).
struct LedgerLine {
    std::array<std::string, 7> cells;
    int height = 0;
};

// Row heights of a page row whose summary is long (GBK bytes).
inline constexpr int kTwoLineSummaryBytes = 33;
inline constexpr int kTwoLineRowHeight = 96;
inline constexpr int kManyLineSummaryBytes = 65;
inline constexpr int kManyLineRowHeight = 192;

// " 明细科目：1001 库存现金  2013-1-1至2013-1-31"; without the code when
// `code` is empty.
std::string ledgerHeading(const LedgerRequest& request, const std::string& code = {});

// The name a print queue shows for the page: "明细账 现金 2013-3-1至2013-3-31"
// (general: "总账 …").
std::string ledgerJobName(const LedgerRequest& request);
// Under every printed sheet of a ledger page: "单位：" + the company, and
// 第N页/共M页.
SheetFooter ledgerFooter(const Session& session);

// The page row of a ledger row:
//   1 date (2013-3-1); 2 the voucher number, empty when 0 and always empty in
//   general mode; 3 the summary; 4 the debit; 5 the credit, negated so it
//   shows positive; 6 the side; 7 the balance, negated when the side is 贷.
// Amounts have two decimals. A zero debit or credit (|x| <= 1e-7) is "0" in
// general mode and on the close's 本月合计 / 本年累计 rows (凭证编号 0), empty
// otherwise, and "0.00" on the close's 期初余额 row (凭证编号 0) in general
// mode; the balance always shows, 0.00 included.
LedgerLine ledgerLine(LedgerMode mode, const LedgerRow& row);

// The look-up of one account's rows from day `from` to day `to`, both
// included: 科目 equal to `account`, `dateField` within the days. Only the day
// counts: a row stamped later on the last day still belongs. The ledger
// tables and 日记账库 index (科目, date) for it.
Where accountDays(std::string_view dateField, const std::string& account, double from, double to);

// The rows of the mode's table for the request in record order, as stored
// (steps 1 and 3 above, without the bookkeeper's reading).
std::vector<LedgerRow> selectLedgerRows(RecordStore& store, const Session& session,
                                        const LedgerRequest& request);

// Lays the lines out on a copy of the template: the heading in (1, 1), the
// first line in the template's empty data row when that is its last row,
// every further line in a row appended in the data row's style.
PageGrid ledgerPage(PageGrid templ, const std::string& heading,
                    const std::vector<LedgerLine>& lines);

// 账页.grd of the account-set directory; the program's own template when the
// file is missing or cannot be used (fewer than seven columns, no data row).
PageGrid loadLedgerTemplate(const std::filesystem::path& dataDir);

struct LedgerListing {
    PageGrid page;
    std::vector<LedgerLine> lines;  // the page's data rows, in order
};
// The whole listing (steps 1 to 4), for the window's 列出 and the CLI.
LedgerListing listLedgerPage(RecordStore& store, const Session& session,
                             const LedgerRequest& request);

}  // namespace tw
