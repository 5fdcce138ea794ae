#pragma once
// The month's reports (编辑报表): the account summary (科目汇总表) and the
// trial balance (试算平衡表) of a closed month, from the month rows the close
// writes into 总账库, in a workbook of their own per month; beside it the
// whole general and detail ledgers as HTML files (html_ledger.h).
//
// buildMonthReport, for the month (Y, M):
//   1. refuses kNoMonthData when the month's last day lies after 会计期间 (the
//      month is not closed yet) or before 启用日期 (before the books), and for
//      a month that is no month at all; nothing is written then;
//   2. account summary: one line per "本月合计" row of the month in 总账库, in
//      record order: the account, its debit and credit movement (both as
//      positive amounts); then their totals;
//   3. copies the summary lines and the totals line ("合计") into
//      报表临时1.edb, replacing what it held;
//   4. trial balance: one line per summary line (the totals line is not an
//      account: it becomes the one totals line at the end, with every column
//      summed once). For each account:
//        期初余额  the balance at the start of the month: the previous month's
//                 "本年累计" 余额, or the year's "期初余额" row in the first
//                 month of the books;
//        累计发生  the month's movement, as in the summary;
//        期末余额  the balance at the end of the month ("本年累计" 余额 of the
//                 month);
//        年初余额  the balance of the year's "期初余额" row;
//      each balance on the debit or the credit side by its sign. Every look-up
//      reads the rows it needs by their month from the whole of 总账库.
// With every account of the month listed (the close gives quiet accounts
// rows too), each pair of columns totals equal on both sides.
//
// exportMonthReport runs buildMonthReport and writes its files: the workbook
// (report_workbook.h), an export for the user that goes where the caller
// says (monthReportPath in the export folder, so that earlier months stay;
// never into the account-set directory), and 总账.xls, 分账.xls, which are
// files of the set: they stay in the set folder, go into its backups and come
// back with a restore (shell/archive_names.h). 账库 is opened before anything
// is written, so a set whose ledgers cannot be read gets no files at all.
// The three files are one unit: they replace the earlier ones together, and
// only once all are complete and 报表临时1 has been committed; a full disk or
// a kill leaves every earlier file as it was.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/workbook.h"
#include "shell/session.h"
#include "storage/dates.h"
#include "storage/file_swap.h"
#include "storage/outcome.h"

namespace tw {

inline constexpr const char* kNoMonthData = "无此月份数据！请检查！";
inline constexpr const char* kTotalsLine = "合计";

// A pair of columns: the debit and the credit side, both zero or positive.
struct SidePair {
    double debit = 0;
    double credit = 0;
    bool operator==(const SidePair&) const = default;
};
// A signed balance on its side: positive on the debit side, negative on the credit side.
SidePair balanceSides(double balance);

struct SummaryLine {
    std::string account;
    SidePair movement;
};

struct TrialLine {
    std::string account;
    SidePair opening;      // 期初余额
    SidePair movement;     // 累计发生 (the month's)
    SidePair closing;      // 期末余额
    SidePair yearOpening;  // 年初余额
};

struct MonthReport {
    YearMonth month;
    std::string company;   // 单位名称
    std::string preparer;  // the user who made it
    double madeOn = 0;     // today, for the 制表 line
    std::vector<SummaryLine> summary;
    SidePair summaryTotal;
    std::vector<TrialLine> trial;
    TrialLine trialTotal;  // account "合计"
};

MonthReport buildMonthReport(RecordStore& store, const Session& session, YearMonth month);

// 报表-2013-03.xlsx in `folder` (the export folder).
std::filesystem::path monthReportPath(const std::filesystem::path& folder, YearMonth month);

struct ExportedReport {
    explicit ExportedReport(std::filesystem::path dataDir = {}) : files(std::move(dataDir)) {}
    MonthReport report;
    Workbook book;  // as written
    std::filesystem::path workbook;
    std::filesystem::path generalHtml;  // 总账.xls
    std::filesystem::path detailHtml;   // 分账.xls
    FileBatch files;  // the three files, written beside their places
};

// The body of the export, inside the caller's action: checks where the
// files go (the workbook `workbookFile` never inside the account-set
// directory, the two ledger files in the set folder; storage/user_files.h),
// runs buildMonthReport and writes the three files beside their places. A
// target refused, or a file that cannot be written, refuses (for the latter
// userFileFailure: the disk message unless the folder is the reason; the
// reason in the detail); 报表临时1 is then left as it was and no file is
// changed. 上机日志 records 编辑报表 with the month in the same action.
ExportedReport writeMonthReport(RecordStore& store, const Session& session, YearMonth month,
                                const std::filesystem::path& workbookFile);

// The whole export of the report window: writeMonthReport in an action of its
// own and, once that has committed, the three files put in place together.
Result<ExportedReport> exportMonthReport(RecordStore& store, const Session& session,
                                         YearMonth month,
                                         const std::filesystem::path& workbookFile);

}  // namespace tw
