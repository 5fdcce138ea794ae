#pragma once
// Page grids on a printer and in the print preview, painted as on the screen
// and in PDF files (platform/print/page_painting.h).
//
// A print job is one document however many grids it holds: one name for the
// print queue, one print dialog, one preview, its sheets one after another.

#include <QString>
#include <optional>
#include <vector>

#include "platform/page_grid.h"
#include "platform/print/page_painting.h"
#include "platform/sheet_footer.h"

class QPrinter;
class QWidget;

namespace tw {

class Prompter;

struct PrintJob {
    std::vector<PageGrid> grids;  // printed one after another, each on its own paper
    QString name;                 // the document's name in the print queue
    SheetFooter footer;           // under every sheet
};

// The sheets of the job, counted over all its grids.
int sheetCount(const PrintJob& job);

// Sets the printer's paper and orientation from the grid; the printer draws
// from the paper's corner (the grid's margins are painted by paintSheet).
void setUpPrinter(QPrinter& printer, const PageGrid& grid);
// The same from the job's first grid, and the job's name.
void setUpPrinter(QPrinter& printer, const PrintJob& job);
// Prints every sheet, one per page. Returns the number of pages, 0 when the
// printer could not start.
int printGrid(QPrinter& printer, const PageGrid& grid);

// Prints the job on a printer set up for it (setUpPrinter; the paper may
// have been changed since, in a dialog) under the job's name: the sheets in
// the page range chosen on the printer (all without one), as many copies as
// chosen when the printer does not make them itself. A sheet of another grid
// than the one before it takes its grid's paper, as far as the printer can
// change paper within a job. Returns the number of sheets printed (a copy
// counted once); 0 when the printer could not start or the range holds no
// sheet.
int printJob(QPrinter& printer, const PrintJob& job);

// The print dialog (the prompter's: printer, copies, range), then the job on
// the printer chosen. The pages printed (0: the printer could not start);
// nullopt when the dialog was cancelled.
std::optional<int> printWithDialog(QWidget* parent, Prompter& prompter, const PrintJob& job);

// The print-preview window "打印预览" (also its object name) showing the
// job's sheets as one document; modal. Returns what QDialog::exec() returns.
int printPreview(QWidget* parent, const PrintJob& job);
// The same for one grid, under no name of its own.
int printPreview(QWidget* parent, const PageGrid& grid);

}  // namespace tw
