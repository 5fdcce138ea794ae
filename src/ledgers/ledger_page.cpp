#include "ledgers/ledger_page.h"

#include <cmath>
#include <optional>
#include <utility>

#include "accounts/account_codes.h"
#include "ledgers/general_ledger_rows.h"
#include "ledgers/parent_ledger.h"
#include "storage/dates.h"
#include "storage/gbk.h"
#include "storage/ledger_convention.h"
#include "storage/number_text.h"
#include "storage/record_store.h"
#include "storage/schemas.h"

namespace tw {

namespace {

// The month-end close's total rows (no voucher's, with its texts); their zero
// amounts show "0". A voucher line summarised the same reads as any other.
bool isTotalRow(const LedgerRow& row) {
    return row.voucherNumber == 0 && (row.summary == kMonthTotal || row.summary == kYearTotal);
}

// The close's opening row: a balance, no movement.
bool isOpeningRow(const LedgerRow& row) {
    return row.voucherNumber == 0 && row.summary == kOpeningSummary;
}

std::string amountCell(LedgerMode mode, const LedgerRow& row, double amount) {
    if (!isZero(amount)) return twoDecimals(amount);
    if (mode == LedgerMode::General && isOpeningRow(row)) return "0.00";
    return mode == LedgerMode::General || isTotalRow(row) ? "0" : "";
}

int rowHeightFor(const std::string& summary) {
    const std::size_t bytes = gbkLength(summary).value_or(summary.size());
    if (bytes >= kManyLineSummaryBytes) return kManyLineRowHeight;
    if (bytes >= kTwoLineSummaryBytes) return kTwoLineRowHeight;
    return 0;
}

// 日期, 凭证号, 摘要, 借方, 贷方, 方向, 余额
constexpr HAlign kColumnAlign[7] = {HAlign::Left,  HAlign::Centre, HAlign::Left,  HAlign::Right,
                                    HAlign::Right, HAlign::Centre, HAlign::Right};

bool usableTemplate(const PageGrid& grid) {
    return grid.columnCount() >= 7 && grid.dataRow() >= 1 && grid.dataRow() <= grid.rowCount();
}

bool rowIsEmpty(const PageGrid& grid, int row) {
    for (int c = 1; c <= grid.columnCount(); ++c)
        if (!grid.text(row, c).empty()) return false;
    return true;
}

const char* sourceTable(LedgerMode mode) {
    return mode == LedgerMode::General ? file::kGeneralLedger : file::kLedger;
}

// The rows the page shows (step 3).
std::vector<LedgerRow> pageRows(RecordStore& store, const Session& session,
                                const LedgerRequest& request) {
    const bool chosen = !request.account.empty() && request.account != kChooseAccountPrompt;
    if (request.mode == LedgerMode::Detail && chosen) {
        if (std::optional<std::vector<LedgerRow>> parent = parentLedgerRows(store, session, request))
            return std::move(*parent);
    }
    std::vector<LedgerRow> rows = selectLedgerRows(store, session, request);
    if (request.mode == LedgerMode::General) showYearTotalsAsMovements(store, session, request, rows);
    return rows;
}

}  // namespace

std::string ledgerHeading(const LedgerRequest& request, const std::string& code) {
    return std::string(request.mode == LedgerMode::General ? " 总账科目：" : " 明细科目：") +
           codeAndName(code, request.account) + "  " + formatDate(request.from) + "至" +
           formatDate(request.to);
}

std::string ledgerJobName(const LedgerRequest& request) {
    return std::string(request.mode == LedgerMode::General ? "总账 " : "明细账 ") + request.account +
           " " + formatDate(request.from) + "至" + formatDate(request.to);
}

SheetFooter ledgerFooter(const Session& session) {
    return {"单位：" + session.login.companyName, true};
}

LedgerLine ledgerLine(LedgerMode mode, const LedgerRow& row) {
    LedgerLine line;
    line.cells[0] = formatDate(row.date);
    if (mode == LedgerMode::Detail && row.voucherNumber != 0)
        line.cells[1] = std::to_string(row.voucherNumber);
    line.cells[2] = row.summary;
    line.cells[3] = amountCell(mode, row, row.debit);
    line.cells[4] = amountCell(mode, row, -row.credit);
    line.cells[5] = row.side;
    line.cells[6] = twoDecimals(row.side == "贷" ? -row.balance : row.balance);
    line.height = rowHeightFor(row.summary);
    return line;
}

Where accountDays(std::string_view dateField, const std::string& account, double from, double to) {
    return Where()
        .equal(field::kAccount, account)
        .atLeast(dateField, std::floor(from))
        .below(dateField, std::floor(to) + 1);
}

std::vector<LedgerRow> selectLedgerRows(RecordStore& store, const Session& session,
                                        const LedgerRequest& request) {
    if (request.account.empty() || request.account == kChooseAccountPrompt)
        refuse(kChooseAccountFirst);
    const SetTable source(store, session, sourceTable(request.mode));
    const Table& t = source.table();
    const int date = t.position(field::kVoucherDate), number = t.position(field::kVoucherNo),
              summary = t.position(field::kSummary), account = t.position(field::kAccount),
              debit = t.position(field::kDebit), credit = t.position(field::kCredit),
              side = t.position(field::kBalanceSide), balance = t.position(field::kBalance);
    std::vector<Record> found =
        t.select(accountDays(field::kVoucherDate, request.account, request.from, request.to));
    std::vector<LedgerRow> rows;
    rows.reserve(found.size());
    for (Record& r : found) {
        LedgerRow row;
        row.date = r[date].number();
        row.voucherNumber = r[number].integer();
        row.summary = r[summary].text();
        row.account = r[account].text();
        row.debit = r[debit].number();
        row.credit = r[credit].number();
        row.side = r[side].text();
        row.balance = r[balance].number();
        rows.push_back(std::move(row));
    }
    return rows;
}

PageGrid ledgerPage(PageGrid page, const std::string& heading,
                    const std::vector<LedgerLine>& lines) {
    page.setText(1, 1, heading);
    const int styleRow = page.dataRow();
    // The first line may make the data row taller; the rows after it keep the template's height.
    const int height = page.rowHeight(styleRow);
    bool useDataRow = styleRow == page.rowCount() && rowIsEmpty(page, styleRow);
    for (const LedgerLine& line : lines) {
        const int row = useDataRow ? styleRow : page.appendRow(styleRow);
        useDataRow = false;
        if (row == 0) break;  // a template without a data row: nothing to copy
        for (int c = 1; c <= 7; ++c) {
            page.setText(row, c, line.cells[c - 1]);
            page.setAlignment(row, c, kColumnAlign[c - 1]);
            page.setBorders(row, c, CellBorders::all());
        }
        page.setRowHeight(row, line.height > 0 ? line.height : height);
    }
    return page;
}

PageGrid loadLedgerTemplate(const std::filesystem::path& dataDir) {
    std::optional<PageGrid> loaded =
        PageGrid::load(templatePath(dataDir, file::kLedgerPage), nullptr);
    if (loaded && usableTemplate(*loaded)) return std::move(*loaded);
    return ledgerPageTemplate();
}

LedgerListing listLedgerPage(RecordStore& store, const Session& session,
                             const LedgerRequest& request) {
    const std::vector<LedgerRow> rows = pageRows(store, session, request);
    LedgerListing listing;
    listing.lines.reserve(rows.size());
    for (const LedgerRow& row : rows) listing.lines.push_back(ledgerLine(request.mode, row));
    const std::string code = accountCode(store, session, request.account);
    listing.page = ledgerPage(loadLedgerTemplate(session.dataDir), ledgerHeading(request, code),
                              listing.lines);
    return listing;
}

}  // namespace tw
