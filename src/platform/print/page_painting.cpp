#include "platform/print/page_painting.h"

#include <QByteArray>
#include <QFile>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QRectF>
#include <QStringList>
#include <algorithm>
#include <vector>

namespace tw {

namespace {

constexpr int kPadding = 10;      // 1 mm between a text and its side lines
constexpr double kLineWidth = 2;  // 0.2 mm
constexpr double kSmallestText = 0.5;
constexpr int kPdfResolution = 1200;  // dots per inch, as a high-resolution printer

Qt::Alignment qtAlignment(HAlign a) {
    switch (a) {
        case HAlign::Centre:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case HAlign::Right:
            return Qt::AlignRight | Qt::AlignVCenter;
        default:
            return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

// A drawn cell: a cell not hidden by a span, stretched over its span.
struct Box {
    QRectF rect;
    const GridCell* cell;
};

std::vector<Box> boxesOf(const PageGrid& grid, const SheetRows& sheet, QPointF origin, double ppu) {
    std::vector<int> rows;
    for (int r = 1; r <= sheet.headerRows; ++r) rows.push_back(r);
    for (int r = sheet.firstRow; r <= sheet.lastRow; ++r) rows.push_back(r);
    const int cols = grid.columnCount();
    std::vector<double> x{origin.x()}, y{origin.y()};
    for (int c = 1; c <= cols; ++c) x.push_back(x.back() + grid.columnWidth(c) * ppu);
    for (int r : rows) y.push_back(y.back() + grid.rowHeight(r) * ppu);

    std::vector<char> covered(rows.size() * cols);
    std::vector<Box> boxes;
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (int c = 1; c <= cols; ++c) {
            if (covered[i * cols + c - 1]) continue;
            const GridCell& cell = grid.cell(rows[i], c);
            // A span reaches over the rows that follow it on this sheet.
            std::size_t last = i;
            while (last + 1 < rows.size() && rows[last + 1] == rows[last] + 1 &&
                   rows[last + 1] < rows[i] + cell.rowSpan)
                ++last;
            const int lastColumn = std::min(cols, c + cell.colSpan - 1);
            for (std::size_t k = i; k <= last; ++k)
                for (int cc = c; cc <= lastColumn; ++cc) covered[k * cols + cc - 1] = 1;
            boxes.push_back(
                {QRectF(QPointF(x[c - 1], y[i]), QPointF(x[lastColumn], y[last + 1])), &cell});
        }
    return boxes;
}

double widestLine(const QFontMetricsF& metrics, const QString& text) {
    double widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

void paintText(QPainter& painter, const Box& box, double ppu, double fontScale) {
    const QString text = QString::fromStdString(box.cell->text);
    QFont font = gridFont(box.cell->font);
    font.setPointSizeF(box.cell->font.pointSize * fontScale);
    QRectF inner = box.rect.adjusted(kPadding * ppu, 0, -kPadding * ppu, 0);
    if (inner.width() <= 0) inner = box.rect;
    double width = widestLine(QFontMetricsF(font, painter.device()), text);
    // A row made tall enough for several lines wraps its text rather than
    // shrinking it, and shrinks it only as far as the wrapped lines need.
    if (width > inner.width() &&
        inner.height() >= 2 * QFontMetricsF(font, painter.device()).lineSpacing()) {
        const double full = font.pointSizeF();
        // Lines break between words and Chinese characters as text does; a
        // word longer than a line breaks where it must.
        int flags = qtAlignment(box.cell->align) | Qt::TextWordWrap;
        for (double scale = 1; scale >= kSmallestText; scale -= 0.05) {
            font.setPointSizeF(full * scale);
            const QFontMetricsF metrics(font, painter.device());
            flags = qtAlignment(box.cell->align) | Qt::TextWordWrap;
            QRectF need = metrics.boundingRect(inner, flags, text);
            if (need.width() > inner.width()) {
                flags = qtAlignment(box.cell->align) | Qt::TextWrapAnywhere;
                need = metrics.boundingRect(inner, flags, text);
            }
            if (need.height() <= inner.height()) break;
        }
        painter.setFont(font);
        painter.save();
        painter.setClipRect(box.rect, Qt::IntersectClip);
        painter.drawText(inner, flags, text);
        painter.restore();
        return;
    }
    if (width > inner.width()) {
        font.setPointSizeF(font.pointSizeF() * std::max(kSmallestText, inner.width() / width));
        width = widestLine(QFontMetricsF(font, painter.device()), text);
    }
    painter.setFont(font);
    const bool cut = width > inner.width();
    if (cut) {
        painter.save();
        painter.setClipRect(box.rect, Qt::IntersectClip);
    }
    painter.drawText(inner, qtAlignment(box.cell->align), text);
    if (cut) painter.restore();
}

}  // namespace

QFont gridFont(const CellFont& cell) {
    QFont font;
    QStringList families{QString::fromStdString(cell.family)};
    for (const char* fallback : {kGridFontFamily, "Noto Sans CJK SC", "Droid Sans Fallback"})
        if (!families.contains(QLatin1String(fallback))) families << QLatin1String(fallback);
    font.setFamilies(families);
    font.setPointSizeF(cell.pointSize);
    font.setBold(cell.bold);
    return font;
}

void paintSheet(QPainter& painter, const PageGrid& grid, const SheetRows& sheet, QPointF origin,
                double pixelsPerUnit) {
    const std::vector<Box> boxes = boxesOf(grid, sheet, origin, pixelsPerUnit);
    // Point sizes are physical: scale them as the sheet is scaled against the device.
    const double fontScale = pixelsPerUnit * 254.0 / painter.device()->logicalDpiY();
    painter.save();
    painter.setPen(Qt::black);
    for (const Box& box : boxes)
        if (!box.cell->text.empty()) paintText(painter, box, pixelsPerUnit, fontScale);

    QPen pen(Qt::black);
    pen.setWidthF(std::max(1.0, kLineWidth * pixelsPerUnit));
    pen.setCapStyle(Qt::SquareCap);
    painter.setPen(pen);
    for (const Box& box : boxes) {
        const CellBorders& b = box.cell->borders;
        const QRectF& r = box.rect;
        if (b.left) painter.drawLine(r.topLeft(), r.bottomLeft());
        if (b.top) painter.drawLine(r.topLeft(), r.topRight());
        if (b.right) painter.drawLine(r.topRight(), r.bottomRight());
        if (b.bottom) painter.drawLine(r.bottomLeft(), r.bottomRight());
    }
    painter.restore();
}

std::vector<DocumentSheet> documentSheets(const std::vector<PageGrid>& grids) {
    std::vector<DocumentSheet> sheets;
    for (const PageGrid& grid : grids)
        for (const SheetRows& rows : grid.sheets()) sheets.push_back({&grid, rows});
    return sheets;
}

void paintFooter(QPainter& painter, const PageGrid& grid, QPointF origin, double pixelsPerUnit,
                 const SheetFooter& footer, int number, int count) {
    if (footer.empty()) return;
    const PaperSettings& paper = grid.paper();
    constexpr int kGap = 20, kHeight = 50;  // 2 mm below the rows, 5 mm tall
    const QRectF area(origin.x(), origin.y() + (paper.printableHeight() + kGap) * pixelsPerUnit,
                      paper.printableWidth() * pixelsPerUnit, kHeight * pixelsPerUnit);
    QFont font = gridFont(grid.defaultFont());
    font.setBold(false);
    font.setPointSizeF(9 * pixelsPerUnit * 254.0 / painter.device()->logicalDpiY());
    painter.save();
    painter.setPen(Qt::black);
    painter.setFont(font);
    if (!footer.left.empty())
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(footer.left));
    if (footer.numbered)
        painter.drawText(area, Qt::AlignRight | Qt::AlignVCenter,
                         QString::fromStdString(sheetNumberText(number, count)));
    painter.restore();
}

QPageLayout pageLayoutOf(const PageGrid& grid) {
    const PaperSettings& paper = grid.paper();
    QPageSize size(QPageSize::A4);
    if (paper.size == PaperSize::A5) {
        size = QPageSize(QPageSize::A5);
    } else if (paper.size == PaperSize::Custom) {
        size = QPageSize(QSizeF(paper.width / 10.0, paper.height / 10.0), QPageSize::Millimeter,
                         QString(), QPageSize::ExactMatch);
    }
    return QPageLayout(
        size,
        paper.orientation == Orientation::Portrait ? QPageLayout::Portrait : QPageLayout::Landscape,
        QMarginsF(), QPageLayout::Millimeter);
}

namespace {
// True for a PDF written to its end: it starts as a PDF, ends with its
// trailer, and its cross-reference table stands where the trailer says. A
// write lost on a full disk leaves no trailer, or moves the table.
bool isWholePdf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("%PDF-") || !bytes.trimmed().endsWith("%%EOF")) return false;
    const qsizetype at = bytes.lastIndexOf("startxref");
    if (at < 0) return false;
    bool ok = false;
    const qint64 table = bytes.mid(at + 9, bytes.size() - at - 9).replace("%%EOF", "").trimmed().toLongLong(&ok);
    return ok && table > 0 && table < bytes.size() && bytes.mid(table, 4) == "xref";
}
}  // namespace

bool writePdf(const PageGrid& grid, const QString& path, QString* error,
              const SheetFooter& footer) {
    return writePdf(std::vector<PageGrid>{grid}, path, error, footer);
}

bool writePdf(const std::vector<PageGrid>& grids, const QString& path, QString* error,
              const SheetFooter& footer) {
    const auto fail = [&](const QString& why) {
        if (error) *error = path + QStringLiteral(": ") + why;
        return false;
    };
    if (grids.empty()) return fail(QStringLiteral("nothing to print"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return fail(QStringLiteral("cannot start the file"));
        QPdfWriter writer(&file);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(pageLayoutOf(grids.front()));
        QPainter painter;
        if (!painter.begin(&writer)) return fail(QStringLiteral("cannot start the file"));
        const double ppu = painter.device()->logicalDpiX() / 254.0;
        const std::vector<DocumentSheet> sheets = documentSheets(grids);
        const int count = static_cast<int>(sheets.size());
        for (int i = 0; i < count; ++i) {
            const PageGrid& grid = *sheets[i].grid;
            if (i > 0) {
                // A grid's paper takes effect with its first page.
                if (sheets[i - 1].grid != &grid) writer.setPageLayout(pageLayoutOf(grid));
                writer.newPage();
            }
            const QPointF origin(grid.paper().marginLeft * ppu, grid.paper().marginTop * ppu);
            paintSheet(painter, grid, sheets[i].rows, origin, ppu);
            paintFooter(painter, grid, origin, ppu, footer, i + 1, count);
        }
        painter.end();
        file.close();
        if (file.error() != QFileDevice::NoError)
            return fail(QStringLiteral("the file could not be written"));
    }
    if (!isWholePdf(path)) return fail(QStringLiteral("the file was not written whole"));
    return true;
}

}  // namespace tw
