#pragma once
// A page grid: a ruled page of cells, the way ledger pages (账页) and paper
// vouchers (记账凭证) are printed. Rows and columns count from 1. Every length
// (row heights, column widths, paper, margins) is in tenths of a millimetre,
// so a template prints the same size on every printer and screen.
//
// A cell has its text (UTF-8), a horizontal alignment (always centred
// vertically), four border flags, a font, and a row/column span: a spanning
// cell covers the cells to its right and below, which are then not drawn.
//
// Printing breaks a long grid over several sheets. The first `headerRows`
// rows are repeated at the top of every sheet; a row is never split, nor is a
// block of rows joined by a vertical span.
//
// Template files (.grd) are JSON:
//
//   {
//     "format": "tallowick-page-grid",        required, exactly this
//     "version": 1,                           required; newer versions are refused
//     "paper": {                              optional; A4 portrait, 10 mm margins
//       "size": "A4" | "A5" | "custom",
//       "width": 2100, "height": 2970,        custom only: the portrait size
//       "orientation": "portrait" | "landscape",
//       "margins": {"left": 100, "top": 100, "right": 100, "bottom": 100}
//     },
//     "headerRows": 2,                        rows repeated on every sheet
//     "dataRow": 3,                           the row appendRow() copies; 0 = none
//     "font": {"family": "WenQuanYi Micro Hei", "size": 10, "bold": false},
//     "columns": [200, 140, 530],             required: widths, left to right
//     "rows": [120, 90, 70],                  required: heights, top to bottom
//     "cells": [                              cells that differ from a blank one
//       {"row": 1, "column": 1, "colSpan": 3, "align": "centre",
//        "font": {"size": 16, "bold": true}},
//       {"row": 2, "column": 1, "text": "日期", "align": "centre", "borders": "LTRB"}
//     ]
//   }
//
// "font" at the top is the font of every cell; a cell's "font" changes only
// the fields it names. "align" is "left" (the default), "centre" or "right";
// "borders" holds the letters of the ruled sides (Left, Top, Right, Bottom).
// Unknown keys are ignored. Loading checks every field and refuses the whole
// file, with a message saying where, on the first fault.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

enum class HAlign { Left, Centre, Right };

struct CellBorders {
    bool left = false;
    bool top = false;
    bool right = false;
    bool bottom = false;
    static constexpr CellBorders all() { return {true, true, true, true}; }
    bool operator==(const CellBorders&) const = default;
};

// The font every template names; the window falls back to any font that
// holds Chinese when this one is missing.
inline constexpr const char* kGridFontFamily = "WenQuanYi Micro Hei";

struct CellFont {
    std::string family = kGridFontFamily;
    double pointSize = 10;
    bool bold = false;
    bool operator==(const CellFont&) const = default;
};

struct GridCell {
    std::string text;
    HAlign align = HAlign::Left;
    CellBorders borders;
    CellFont font;
    int rowSpan = 1;  // more than 1 only on the first cell of a merged block
    int colSpan = 1;
    bool operator==(const GridCell&) const = default;
};

enum class PaperSize { A4, A5, Custom };
enum class Orientation { Portrait, Landscape };

struct PaperSettings {
    PaperSize size = PaperSize::A4;
    int width = 2100;  // the portrait size; fixed for A4 (2100 x 2970) and A5 (1480 x 2100)
    int height = 2970;
    Orientation orientation = Orientation::Portrait;
    int marginLeft = 100;
    int marginTop = 100;
    int marginRight = 100;
    int marginBottom = 100;

    // The sheet as it lies in the printer, orientation applied.
    int sheetWidth() const;
    int sheetHeight() const;
    int printableWidth() const { return sheetWidth() - marginLeft - marginRight; }
    int printableHeight() const { return sheetHeight() - marginTop - marginBottom; }
    bool operator==(const PaperSettings&) const = default;
};

PaperSettings paperSettings(PaperSize size, Orientation orientation);

// The rows of one printed sheet: rows 1..headerRows (0 on the first sheet,
// whose own leading rows are the header, and when the header would not leave
// room for a row), then firstRow..lastRow.
struct SheetRows {
    int headerRows = 0;
    int firstRow = 0;
    int lastRow = 0;
    bool operator==(const SheetRows&) const = default;
};

