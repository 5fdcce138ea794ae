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

namespace tw {

void setUpPrinter(QPrinter& printer, const PageGrid& grid) {
    printer.setFullPage(true);
    printer.setPageLayout(pageLayoutOf(grid));
}

int printGrid(QPrinter& printer, const PageGrid& grid) {
    QPainter painter;
    if (!painter.begin(&printer)) return 0;
    const double ppu = painter.device()->logicalDpiX() / 254.0;
    // The painter starts at the printable area unless the printer prints the
    // full page; the grid's margins count from the paper's edge either way.
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QPointF origin(grid.paper().marginLeft * ppu - (page.left() - paper.left()),
                         grid.paper().marginTop * ppu - (page.top() - paper.top()));
    const std::vector<SheetRows> sheets = grid.sheets();
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        if (i > 0) printer.newPage();
        paintSheet(painter, grid, sheets[i], origin, ppu);
    }
    painter.end();
    return std::max<int>(1, static_cast<int>(sheets.size()));
}

int printPreview(QWidget* parent, const PageGrid& grid) {
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, grid);
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
                     [&grid](QPrinter* target) { printGrid(*target, grid); });
    return dialog.exec();
}

}  // namespace tw
