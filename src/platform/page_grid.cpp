#include "platform/page_grid.h"

#include <algorithm>

namespace tw {

namespace {

const GridCell kBlankCell{};

}  // namespace

// --- paper ----------------------------------------------------------------------

int PaperSettings::sheetWidth() const {
    return orientation == Orientation::Portrait ? width : height;
}
int PaperSettings::sheetHeight() const {
    return orientation == Orientation::Portrait ? height : width;
}

PaperSettings paperSettings(PaperSize size, Orientation orientation) {
    PaperSettings p;
    p.size = size;
    p.orientation = orientation;
    if (size == PaperSize::A5) {
        p.width = 1480;
        p.height = 2100;
    }
    return p;
}

// --- the grid -------------------------------------------------------------------

PageGrid::PageGrid(int rows, int columns, int rowHeight, int columnWidth)
    : rowHeights_(std::max(rows, 0), std::max(rowHeight, 1)),
      columnWidths_(std::max(columns, 0), std::max(columnWidth, 1)),
      cells_(static_cast<std::size_t>(std::max(rows, 0)) * std::max(columns, 0)) {}

bool PageGrid::contains(int row, int column) const {
    return row >= 1 && row <= rowCount() && column >= 1 && column <= columnCount();
}

GridCell* PageGrid::at(int row, int column) {
    if (!contains(row, column)) return nullptr;
    return &cells_[static_cast<std::size_t>(row - 1) * columnCount() + (column - 1)];
}

const GridCell& PageGrid::cell(int row, int column) const {
    if (!contains(row, column)) return kBlankCell;
    return cells_[static_cast<std::size_t>(row - 1) * columnCount() + (column - 1)];
}

bool PageGrid::setText(int row, int column, std::string text) {
    GridCell* c = at(row, column);
    if (c) c->text = std::move(text);
    return c != nullptr;
}

bool PageGrid::setAlignment(int row, int column, HAlign align) {
    GridCell* c = at(row, column);
    if (c) c->align = align;
    return c != nullptr;
}

bool PageGrid::setBorders(int row, int column, CellBorders borders) {
    GridCell* c = at(row, column);
    if (c) c->borders = borders;
    return c != nullptr;
}

bool PageGrid::setFont(int row, int column, CellFont font) {
    GridCell* c = at(row, column);
    if (c) c->font = std::move(font);
    return c != nullptr;
}

bool PageGrid::merge(int row, int column, int rowSpan, int colSpan) {
    if (rowSpan < 1 || colSpan < 1 || !contains(row, column) ||
        !contains(row + rowSpan - 1, column + colSpan - 1))
        return false;
    // Any other block that overlaps this one refuses the merge; a block
    // anchored here is replaced.
    for (int r = 1; r <= row + rowSpan - 1; ++r)
        for (int c = 1; c <= column + colSpan - 1; ++c) {
            const GridCell& other = cell(r, c);
            if ((r == row && c == column) || (other.rowSpan == 1 && other.colSpan == 1)) continue;
            const bool overlaps = r + other.rowSpan - 1 >= row && c + other.colSpan - 1 >= column;
            if (overlaps) return false;
        }
    GridCell* anchor = at(row, column);
    anchor->rowSpan = rowSpan;
    anchor->colSpan = colSpan;
    return true;
}

bool PageGrid::isCovered(int row, int column) const {
    if (!contains(row, column)) return false;
    for (int r = 1; r <= row; ++r)
        for (int c = 1; c <= column; ++c) {
            if (r == row && c == column) continue;
            const GridCell& other = cell(r, c);
            if (r + other.rowSpan - 1 >= row && c + other.colSpan - 1 >= column) return true;
        }
    return false;
}

int PageGrid::rowHeight(int row) const {
    return row >= 1 && row <= rowCount() ? rowHeights_[row - 1] : 0;
}

bool PageGrid::setRowHeight(int row, int height) {
    if (row < 1 || row > rowCount() || height <= 0) return false;
    rowHeights_[row - 1] = height;
    return true;
}

int PageGrid::columnWidth(int column) const {
    return column >= 1 && column <= columnCount() ? columnWidths_[column - 1] : 0;
}

bool PageGrid::setColumnWidth(int column, int width) {
    if (column < 1 || column > columnCount() || width <= 0) return false;
    columnWidths_[column - 1] = width;
    return true;
}

int PageGrid::totalWidth() const {
    int sum = 0;
    for (int w : columnWidths_) sum += w;
    return sum;
}

int PageGrid::appendRow(int styleRow) {
    if (styleRow < 1 || styleRow > rowCount()) return 0;
    const int cols = columnCount();
    for (int c = 1; c <= cols; ++c) {
        GridCell copy = cell(styleRow, c);
        copy.text.clear();
        copy.rowSpan = 1;
        cells_.push_back(std::move(copy));
    }
    rowHeights_.push_back(rowHeights_[styleRow - 1]);
    return rowCount();
}

void PageGrid::clearRowsAfter(int row) {
    row = std::clamp(row, 0, rowCount());
    rowHeights_.resize(row);
    cells_.resize(static_cast<std::size_t>(row) * columnCount());
    for (int r = 1; r <= row; ++r)
        for (int c = 1; c <= columnCount(); ++c) {
            GridCell* cell = at(r, c);
            cell->rowSpan = std::min(cell->rowSpan, row - r + 1);
        }
    headerRows_ = std::min(headerRows_, row);
}

void PageGrid::setHeaderRows(int rows) { headerRows_ = std::clamp(rows, 0, rowCount()); }

std::vector<Placeholder> PageGrid::placeholders() const {
    std::vector<Placeholder> found;
    for (int r = 1; r <= rowCount(); ++r)
        for (int c = 1; c <= columnCount(); ++c) {
            const std::string& t = text(r, c);
            if (t.size() >= 2 && t.front() == '[' && t.back() == ']')
                found.push_back({r, c, t.substr(1, t.size() - 2)});
        }
    return found;
}

int PageGrid::fillPlaceholders(const std::map<std::string, std::string>& values, bool blankOthers) {
    int filled = 0;
    for (const Placeholder& p : placeholders()) {
        auto it = values.find(p.name);
        if (it != values.end()) {
            setText(p.row, p.column, it->second);
            ++filled;
        } else if (blankOthers) {
            setText(p.row, p.column, {});
        }
    }
    return filled;
}

int PageGrid::blockEnd(int row) const {
    int end = row;
    for (int r = row; r <= end; ++r)
        for (int c = 1; c <= columnCount(); ++c) end = std::max(end, r + cell(r, c).rowSpan - 1);
    return std::min(end, rowCount());
}

std::vector<SheetRows> PageGrid::sheets() const {
    std::vector<SheetRows> result;
    const int room = paper_.printableHeight();
    int headerHeight = 0;
    for (int r = 1; r <= headerRows_; ++r) headerHeight += rowHeight(r);
    auto height = [&](int first, int last) {
        int h = 0;
        for (int r = first; r <= last; ++r) h += rowHeight(r);
        return h;
    };
    int row = 1;
    while (row <= rowCount()) {
        SheetRows sheet{0, row, 0};
        int used = 0;
        if (!result.empty() && headerRows_ > 0 && row > headerRows_) {
            // Repeat the header unless the next block would then not fit.
            const int first = height(row, blockEnd(row));
            if (headerHeight + first <= room) {
                sheet.headerRows = headerRows_;
                used = headerHeight;
            }
        }
        do {
            const int end = blockEnd(row);
            const int h = height(row, end);
            if (used > 0 && used + h > room) break;
            used += h;
            sheet.lastRow = end;
            row = end + 1;
        } while (row <= rowCount() && used < room);
        result.push_back(sheet);
    }
    return result;
}

}  // namespace tw
