#pragma once
// Page grids on a printer and in the print preview, painted as on the screen
// and in PDF files (platform/print/page_painting.h).

#include "platform/page_grid.h"
#include "platform/print/page_painting.h"

class QPrinter;
class QWidget;

namespace tw {

// Sets the printer's paper and orientation from the grid; the printer draws
// from the paper's corner (the grid's margins are painted by paintSheet).
void setUpPrinter(QPrinter& printer, const PageGrid& grid);
// Prints every sheet, one per page. Returns the number of pages, 0 when the
// printer could not start.
int printGrid(QPrinter& printer, const PageGrid& grid);

// The print-preview window "打印预览" (also its object name) showing the
// grid's sheets; modal. Returns what QDialog::exec() returns.
int printPreview(QWidget* parent, const PageGrid& grid);

}  // namespace tw
