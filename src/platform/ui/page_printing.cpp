#include "platform/ui/page_printing.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRect>
#include <QRectF>
#include <QScreen>
#include <algorithm>
#include <vector>

#include "platform/ui/prompter.h"

namespace tw {

namespace {

// Where the grid's printable area starts on the printer's current page. The
// painter starts at the printable area unless the printer prints the full
// page; the grid's margins count from the paper's edge either way.
QPointF originOn(QPrinter& printer, const PageGrid& grid, double ppu) {
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    return QPointF(grid.paper().marginLeft * ppu - (page.left() - paper.left()),
                   grid.paper().marginTop * ppu - (page.top() - paper.top()));
}

}  // namespace

int sheetCount(const PrintJob& job) { return static_cast<int>(documentSheets(job.grids).size()); }

void setUpPrinter(QPrinter& printer, const PageGrid& grid) {
    printer.setFullPage(true);
    printer.setPageLayout(pageLayoutOf(grid));
}

void setUpPrinter(QPrinter& printer, const PrintJob& job) {
    if (!job.grids.empty()) setUpPrinter(printer, job.grids.front());
    printer.setDocName(job.name);
}

int printGrid(QPrinter& printer, const PageGrid& grid) {
    QPainter painter;
    if (!painter.begin(&printer)) return 0;
    const double ppu = painter.device()->logicalDpiX() / 254.0;
    const QPointF origin = originOn(printer, grid, ppu);
    const std::vector<SheetRows> sheets = grid.sheets();
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        if (i > 0) printer.newPage();
        paintSheet(painter, grid, sheets[i], origin, ppu);
    }
    painter.end();
    return std::max<int>(1, static_cast<int>(sheets.size()));
}

int printJob(QPrinter& printer, const PrintJob& job) {
    const std::vector<DocumentSheet> sheets = documentSheets(job.grids);
    const int count = static_cast<int>(sheets.size());
    int first = 1, last = count;
    if (printer.printRange() == QPrinter::PageRange) {
        if (printer.fromPage() > 0) first = std::max(first, printer.fromPage());
        if (printer.toPage() > 0) last = std::min(last, printer.toPage());
    }
    if (first > last) return 0;
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    printer.setDocName(job.name);
    printer.setFullPage(true);
    // The grid whose paper the printer holds: the first one's, as set up.
    const PageGrid* laidOut = &job.grids.front();
    if (sheets[first - 1].grid != laidOut) {
        laidOut = sheets[first - 1].grid;
        printer.setPageLayout(pageLayoutOf(*laidOut));
    }
    QPainter painter;
    if (!painter.begin(&printer)) return 0;
    const double ppu = painter.device()->logicalDpiX() / 254.0;
    bool started = false;
    for (int copy = 0; copy < copies; ++copy)
        for (int i = first; i <= last; ++i) {
            const PageGrid& grid = *sheets[i - 1].grid;
            if (started) {
                // A grid's paper takes effect with its first page, where the
                // printer can change paper within a job.
                if (&grid != laidOut) {
                    laidOut = &grid;
                    const QPageLayout layout = pageLayoutOf(grid);
                    if (!layout.isEquivalentTo(printer.pageLayout())) printer.setPageLayout(layout);
                }
                printer.newPage();
            }
            started = true;
            const QPointF origin = originOn(printer, grid, ppu);
            paintSheet(painter, grid, sheets[i - 1].rows, origin, ppu);
            paintFooter(painter, grid, origin, ppu, job.footer, i, count);
        }
    painter.end();
    return last - first + 1;
}

std::optional<int> printWithDialog(QWidget* parent, Prompter& prompter, const PrintJob& job) {
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, job);
    if (!prompter.choosePrinter(parent, printer, sheetCount(job))) return std::nullopt;
    return printJob(printer, job);
}

int printPreview(QWidget* parent, const PrintJob& job) {
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, job);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QString::fromUtf8("打印预览"));
    dialog.setObjectName(QString::fromUtf8("打印预览"));
    // Most of the screen, so that a page reads without zooming.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        dialog.resize(area.width() * 4 / 5, area.height() * 9 / 10);
    }
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&job](QPrinter* target) { printJob(*target, job); });
    return dialog.exec();
}

int printPreview(QWidget* parent, const PageGrid& grid) {
    return printPreview(parent, PrintJob{{grid}, QString(), SheetFooter{}});
}

}  // namespace tw
