#include "platform/ui/page_grid_widget.h"

#include <QColor>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "platform/ui/page_printing.h"

namespace tw {

namespace {
constexpr int kGap = 12;    // pixels around and between the sheets
constexpr int kShadow = 3;  // pixels of shadow under a sheet
}  // namespace

PageGridWidget::PageGridWidget(QWidget* parent) : QAbstractScrollArea(parent) {
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
    setGrid(PageGrid());
}

void PageGridWidget::setGrid(PageGrid grid) {
    grid_ = std::move(grid);
    sheets_ = grid_.sheets();
    if (sheets_.empty()) sheets_.push_back({0, 1, 0});  // blank paper
    updateScrollBars();
    viewport()->update();
}

void PageGridWidget::setZoom(int percent) {
    zoom_ = std::clamp(percent, 10, 400);
    updateScrollBars();
    viewport()->update();
}

double PageGridWidget::pixelsPerUnit() const { return logicalDpiX() / 254.0 * zoom_ / 100.0; }

QSize PageGridWidget::sheetSize() const {
    const double ppu = pixelsPerUnit();
    return QSize(static_cast<int>(std::lround(grid_.paper().sheetWidth() * ppu)),
                 static_cast<int>(std::lround(grid_.paper().sheetHeight() * ppu)));
}

QSize PageGridWidget::contentSize() const {
    const QSize sheet = sheetSize();
    const int count = static_cast<int>(sheets_.size());
    return QSize(sheet.width() + 2 * kGap, count * (sheet.height() + kGap) + kGap);
}

QRect PageGridWidget::sheetRect(int index) const {
    const QSize sheet = sheetSize();
    const int left = std::max(kGap, (viewport()->width() - sheet.width()) / 2);
    return QRect(QPoint(left, kGap + index * (sheet.height() + kGap)), sheet);
}

void PageGridWidget::updateScrollBars() {
    const QSize content = contentSize();
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, content.width() - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setRange(0, std::max(0, content.height() - view.height()));
    verticalScrollBar()->setPageStep(view.height());
}

QSize PageGridWidget::sizeHint() const {
    // One whole sheet, with room for the vertical scroll bar.
    const QSize sheet = sheetSize();
    return QSize(
        sheet.width() + 2 * kGap + 2 * frameWidth() + verticalScrollBar()->sizeHint().width(),
        sheet.height() + 2 * kGap + 2 * frameWidth());
}

void PageGridWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

int PageGridWidget::rowAt(const QPoint& pos) const {
    const QPoint at = pos + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const double ppu = pixelsPerUnit();
    for (int i = 0; i < static_cast<int>(sheets_.size()); ++i) {
        const QRect paper = sheetRect(i);
        if (at.y() < paper.top() || at.y() >= paper.bottom()) continue;
        const double x = at.x() - paper.left() - grid_.paper().marginLeft * ppu;
        if (x < 0 || x >= grid_.totalWidth() * ppu) return 0;
        double y = at.y() - paper.top() - grid_.paper().marginTop * ppu;
        if (y < 0) return 0;
        const SheetRows& sheet = sheets_[i];
        for (int r = 1; r <= sheet.headerRows; ++r)
            if ((y -= grid_.rowHeight(r) * ppu) < 0) return r;
        for (int r = sheet.firstRow; r <= sheet.lastRow; ++r)
            if ((y -= grid_.rowHeight(r) * ppu) < 0) return r;
        return 0;
    }
    return 0;
}

// A left click on the page is the page's own: pressed and released here.
void PageGridWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) event->accept();
    else QAbstractScrollArea::mousePressEvent(event);
}

void PageGridWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mouseReleaseEvent(event);
    event->accept();
    if (const int row = rowAt(event->position().toPoint())) emit rowClicked(row);
}

void PageGridWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    painter.translate(-scroll);
    const QRect visible = event->rect().translated(scroll);
    const double ppu = pixelsPerUnit();
    const QPointF margins(grid_.paper().marginLeft * ppu, grid_.paper().marginTop * ppu);
    for (int i = 0; i < static_cast<int>(sheets_.size()); ++i) {
        const QRect paper = sheetRect(i);
        if (!paper.adjusted(0, 0, kShadow, kShadow).intersects(visible)) continue;
        painter.fillRect(paper.translated(kShadow, kShadow), QColor(0, 0, 0, 70));
        painter.fillRect(paper, Qt::white);
        paintSheet(painter, grid_, sheets_[i], paper.topLeft() + margins, ppu);
    }
}

}  // namespace tw
