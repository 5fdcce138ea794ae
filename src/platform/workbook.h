#pragma once
// An in-memory spreadsheet workbook with what the exports and reports use:
// numbered worksheets, cells by A1 name or by (row, column), text and number
// values, merged ranges, number formats, alignment, fonts, column widths, row
// heights and borders. save() writes a real .xlsx (libxlsxwriter).
//
// Rows and columns count from 1; "A1" is (1, 1), "AA10" is (10, 27). Names
// are case-insensitive. Ranges are "B2:D4" (either corner order) or one cell.
// Styles apply per cell and add up, as a spreadsheet program does: making a
// range bold keeps its number format.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace tw {

inline constexpr int kMaxSheetRows = 1048576;
inline constexpr int kMaxSheetColumns = 16384;  // XFD

struct CellAddress {
    int row = 0;
    int column = 0;
    bool operator==(const CellAddress&) const = default;
};

struct CellRange {
    CellAddress first;  // top left
    CellAddress last;   // bottom right
    bool operator==(const CellRange&) const = default;
};

// "g12" -> (12, 7); nullopt for anything else, including cells past XFD1048576.
std::optional<CellAddress> parseCellName(std::string_view name);
// "a1:c3", "C3:A1" and "B2" (a one-cell range); nullopt when malformed.
std::optional<CellRange> parseRange(std::string_view range);
// (12, 7) -> "G12".
std::string cellName(int row, int column);

// The font and the cell formats of the program's own workbooks (the month
// report, the statements).
inline constexpr const char* kWorkbookFont = "宋体";
inline constexpr const char* kAmountFormat = "#,##0.00";  // thousands grouped, two decimals
inline constexpr const char* kTextFormat = "@";           // the text as it stands
inline constexpr const char* kDateFormat = "yyyy-m-d";    // a day number shown as 2013-3-1

enum class CellAlign { General, Left, Centre, Right };

enum class HAlign;  // a page cell's alignment (page_grid.h)
// A page cell's alignment as a worksheet cell's, for pages exported as workbooks.
CellAlign cellAlign(HAlign align);

// Nothing, a text or a number.
using CellValue = std::variant<std::monostate, std::string, double>;

struct CellStyle {
    std::string numberFormat;  // "#,##0.00"; empty for General
    CellAlign align = CellAlign::General;
    std::string fontName;  // empty: the workbook's font
    double fontSize = 0;   // points; 0: the workbook's size
    bool bold = false;
    std::uint32_t colour = 0;  // 0xRRGGBB
    bool borders = false;      // thin lines on all four sides
    bool bottomBorder = false;  // a thin line below (a line to write on)
    bool operator==(const CellStyle&) const = default;
};

class Worksheet {
public:
    explicit Worksheet(std::string name) : name_(std::move(name)) {}
    const std::string& name() const { return name_; }

    // Writers return false, and change nothing, for a bad cell name or a
    // number that is not finite.
    bool setText(std::string_view cell, std::string text);
    bool setText(int row, int column, std::string text);
    bool setNumber(std::string_view cell, double value);
    bool setNumber(int row, int column, double value);
    CellValue value(std::string_view cell) const;
    CellValue value(int row, int column) const;

    // Refused when the range meets another merged range. A one-cell range
    // merges nothing and succeeds.
    bool merge(std::string_view range);
    bool setNumberFormat(std::string_view range, const std::string& format);
    bool setAlignment(std::string_view range, CellAlign align);
    bool setFont(std::string_view range, const std::string& name, double size, bool bold);
    bool setFontColour(std::string_view range, std::uint32_t rgb);
    bool setBorders(std::string_view range, bool on);
    bool setBottomBorder(std::string_view range, bool on);
    // Widths in characters of the default font, heights in points.
    bool setColumnWidth(int column, double width);
    bool setRowHeight(int row, double height);
    // Printing: landscape paper, and the sheet scaled to one page wide (as
    // many pages tall as it needs).
    void setLandscape(bool on) { landscape_ = on; }
    void setFitToPageWidth(bool on) { fitToPageWidth_ = on; }
    bool landscape() const { return landscape_; }
    bool fitToPageWidth() const { return fitToPageWidth_; }
    // A4 paper (otherwise the printer's own), and the sheet scaled to one
    // page wide and tall.
    void setA4(bool on) { a4_ = on; }
    void setFitToOnePage(bool on) { fitToOnePage_ = on; }
    bool a4() const { return a4_; }
    bool fitToOnePage() const { return fitToOnePage_; }
    // Rows first..last printed at the top of every page (0, 0: none).
    void setRepeatedRows(int first, int last) { repeatedRows_ = {first, last}; }
    std::pair<int, int> repeatedRows() const { return repeatedRows_; }

    struct Cell {
        CellValue value;
        CellStyle style;
    };
    // Row by row, left to right.
    const std::map<std::pair<int, int>, Cell>& cells() const { return cells_; }
    const std::vector<CellRange>& merges() const { return merges_; }
    const std::map<int, double>& columnWidths() const { return columnWidths_; }
    const std::map<int, double>& rowHeights() const { return rowHeights_; }

private:
    template <typename F>
    bool styleRange(std::string_view range, F change);

    std::string name_;
    std::map<std::pair<int, int>, Cell> cells_;
    std::vector<CellRange> merges_;
    std::map<int, double> columnWidths_;
    std::map<int, double> rowHeights_;
    bool landscape_ = false;
    bool fitToPageWidth_ = false;
    bool a4_ = false;
    bool fitToOnePage_ = false;
    std::pair<int, int> repeatedRows_{0, 0};
};

class Workbook {
public:
    // A workbook with no sheets, or with these sheets in this order.
    Workbook() = default;
    explicit Workbook(const std::vector<std::string>& sheetNames);

    int sheetCount() const { return static_cast<int>(sheets_.size()); }
    // Sheet n, counted from 1. A sheet past the last is added, with the ones
    // before it, named "Sheet<n>" as a new spreadsheet names them. n < 1 is a
    // programming error (std::out_of_range).
    Worksheet& sheet(int n);
    const Worksheet* findSheet(int n) const;
    Worksheet& addSheet(std::string name);

    // Writes the .xlsx to `file` itself (a temporary name the caller puts in
    // place). False, with the reason in `error`, when a sheet name is not
    // allowed, a text is not UTF-8 or the file cannot be written; the
    // spreadsheet library's own lines go into `error`, never to stderr.
    bool write(const std::filesystem::path& file, std::string* error) const;
    // Writes it under a temporary name and renames it into place
    // (storage/file_swap.h): the old file (if any) stays on failure.
    bool save(const std::filesystem::path& file, std::string* error) const;

private:
    std::vector<Worksheet> sheets_;
};

// An amount cell of those workbooks: the number, formatted kAmountFormat; a
// zero amount (|x| <= 1e-7) leaves the cell empty, formatted all the same.
void setAmount(Worksheet& ws, std::string_view cell, double amount);

}  // namespace tw
