#pragma once
// Shows a page grid as the paper it prints on: its sheets one under another,
// white on grey, ruled and lettered as printPreview() shows them, at a zoom
// where 100% is the paper's real size on this screen. Scrolls when larger
// than the window.

#include <QAbstractScrollArea>
#include <QRect>
#include <QSize>
#include <vector>

#include "platform/page_grid.h"

namespace tw {

class PageGridWidget : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PageGridWidget(QWidget* parent = nullptr);

    void setGrid(PageGrid grid);
    const PageGrid& grid() const { return grid_; }
    // Percent of the real size, 10 to 400.
    void setZoom(int percent);
    int zoom() const { return zoom_; }

    QSize sizeHint() const override;

    // The grid row drawn at `pos` (viewport coordinates): a repeated header
    // row counts as itself. 0 between rows' sheets, in the margins, or left
    // or right of the columns.
    int rowAt(const QPoint& pos) const;

signals:
    // A left click on a row (see rowAt).
    void rowClicked(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    double pixelsPerUnit() const;
    QSize sheetSize() const;
    // Sheet i's paper, in the coordinates of the whole scrolled area.
    QRect sheetRect(int index) const;
    QSize contentSize() const;
    void updateScrollBars();

    PageGrid grid_;
    std::vector<SheetRows> sheets_;
    int zoom_ = 100;
};

}  // namespace tw
