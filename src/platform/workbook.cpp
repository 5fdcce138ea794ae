#include "platform/workbook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <cmath>
#include <stdexcept>
#include <system_error>

#include "platform/page_grid.h"
#include "storage/file_swap.h"
#include "storage/number_text.h"

namespace tw {

namespace fs = std::filesystem;

// --- cell names -------------------------------------------------------------------

std::optional<CellAddress> parseCellName(std::string_view name) {
    std::size_t i = 0;
    if (i < name.size() && name[i] == '$') ++i;
    long column = 0;
    const std::size_t lettersAt = i;
    for (; i < name.size() && std::isalpha(static_cast<unsigned char>(name[i])); ++i) {
        if (i - lettersAt == 3) return std::nullopt;
        column = column * 26 + (std::toupper(static_cast<unsigned char>(name[i])) - 'A' + 1);
    }
    if (i == lettersAt) return std::nullopt;
    if (i < name.size() && name[i] == '$') ++i;
    long row = 0;
    const std::size_t digitsAt = i;
    for (; i < name.size() && std::isdigit(static_cast<unsigned char>(name[i])); ++i) {
        if (i - digitsAt == 7) return std::nullopt;
        row = row * 10 + (name[i] - '0');
    }
    if (i == digitsAt || i != name.size()) return std::nullopt;
    if (row < 1 || row > kMaxSheetRows || column > kMaxSheetColumns) return std::nullopt;
    return CellAddress{static_cast<int>(row), static_cast<int>(column)};
}

std::optional<CellRange> parseRange(std::string_view range) {
    const auto colon = range.find(':');
    const auto a = parseCellName(range.substr(0, colon));
    const auto b = colon == std::string_view::npos ? a : parseCellName(range.substr(colon + 1));
    if (!a || !b) return std::nullopt;
    return CellRange{{std::min(a->row, b->row), std::min(a->column, b->column)},
                     {std::max(a->row, b->row), std::max(a->column, b->column)}};
}

std::string cellName(int row, int column) {
    std::string letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return letters + std::to_string(row);
}

// --- worksheet ----------------------------------------------------------------------

namespace {

bool validCell(int row, int column) {
    return row >= 1 && row <= kMaxSheetRows && column >= 1 && column <= kMaxSheetColumns;
}

bool overlaps(const CellRange& a, const CellRange& b) {
    return a.first.row <= b.last.row && b.first.row <= a.last.row &&
           a.first.column <= b.last.column && b.first.column <= a.last.column;
}

}  // namespace

bool Worksheet::setText(std::string_view cell, std::string text) {
    const auto at = parseCellName(cell);
    return at && setText(at->row, at->column, std::move(text));
}

bool Worksheet::setText(int row, int column, std::string text) {
    if (!validCell(row, column)) return false;
    cells_[{row, column}].value = std::move(text);
    return true;
}

bool Worksheet::setNumber(std::string_view cell, double value) {
    const auto at = parseCellName(cell);
    return at && setNumber(at->row, at->column, value);
}

bool Worksheet::setNumber(int row, int column, double value) {
    if (!validCell(row, column) || !std::isfinite(value)) return false;
    cells_[{row, column}].value = value;
    return true;
}

CellValue Worksheet::value(std::string_view cell) const {
    const auto at = parseCellName(cell);
    return at ? value(at->row, at->column) : CellValue{};
}

CellValue Worksheet::value(int row, int column) const {
    auto it = cells_.find({row, column});
    return it == cells_.end() ? CellValue{} : it->second.value;
}

bool Worksheet::merge(std::string_view range) {
    const auto r = parseRange(range);
    if (!r) return false;
    if (r->first == r->last) return true;
    for (const CellRange& m : merges_)
        if (overlaps(m, *r)) return false;
    merges_.push_back(*r);
    return true;
}

template <typename F>
bool Worksheet::styleRange(std::string_view range, F change) {
    const auto r = parseRange(range);
    if (!r) return false;
    for (int row = r->first.row; row <= r->last.row; ++row)
        for (int col = r->first.column; col <= r->last.column; ++col)
            change(cells_[{row, col}].style);
    return true;
}

bool Worksheet::setNumberFormat(std::string_view range, const std::string& format) {
    return styleRange(range, [&](CellStyle& s) { s.numberFormat = format; });
}

bool Worksheet::setAlignment(std::string_view range, CellAlign align) {
    return styleRange(range, [&](CellStyle& s) { s.align = align; });
}

bool Worksheet::setFont(std::string_view range, const std::string& name, double size, bool bold) {
    if (size < 0 || size > 409) return false;
    return styleRange(range, [&](CellStyle& s) {
        s.fontName = name;
        s.fontSize = size;
        s.bold = bold;
    });
}

bool Worksheet::setFontColour(std::string_view range, std::uint32_t rgb) {
    if (rgb > 0xFFFFFF) return false;
    return styleRange(range, [&](CellStyle& s) { s.colour = rgb; });
}

bool Worksheet::setBorders(std::string_view range, bool on) {
    return styleRange(range, [&](CellStyle& s) { s.borders = on; });
}

bool Worksheet::setBottomBorder(std::string_view range, bool on) {
    return styleRange(range, [&](CellStyle& s) { s.bottomBorder = on; });
}

bool Worksheet::setColumnWidth(int column, double width) {
    if (column < 1 || column > kMaxSheetColumns || !(width >= 0 && width <= 255)) return false;
    columnWidths_[column] = width;
    return true;
}

bool Worksheet::setRowHeight(int row, double height) {
    if (row < 1 || row > kMaxSheetRows || !(height >= 0 && height <= 409)) return false;
    rowHeights_[row] = height;
    return true;
}

// --- workbook -------------------------------------------------------------------------

Workbook::Workbook(const std::vector<std::string>& sheetNames) {
    for (const std::string& name : sheetNames) sheets_.emplace_back(name);
}

Worksheet& Workbook::sheet(int n) {
    if (n < 1) throw std::out_of_range("worksheets are numbered from 1");
    while (sheetCount() < n) sheets_.emplace_back("Sheet" + std::to_string(sheetCount() + 1));
    return sheets_[n - 1];
}

const Worksheet* Workbook::findSheet(int n) const {
    return n >= 1 && n <= sheetCount() ? &sheets_[n - 1] : nullptr;
}

Worksheet& Workbook::addSheet(std::string name) { return sheets_.emplace_back(std::move(name)); }

namespace {

// Well-formed UTF-8: no stray continuation bytes, overlong forms, surrogates
// or code points past U+10FFFF. libxlsxwriter copies bytes into the XML as
// they are, and one bad byte makes the whole file unreadable.
bool isUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        int extra;
        std::uint32_t cp;
        if (b < 0x80)
            extra = 0, cp = b;
        else if (b >= 0xC2 && b <= 0xDF)
            extra = 1, cp = b & 0x1F;
        else if (b >= 0xE0 && b <= 0xEF)
            extra = 2, cp = b & 0x0F;
        else if (b >= 0xF0 && b <= 0xF4)
            extra = 3, cp = b & 0x07;
        else
            return false;
        if (i + extra >= s.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += extra + 1;
    }
    return true;
}

// One lxw_format per distinct style; the default style needs none.
class Formats {
public:
    explicit Formats(lxw_workbook* wb) : wb_(wb) {}
    lxw_format* get(const CellStyle& style) {
        if (style == CellStyle{}) return nullptr;
        for (const auto& [s, f] : made_)
            if (s == style) return f;
        lxw_format* f = workbook_add_format(wb_);
        if (!style.numberFormat.empty()) format_set_num_format(f, style.numberFormat.c_str());
        switch (style.align) {
            case CellAlign::Left:
                format_set_align(f, LXW_ALIGN_LEFT);
                break;
            case CellAlign::Centre:
                format_set_align(f, LXW_ALIGN_CENTER);
                break;
            case CellAlign::Right:
                format_set_align(f, LXW_ALIGN_RIGHT);
                break;
            case CellAlign::General:
                break;
        }
        format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
        if (!style.fontName.empty()) format_set_font_name(f, style.fontName.c_str());
        if (style.fontSize > 0) format_set_font_size(f, style.fontSize);
        if (style.bold) format_set_bold(f);
        if (style.colour) format_set_font_color(f, style.colour);
        if (style.borders) format_set_border(f, LXW_BORDER_THIN);
        else if (style.bottomBorder) format_set_bottom(f, LXW_BORDER_THIN);
        made_.emplace_back(style, f);
        return f;
    }

private:
    lxw_workbook* wb_;
    std::vector<std::pair<CellStyle, lxw_format*>> made_;
};

// libxlsxwriter tells its failures in English on stderr, which is the
// command-line tool's channel for the user's messages: while it works they
// are kept here instead, for the developer detail. (stderr is an ordinary
// variable in the C library, meant to be set like this.)
class LibraryLines {
public:
    LibraryLines() {
        buffer_ = ::open_memstream(&text_, &size_);
        if (!buffer_) return;
        saved_ = stderr;
        stderr = buffer_;
    }
    ~LibraryLines() {
        restore();
        std::free(text_);
    }
    LibraryLines(const LibraryLines&) = delete;
    LibraryLines& operator=(const LibraryLines&) = delete;
    std::string text() const {
        if (buffer_) std::fflush(buffer_);
        return text_ ? std::string(text_, size_) : std::string();
    }

private:
    void restore() {
        if (!buffer_) return;
        stderr = saved_;
        std::fclose(buffer_);
        buffer_ = nullptr;
    }
    std::FILE* buffer_ = nullptr;
    std::FILE* saved_ = nullptr;
    char* text_ = nullptr;
    std::size_t size_ = 0;
};

// Checks what libxlsxwriter would write unchecked; the first fault, or "".
std::string firstFault(const std::vector<Worksheet>& sheets) {
    for (const Worksheet& ws : sheets) {
        if (!isUtf8(ws.name())) return "a sheet name is not UTF-8";
        for (const auto& [at, cell] : ws.cells()) {
            const std::string where = ws.name() + "!" + cellName(at.first, at.second);
            const auto* text = std::get_if<std::string>(&cell.value);
            if (text && !isUtf8(*text)) return where + " holds text that is not UTF-8";
            if (!isUtf8(cell.style.numberFormat) || !isUtf8(cell.style.fontName))
                return where + " has a format or font name that is not UTF-8";
        }
    }
    return {};
}

}  // namespace

