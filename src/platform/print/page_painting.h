#pragma once
// Paints a page grid on a screen, a printer or a PDF: the same sheets
// everywhere, sized from the grid's tenths of a millimetre. Needs QtGui only,
// so that the command-line tool writes PDF files without the widgets.
//
// Each sheet is drawn at the grid's margins on the grid's paper: the repeated
// header rows first (from the second sheet on), then the sheet's own rows.
// Texts sit vertically centred in their cells, 1 mm from the side lines; a
// text wider than its cell wraps when the cell has room for two lines or
// more, and is otherwise drawn smaller (down to half size); what still does
// not fit is cut at the cell's edge, never drawn over the next cell. Lines
// are 0.2 mm wide.

#include <QFont>
#include <QPageLayout>
#include <QPointF>
#include <QString>
#include <vector>

#include "platform/page_grid.h"
#include "platform/sheet_footer.h"

class QPainter;

namespace tw {

// The font of a cell, falling back to a font that holds Chinese.
QFont gridFont(const CellFont& font);

// Paints one sheet's rows with the top-left corner of the printable area at
// `origin` (device pixels), `pixelsPerUnit` device pixels to 0.1 mm.
void paintSheet(QPainter& painter, const PageGrid& grid, const SheetRows& sheet, QPointF origin,
                double pixelsPerUnit);

// A sheet of a document of several grids: the grid and its rows.
struct DocumentSheet {
    const PageGrid* grid;
    SheetRows rows;
};
// Every sheet of the grids, one grid after another.
std::vector<DocumentSheet> documentSheets(const std::vector<PageGrid>& grids);

// Paints the footer of sheet `number` of `count` in the grid's bottom
// margin, 2 mm below the printable area, in the grid's font at 9 points:
// the left text at the left margin, the sheet's number at the right one.
void paintFooter(QPainter& painter, const PageGrid& grid, QPointF origin, double pixelsPerUnit,
                 const SheetFooter& footer, int number, int count);

// The grid's paper and orientation, without margins (paintSheet paints them).
QPageLayout pageLayoutOf(const PageGrid& grid);

// Writes the sheets to a PDF with real text at `path` itself (a temporary
// name the caller puts in place, storage/file_swap.h), then reads it back:
// false, with the reason, when the file could not be started or written or
// is not whole (a full disk). Each sheet carries `footer`.
bool writePdf(const PageGrid& grid, const QString& path, QString* error,
              const SheetFooter& footer = {});
// The same for several grids, one after another, each on its own paper.
bool writePdf(const std::vector<PageGrid>& grids, const QString& path, QString* error,
              const SheetFooter& footer = {});

}  // namespace tw
