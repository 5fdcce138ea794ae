#include "ledgers/ledger_export.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <system_error>

#include "storage/dates.h"
#include "storage/file_swap.h"
#include "storage/number_text.h"
#include "storage/paths.h"
#include "storage/record_store.h"
#include "storage/user_files.h"

namespace tw {

namespace {

// A spreadsheet column one character wide measures about 1.9 mm.
constexpr double kTenthsOfMmPerCharacter = 19.0;
// The width of a column the workbook sets none for, in characters.
constexpr double kDefaultColumnWidth = 8.43;
// The printable width of portrait A4 (210 mm) within the spreadsheet's own
// margins of 0.7 inch on either side, in tenths of a millimetre.
constexpr double kPortraitA4PrintableTenths = 2100 - 2 * 177.8;

// Column letters as the worksheet is addressed: a1 … g12.
constexpr char kColumnLetters[7] = {'a', 'b', 'c', 'd', 'e', 'f', 'g'};

// 日期, 凭证号, 摘要, 借方, 贷方, 方向, 余额
constexpr ExportColumns kLedgerColumns{ExportColumn::Date,   ExportColumn::Text,
                                       ExportColumn::Text,   ExportColumn::Amount,
                                       ExportColumn::Amount, ExportColumn::Text,
                                       ExportColumn::Amount};

std::string cellAt(int column, int row) {
    return kColumnLetters[column - 1] + std::to_string(row);
}

void putCell(Worksheet& sheet, const std::string& at, const std::string& text, ExportColumn kind) {
    double value = 0;
    if (kind == ExportColumn::Date && parseDate(text, value)) {
        sheet.setNumber(at, value);
        sheet.setNumberFormat(at, kDateFormat);
    } else if (kind == ExportColumn::Amount && parseAmount(text, value)) {
        sheet.setNumber(at, value);
        sheet.setNumberFormat(at, kAmountFormat);
    } else {
        sheet.setText(at, text);
    }
}

// Characters an amount takes formatted kAmountFormat: its digits grouped by
// three, two decimals, a sign when negative.
double amountWidth(double amount) {
    const std::string digits = twoDecimals(std::fabs(amount));
    const auto whole = static_cast<double>(digits.find('.'));
    return whole + std::floor((whole - 1) / 3) + 3 + (amount < 0 ? 1 : 0);
}

}  // namespace

std::vector<ExportRow> pageExportRows(const PageGrid& page) {
    std::vector<ExportRow> rows(static_cast<std::size_t>(page.rowCount()));
    for (int r = 1; r <= page.rowCount(); ++r)
        for (int c = 1; c <= 7; ++c) rows[r - 1][c - 1] = page.text(r, c);
    return rows;
}

Workbook exportWorkbook(const std::vector<ExportRow>& rows, const ExportColumns& columns,
                        int firstEntryRow) {
    Workbook book;
    Worksheet& sheet = book.sheet(1);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        for (int k = 1; k <= 7; ++k) {
            const std::string& text = rows[i][k - 1];
            if (text.empty()) continue;
            putCell(sheet, cellAt(k, row), text,
                    row >= firstEntryRow ? columns[k - 1] : ExportColumn::Text);
        }
    }
    return book;
}

void finishExportSheet(Worksheet& sheet) {
    std::map<int, double> needed;  // column -> characters its widest amount takes
    int lastColumn = 0;
    for (const auto& [at, cell] : sheet.cells()) {
        lastColumn = std::max(lastColumn, at.second);
        const auto* number = std::get_if<double>(&cell.value);
        if (number && cell.style.numberFormat == kAmountFormat)
            needed[at.second] = std::max(needed[at.second], amountWidth(*number) + 1);
    }
    for (const auto& [column, width] : needed) {
        const auto set = sheet.columnWidths().find(column);
        if (set == sheet.columnWidths().end() || set->second < width)
            sheet.setColumnWidth(column, width);
    }
    double characters = 0;
    for (int c = 1; c <= lastColumn; ++c) {
        const auto set = sheet.columnWidths().find(c);
        characters += set == sheet.columnWidths().end() ? kDefaultColumnWidth : set->second;
    }
    sheet.setA4(true);
    sheet.setFitToPageWidth(true);
    sheet.setLandscape(characters * kTenthsOfMmPerCharacter > kPortraitA4PrintableTenths);
}

Workbook ledgerWorkbook(const PageGrid& page) {
    // The rows from the data row on are the page's entries; a page without
    // one is all template.
    const int firstEntryRow = page.dataRow() >= 1 ? page.dataRow() : page.rowCount() + 1;
    Workbook book = exportWorkbook(pageExportRows(page), kLedgerColumns, firstEntryRow);
    Worksheet& sheet = book.sheet(1);
    for (int c = 1; c <= 7 && c <= page.columnCount(); ++c)
        sheet.setColumnWidth(c, page.columnWidth(c) / kTenthsOfMmPerCharacter);
    // The ruled rows keep their lines and alignment; the heading runs on over
    // the empty cells beside it.
    for (int r = 1; r <= page.rowCount(); ++r)
        for (int c = 1; c <= 7; ++c) {
            const GridCell& cell = page.cell(r, c);
            if (!(cell.borders == CellBorders::all())) continue;
            const std::string at = cellAt(c, r);
            sheet.setBorders(at, true);
            sheet.setAlignment(at, cellAlign(cell.align));
        }
    finishExportSheet(sheet);
    return book;
}

void saveExport(const Workbook& book, const std::filesystem::path& file,
                const std::filesystem::path& dataDir) {
    requireUserFileTarget(file, dataDir);
    std::string error;
    if (!writeUserFile(file, dataDir, [&](const std::filesystem::path& tmp) { return book.write(tmp, &error); }))
        throw StoreError(error.empty() ? "cannot write " + pathText(file) : error, userFileFailure(file));
}

std::filesystem::path exportToFolder(const Workbook& book, const std::filesystem::path& folder,
                                     const std::string& name,
                                     const std::filesystem::path& dataDir) {
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(folder, ec);
    if (ec) full = folder;
    requireExportFolder(full, dataDir);
    const std::filesystem::path file = freeExportPath(full, name);
    saveExport(book, file, dataDir);
    return file;
}

std::filesystem::path freeExportPath(const std::filesystem::path& folder, const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path first = folder / fs::u8path(name);
    std::error_code ec;
    if (!fs::exists(first, ec)) return first;
    const std::string stem = pathText(first.stem()), ext = pathText(first.extension());
    for (int n = 2;; ++n) {
        const fs::path next = folder / fs::u8path(stem + " (" + std::to_string(n) + ")" + ext);
        if (!fs::exists(next, ec)) return next;
    }
}

std::string exportFileName(std::string stem) {
    for (char& ch : stem)
        if (ch == '/' || ch == '\\' || ch == ':' || ch == '*' || ch == '?' || ch == '"' ||
            ch == '<' || ch == '>' || ch == '|')
            ch = '_';
    return stem + ".xlsx";
}

std::string ledgerExportName(const LedgerRequest& request) {
    return exportFileName(std::string(request.mode == LedgerMode::General ? "总账 " : "明细账 ") +
                          request.account + " " + formatDate(request.from) + "至" +
                          formatDate(request.to));
}

}  // namespace tw
