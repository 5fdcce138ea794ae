#include "ledgers/report_workbook.h"

#include <algorithm>

#include "platform/xlsx_reader.h"
#include "storage/dates.h"
#include "storage/number_text.h"

namespace tw {

namespace {

constexpr double kTitleSize = 22;
constexpr double kTrialSize = 9;
constexpr std::uint32_t kBlue = 0x0000FF;

std::string at(char column, int row) { return std::string(1, column) + std::to_string(row); }
std::string span(char from, char to, int row) { return at(from, row) + ":" + at(to, row); }

// An amount cell: bordered, right-aligned, two decimals; the number only when
// it is not zero.
void amountCell(Worksheet& ws, const std::string& cell, double amount, double size, bool bold) {
    setAmount(ws, cell, amount);
    ws.setAlignment(cell, CellAlign::Right);
    ws.setFont(cell, kWorkbookFont, size, bold);
    ws.setBorders(cell, true);
}

void title(Worksheet& ws, const std::string& range, const std::string& text) {
    ws.merge(range);
    const std::string first = range.substr(0, range.find(':'));
    ws.setText(first, text);
    ws.setNumberFormat(range, kTextFormat);
    ws.setAlignment(range, CellAlign::Centre);
    ws.setFont(range, kWorkbookFont, kTitleSize, true);
    ws.setRowHeight(1, 28);
}

void summarySheet(Worksheet& ws, const MonthReport& r) {
    ws.setColumnWidth(1, 24);
    ws.setColumnWidth(2, 18);
    ws.setColumnWidth(3, 18);
    ws.setFitToPageWidth(true);
    title(ws, "a1:c1", "科目汇总表");
    ws.setText("c2", r.month.text());
    ws.setNumberFormat("c2", kTextFormat);
    ws.setAlignment("c2", CellAlign::Right);
    ws.setFont("c2", kWorkbookFont, 0, false);
    ws.merge("a3:c3");
    ws.setText("a3", "单位：" + r.company);
    ws.setAlignment("a3:c3", CellAlign::Left);
    ws.setFont("a3:c3", kWorkbookFont, 0, false);

    const char* heads[] = {"会计科目", "借方发生额", "贷方发生额"};
    for (int k = 0; k < 3; ++k) ws.setText(at(static_cast<char>('a' + k), 4), heads[k]);
    ws.setAlignment("a4:c4", CellAlign::Centre);
    ws.setFont("a4:c4", kWorkbookFont, 0, true);
    ws.setBorders("a4:c4", true);

    int row = 5;
    for (const SummaryLine& l : r.summary) {
        ws.setText(at('a', row), l.account);
        ws.setFont(at('a', row), kWorkbookFont, 0, false);
        ws.setBorders(at('a', row), true);
        amountCell(ws, at('b', row), l.movement.debit, 0, false);
        amountCell(ws, at('c', row), l.movement.credit, 0, false);
        ++row;
    }
    ws.setText(at('a', row), kTotalsLine);
    ws.setAlignment(at('a', row), CellAlign::Centre);
    ws.setFont(at('a', row), kWorkbookFont, 0, true);
    ws.setBorders(at('a', row), true);
    amountCell(ws, at('b', row), r.summaryTotal.debit, 0, true);
    amountCell(ws, at('c', row), r.summaryTotal.credit, 0, true);
    ++row;
    ws.merge(span('a', 'c', row));
    ws.setText(at('a', row), "制表：" + r.preparer + "     " + chineseDate(r.madeOn));
    ws.setAlignment(span('a', 'c', row), CellAlign::Right);
    ws.setFont(span('a', 'c', row), kWorkbookFont, 0, true);
}

// One row of the trial balance from column b on: four pairs of amounts.
void trialAmounts(Worksheet& ws, int row, const TrialLine& t, bool bold) {
    const SidePair* pairs[] = {&t.opening, &t.movement, &t.closing, &t.yearOpening};
    char column = 'b';
    for (const SidePair* p : pairs) {
        amountCell(ws, at(column, row), p->debit, kTrialSize, bold);
        amountCell(ws, at(static_cast<char>(column + 1), row), p->credit, kTrialSize, bold);
        column = static_cast<char>(column + 2);
    }
    ws.setFontColour(span('h', 'i', row), kBlue);
}

void trialSheet(Worksheet& ws, const MonthReport& r) {
    // Amounts of tens of millions in 9 points need thirteen characters; the
    // nine columns then print across a landscape page.
    ws.setColumnWidth(1, 14);
    for (int c = 2; c <= 9; ++c) ws.setColumnWidth(c, 13);
    ws.setLandscape(true);
    ws.setFitToPageWidth(true);
    const int last = 5 + static_cast<int>(r.trial.size());
    for (int row = 2; row <= last; ++row) ws.setRowHeight(row, 13);

    title(ws, "a1:i1", "试算平衡表");
    ws.merge("a2:e2");
    ws.setText("a2", "单位：" + r.company);
    ws.setAlignment("a2:e2", CellAlign::Left);
    ws.merge("h2:i2");
    ws.setText("h2", r.month.text());
    ws.setNumberFormat("h2:i2", kTextFormat);
    ws.setAlignment("h2:i2", CellAlign::Right);
    ws.setFont("a2:i2", kWorkbookFont, kTrialSize, false);

    ws.merge("a3:a4");
    ws.setText("a3", "会计科目");
    const char* pairs[] = {"期初余额", "累计发生", "期末余额", "年初余额"};
    for (int k = 0; k < 4; ++k) {
        const char debit = static_cast<char>('b' + 2 * k);
        const char credit = static_cast<char>(debit + 1);
        ws.merge(at(debit, 3) + ":" + at(credit, 3));
        ws.setText(at(debit, 3), pairs[k]);
        ws.setText(at(debit, 4), "借方");
        ws.setText(at(credit, 4), "贷方");
    }
    ws.setAlignment("a3:i4", CellAlign::Centre);
    ws.setFont("a3:i4", kWorkbookFont, kTrialSize, true);
    ws.setBorders("a3:i4", true);
    ws.setFontColour("h3:i4", kBlue);

    int row = 5;
    for (const TrialLine& t : r.trial) {
        ws.setText(at('a', row), t.account);
        ws.setAlignment(at('a', row), CellAlign::Left);
        ws.setFont(at('a', row), kWorkbookFont, kTrialSize, false);
        ws.setBorders(at('a', row), true);
        trialAmounts(ws, row, t, false);
        ++row;
    }
    ws.setText(at('a', row), kTotalsLine);
    ws.setAlignment(at('a', row), CellAlign::Centre);
    ws.setFont(at('a', row), kWorkbookFont, kTrialSize, true);
    ws.setBorders(at('a', row), true);
    trialAmounts(ws, row, r.trialTotal, true);
}

}  // namespace

std::vector<std::string> reportSheetNames(const std::filesystem::path& templateWorkbook) {
    std::vector<std::string> names;
    std::error_code ec;
    if (std::filesystem::is_regular_file(templateWorkbook, ec))
        if (auto read = readXlsxSheetNames(templateWorkbook, nullptr)) names = std::move(*read);
    const char* defaults[] = {"科目汇总表", "试算平衡表"};
    for (std::size_t i = names.size(); i < 2; ++i) {
        std::string name = defaults[i];
        // A template whose first sheet already bears the second default name.
        if (std::find(names.begin(), names.end(), name) != names.end()) name = "Sheet" + std::to_string(i + 1);
        names.push_back(name);
    }
    return names;
}

Workbook monthReportWorkbook(const MonthReport& report, const std::vector<std::string>& sheetNames) {
    Workbook book(sheetNames);
    summarySheet(book.sheet(1), report);
    trialSheet(book.sheet(2), report);
    return book;
}

std::vector<std::vector<std::string>> shownRows(const Worksheet& sheet) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& [at, cell] : sheet.cells()) {
        const auto* text = std::get_if<std::string>(&cell.value);
        const auto* number = std::get_if<double>(&cell.value);
        if (!text && !number) continue;
        if (static_cast<int>(rows.size()) < at.first) rows.resize(at.first);
        auto& row = rows[at.first - 1];
        if (static_cast<int>(row.size()) < at.second) row.resize(at.second);
        row[at.second - 1] = text ? *text : twoDecimals(*number);
    }
    return rows;
}

}  // namespace tw