bool Workbook::save(const fs::path& file, std::string* error) const {
    std::error_code ec;
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, ec)) {
        if (error) *error = file.string() + ": the folder does not exist";
        return false;
    }
    std::string why;
    if (writeThenRename(file, [&](const fs::path& tmp) { return write(tmp, &why); })) return true;
    if (error) *error = why.empty() ? file.string() + ": cannot put the file in place" : why;
    return false;
}

bool Workbook::write(const fs::path& file, std::string* error) const {
    auto refuse = [&](const std::string& why) {
        if (error) *error = file.string() + ": " + why;
        return false;
    };
    if (sheets_.empty()) return refuse("a workbook needs at least one sheet");
    if (const std::string fault = firstFault(sheets_); !fault.empty()) return refuse(fault);

    const LibraryLines lines;
    lxw_workbook* wb = workbook_new(file.c_str());
    if (!wb) return refuse("cannot start the workbook");
    Formats formats(wb);
    std::string fault;
    auto check = [&](lxw_error e, const std::string& where) {
        if (e != LXW_NO_ERROR && fault.empty()) fault = where + ": " + lxw_strerror(e);
    };
    for (const Worksheet& sheet : sheets_) {
        check(workbook_validate_sheet_name(wb, sheet.name().c_str()),
              "sheet name \"" + sheet.name() + "\"");
        if (!fault.empty()) break;
        lxw_worksheet* ws = workbook_add_worksheet(wb, sheet.name().c_str());
        if (sheet.landscape()) worksheet_set_landscape(ws);
        if (sheet.fitToPageWidth()) worksheet_fit_to_pages(ws, 1, 0);
        if (sheet.fitToOnePage()) worksheet_fit_to_pages(ws, 1, 1);
        if (sheet.a4()) worksheet_set_paper(ws, 9);  // A4 in the spreadsheet's paper numbers
        if (const auto [first, last] = sheet.repeatedRows(); first > 0 && last >= first)
            check(worksheet_repeat_rows(ws, first - 1, last - 1), "repeated rows");
        for (const auto& [col, width] : sheet.columnWidths())
            check(worksheet_set_column(ws, col - 1, col - 1, width, nullptr), "column width");
        for (const auto& [row, height] : sheet.rowHeights())
            check(worksheet_set_row(ws, row - 1, height, nullptr), "row height");
        // Merges first: they fill their cells with the first cell's style;
        // the cells written after keep their own.
        for (const CellRange& m : sheet.merges()) {
            auto first = sheet.cells().find({m.first.row, m.first.column});
            lxw_format* f =
                first == sheet.cells().end() ? nullptr : formats.get(first->second.style);
            check(worksheet_merge_range(ws, m.first.row - 1, m.first.column - 1, m.last.row - 1,
                                        m.last.column - 1, "", f),
                  sheet.name() + "!" + cellName(m.first.row, m.first.column));
        }
        for (const auto& [at, cell] : sheet.cells()) {
            const lxw_row_t r = at.first - 1;
            const lxw_col_t c = at.second - 1;
            lxw_format* f = formats.get(cell.style);
            const std::string where = sheet.name() + "!" + cellName(at.first, at.second);
            if (const auto* text = std::get_if<std::string>(&cell.value))
                check(worksheet_write_string(ws, r, c, text->c_str(), f), where);
            else if (const auto* number = std::get_if<double>(&cell.value))
                check(worksheet_write_number(ws, r, c, *number, f), where);
            else if (f)
                check(worksheet_write_blank(ws, r, c, f), where);
        }
    }
    const lxw_error closed = workbook_close(wb);
    if (fault.empty() && closed != LXW_NO_ERROR)
        fault = std::string("cannot write the file: ") + lxw_strerror(closed);
    if (fault.empty()) return true;
    const std::string said = lines.text();
    return refuse(said.empty() ? fault : fault + "; " + said);
}

void setAmount(Worksheet& ws, std::string_view cell, double amount) {
    if (!isZero(amount)) ws.setNumber(cell, amount);
    ws.setNumberFormat(cell, kAmountFormat);
}

CellAlign cellAlign(HAlign align) {
    switch (align) {
        case HAlign::Centre:
            return CellAlign::Centre;
        case HAlign::Right:
            return CellAlign::Right;
        default:
            return CellAlign::Left;
    }
}

}  // namespace tw