// A cell whose whole text is "[name]".
struct Placeholder {
    int row = 0;
    int column = 0;
    std::string name;  // without the brackets
};

// A value: to start each fresh page from a template, keep the loaded
// template and copy it.
class PageGrid {
public:
    PageGrid() = default;
    PageGrid(int rows, int columns, int rowHeight = 70, int columnWidth = 250);

    // Never throw: a missing, unreadable or malformed file gives nullopt and
    // says why in `error`.
    static std::optional<PageGrid> load(const std::filesystem::path& file, std::string* error);
    static std::optional<PageGrid> fromJson(std::string_view text, std::string* error);
    // Writes under a temporary name, then renames it into place.
    bool save(const std::filesystem::path& file, std::string* error) const;
    std::string toJson() const;

    int rowCount() const { return static_cast<int>(rowHeights_.size()); }
    int columnCount() const { return static_cast<int>(columnWidths_.size()); }
    bool contains(int row, int column) const;

    // Outside the grid: a blank cell. Setters outside the grid change nothing
    // and return false.
    const GridCell& cell(int row, int column) const;
    const std::string& text(int row, int column) const { return cell(row, column).text; }
    bool setText(int row, int column, std::string text);
    bool setAlignment(int row, int column, HAlign align);
    bool setBorders(int row, int column, CellBorders borders);
    bool setFont(int row, int column, CellFont font);

    // Joins rowSpan x colSpan cells into one, drawn with the first cell's text
    // and style. Refused when the block leaves the grid or meets another
    // merged block; a 1 x 1 span undoes a merge.
    bool merge(int row, int column, int rowSpan, int colSpan);
    // True when another cell's span hides this one.
    bool isCovered(int row, int column) const;

    int rowHeight(int row) const;
    bool setRowHeight(int row, int height);
    int columnWidth(int column) const;
    bool setColumnWidth(int column, int width);
    int totalWidth() const;

    // Adds an empty row at the end styled like `styleRow`: its height and
    // each cell's alignment, borders, font and column spans. Returns the new
    // row's number, 0 when `styleRow` does not exist.
    int appendRow(int styleRow);
    int appendRow() { return appendRow(dataRow_); }
    // Drops every row after `row`; spans reaching past it are shortened.
    void clearRowsAfter(int row);

    int headerRows() const { return headerRows_; }
    void setHeaderRows(int rows);
    int dataRow() const { return dataRow_; }
    void setDataRow(int row) { dataRow_ = row; }
    const PaperSettings& paper() const { return paper_; }
    void setPaper(const PaperSettings& paper) { paper_ = paper; }
    const CellFont& defaultFont() const { return defaultFont_; }

    // Placeholder cells in reading order (row by row).
    std::vector<Placeholder> placeholders() const;
    // Writes each value in place of the placeholder of that name; with
    // blankOthers, placeholders without a value are emptied. Returns how many
    // placeholders received a value.
    int fillPlaceholders(const std::map<std::string, std::string>& values, bool blankOthers);

    // How the grid falls on sheets of its paper (see SheetRows). A row taller
    // than a sheet gets a sheet of its own; what does not fit runs off the paper.
    std::vector<SheetRows> sheets() const;

    bool operator==(const PageGrid&) const = default;

private:
    GridCell* at(int row, int column);
    // The last row of the vertical span block that starts or runs through `row`.
    int blockEnd(int row) const;

    std::vector<int> rowHeights_;
    std::vector<int> columnWidths_;
    std::vector<GridCell> cells_;  // row by row
    PaperSettings paper_;
    CellFont defaultFont_;
    int headerRows_ = 0;
    int dataRow_ = 0;
};

// The two page templates of the program, as first written to disk.
// 账页: row 1 the heading (empty, for the caller), row 2 the column heads,
// row 3 the first data row.
PageGrid ledgerPageTemplate();
// 标准凭证: the paper voucher, its variable texts as placeholders.
PageGrid voucherPageTemplate();

// Writes 账页.grd and 标准凭证.grd into `dataDir` when missing; an existing
// file is never replaced. False when a missing file could not be written.
bool writePageTemplates(const std::filesystem::path& dataDir);

}  // namespace tw
