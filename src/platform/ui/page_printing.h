#pragma once
// Paints a page grid on a screen, a printer or a PDF: the same sheets
// everywhere, sized from the grid's tenths of a millimetre.
//
// Each sheet is drawn at the grid's margins on the grid's paper: the repeated
// header rows first (from the second sheet on), then the sheet's own rows.
// Texts sit vertically centred in their cells, 1 mm from the side lines; a
// text wider than its cell wraps when the cell has room for two lines or
// more, and is otherwise drawn smaller (down to half size); what still does
// not fit is cut at the cell's edge, never drawn over the next cell. Lines
// are 0.2 mm wide.

#include <QFont>
#include <QPointF>
#include <QString>
#include <vector>

#include "platform/page_grid.h"

class QPainter;
class QPrinter;
class QWidget;

namespace tw {

// The font of a cell, falling back to a font that holds Chinese.
QFont gridFont(const CellFont& font);

// Paints one sheet's rows with the top-left corner of the printable area at
// `origin` (device pixels), `pixelsPerUnit` device pixels to 0.1 mm.
void paintSheet(QPainter& painter, const PageGrid& grid, const SheetRows& sheet, QPointF origin,
                double pixelsPerUnit);

// Sets the printer's paper and orientation from the grid; the printer draws
// from the paper's corner (the grid's margins are painted by paintSheet).
void setUpPrinter(QPrinter& printer, const PageGrid& grid);
// Prints every sheet, one per page. Returns the number of pages, 0 when the
// printer could not start.
int printGrid(QPrinter& printer, const PageGrid& grid);

// The print-preview window "打印预览" (also its object name) showing the
// grid's sheets; modal. Returns what QDialog::exec() returns.
int printPreview(QWidget* parent, const PageGrid& grid);

// Writes the sheets to a PDF with real text at `path` itself (a temporary
// name the caller puts in place, storage/file_swap.h), then reads it back:
// false, with the reason, when the painter could not start, the printer
// failed or the file is not whole (a full disk).
bool writePdf(const PageGrid& grid, const QString& path, QString* error);
// The same for several grids, one after another, each on its own paper.
bool writePdf(const std::vector<PageGrid>& grids, const QString& path, QString* error);

}  // namespace tw
