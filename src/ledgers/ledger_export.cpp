#include "ledgers/ledger_export.h"

#include <system_error>

#include "storage/dates.h"
#include "storage/paths.h"
#include "storage/file_swap.h"
#include "storage/record_store.h"
#include "storage/user_files.h"

namespace tw {

namespace {

// A spreadsheet column one character wide measures about 1.9 mm.
constexpr double kTenthsOfMmPerCharacter = 19.0;

// Column letters as the worksheet is addressed: a1 … g12.
constexpr char kColumnLetters[7] = {'a', 'b', 'c', 'd', 'e', 'f', 'g'};

std::string cellAt(int column, int row) {
    return kColumnLetters[column - 1] + std::to_string(row);
}

}  // namespace

std::vector<ExportRow> pageExportRows(const PageGrid& page) {
    std::vector<ExportRow> rows(static_cast<std::size_t>(page.rowCount()));
    for (int r = 1; r <= page.rowCount(); ++r)
        for (int c = 1; c <= 7; ++c) rows[r - 1][c - 1] = page.text(r, c);
    return rows;
}

Workbook exportWorkbook(const std::vector<ExportRow>& rows) {
    Workbook book;
    Worksheet& sheet = book.sheet(1);
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (int k = 1; k <= 7; ++k)
            if (!rows[i][k - 1].empty())
                sheet.setText(cellAt(k, static_cast<int>(i) + 1), rows[i][k - 1]);
    return book;
}

Workbook ledgerWorkbook(const PageGrid& page) {
    Workbook book = exportWorkbook(pageExportRows(page));
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
    return book;
}

void saveExport(const Workbook& book, const std::filesystem::path& file,
                const std::filesystem::path& dataDir) {
    requireUserFileTarget(file, dataDir);
    std::string error;
    if (!writeUserFile(file, dataDir, [&](const std::filesystem::path& tmp) { return book.write(tmp, &error); }))
        throw StoreError(error.empty() ? "cannot write " + pathText(file) : error, userFileFailure(file));
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
