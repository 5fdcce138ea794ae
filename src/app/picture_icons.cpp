#include "app/picture_icons.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>
#include <cmath>

namespace tw {

namespace {

// Every icon is drawn on a 48 x 48 canvas and scaled to the pixmap's size.
constexpr qreal kCanvas = 48;

const QColor kInk(0x33, 0x3d, 0x4a);
const QColor kPaperEdge(0x8a, 0x9b, 0xb0);
const QColor kRule(0xb9, 0xcf, 0xe8);
const QColor kBlue(0x2f, 0x6f, 0xb3);
const QColor kGreen(0x2e, 0x9a, 0x4f);
const QColor kRed(0xd0, 0x45, 0x3b);
const QColor kOrange(0xe0, 0x8a, 0x1e);
const QColor kPurple(0x7a, 0x4f, 0xb0);
const QColor kTeal(0x1f, 0x8f, 0x8f);
const QColor kGold(0xe2, 0xb5, 0x3c);

enum class Badge { Plus, Minus, Check, Arrow };

QPen pen(const QColor& color, qreal width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A sheet with a folded top-right corner and ruled lines.
void drawPaper(QPainter& p, const QRectF& r, bool ruled = true) {
    const qreal fold = r.width() * 0.28;
    QPainterPath sheet;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    p.setPen(pen(kPaperEdge, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    QPolygonF corner;
    corner << QPointF(r.right() - fold, r.top()) << QPointF(r.right() - fold, r.top() + fold)
           << QPointF(r.right(), r.top() + fold);
    p.setBrush(QColor(0xdd, 0xe5, 0xee));
    p.drawPolygon(corner);
    if (!ruled) return;
    p.setPen(pen(kRule, 1.6));
    for (qreal y = r.top() + fold + 4; y < r.bottom() - 3; y += 5)
        p.drawLine(QPointF(r.left() + 4, y), QPointF(r.right() - 4, y));
}

void drawBadge(QPainter& p, const QPointF& c, qreal radius, const QColor& color, Badge kind) {
    p.setPen(pen(Qt::white, 1.5));
    p.setBrush(color);
    p.drawEllipse(c, radius, radius);
    p.setPen(pen(Qt::white, 2.4));
    const qreal a = radius * 0.5;
    switch (kind) {
        case Badge::Plus:
            p.drawLine(QPointF(c.x() - a, c.y()), QPointF(c.x() + a, c.y()));
            p.drawLine(QPointF(c.x(), c.y() - a), QPointF(c.x(), c.y() + a));
            break;
        case Badge::Minus:
            p.drawLine(QPointF(c.x() - a, c.y()), QPointF(c.x() + a, c.y()));
            break;
        case Badge::Check:
            p.drawPolyline(QPolygonF() << QPointF(c.x() - a, c.y())
                                       << QPointF(c.x() - a * 0.2, c.y() + a * 0.75)
                                       << QPointF(c.x() + a, c.y() - a * 0.6));
            break;
        case Badge::Arrow:
            p.drawLine(QPointF(c.x() - a, c.y()), QPointF(c.x() + a, c.y()));
            p.drawPolyline(QPolygonF()
                           << QPointF(c.x() + a * 0.1, c.y() - a * 0.8) << QPointF(c.x() + a, c.y())
                           << QPointF(c.x() + a * 0.1, c.y() + a * 0.8));
            break;
    }
}

void drawGlyph(QPainter& p, const QRectF& r, const QString& glyph, const QColor& color,
               qreal pixelSize) {
    QFont font = p.font();
    font.setPixelSize(qRound(pixelSize));
    font.setBold(true);
    p.setFont(font);
    p.setPen(color);
    p.drawText(r, Qt::AlignCenter, glyph);
}

// A closed book: cover, darker spine, page edges at the bottom.
void drawBook(QPainter& p, const QRectF& r, const QColor& cover, const QString& glyph) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf4, 0xf1, 0xe6));
    p.drawRoundedRect(r.adjusted(3, 3, 0, 0), 2, 2);
    p.setPen(pen(cover.darker(130), 1.2));
    p.setBrush(cover);
    p.drawRoundedRect(r.adjusted(0, 0, -2, -3), 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(cover.darker(125));
    p.drawRect(QRectF(r.left() + 1, r.top() + 1, 4, r.height() - 5));
    if (!glyph.isEmpty())
        drawGlyph(p, r.adjusted(5, 0, -2, -3), glyph, Qt::white, r.height() * 0.45);
}

void drawPencil(QPainter& p, const QPointF& tip, qreal angle) {
    p.save();
    p.translate(tip);
    p.rotate(angle);
    // Drawn pointing down the y axis from the tip.
    p.setPen(pen(kOrange.darker(140), 1));
    p.setBrush(kOrange);
    p.drawRect(QRectF(-3.5, -26, 7, 18));
    p.setBrush(QColor(0xf3, 0xd9, 0xa8));
    p.drawPolygon(QPolygonF() << QPointF(-3.5, -8) << QPointF(3.5, -8) << QPointF(0, 0));
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF() << QPointF(-1.2, -2.6) << QPointF(1.2, -2.6) << QPointF(0, 0));
    p.setBrush(QColor(0xe8, 0x8f, 0x9f));
    p.drawRoundedRect(QRectF(-3.5, -31, 7, 5), 1.5, 1.5);
    p.restore();
}

void drawMagnifier(QPainter& p, const QPointF& c, qreal radius) {
    p.setPen(pen(QColor(0x6b, 0x4a, 0x2b), 5));
    const QPointF handle(c.x() + radius * 0.75, c.y() + radius * 0.75);
    p.drawLine(handle, QPointF(handle.x() + radius * 0.9, handle.y() + radius * 0.9));
    p.setPen(pen(kInk, 2.6));
    p.setBrush(QColor(0xcf, 0xe6, 0xfa, 200));
    p.drawEllipse(c, radius, radius);
}

void drawBanknote(QPainter& p, const QRectF& r) {
    p.setPen(pen(kGreen.darker(140), 1.2));
    p.setBrush(QColor(0x8f, 0xcf, 0x9a));
    p.drawRoundedRect(r, 2.5, 2.5);
    p.setPen(pen(kGreen.darker(120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(2.5, 2.5, -2.5, -2.5), 1.5, 1.5);
    p.setBrush(QColor(0xe6, 0xf5, 0xe8));
    const qreal radius = r.height() * 0.3;
    p.drawEllipse(r.center(), radius, radius);
    drawGlyph(p, QRectF(r.center().x() - radius, r.center().y() - radius, 2 * radius, 2 * radius),
              QStringLiteral("¥"), kGreen.darker(150), radius * 1.5);
}

void drawBank(QPainter& p, const QRectF& r, const QColor& color) {
    p.setPen(pen(color.darker(140), 1.2));
    p.setBrush(color);
    const qreal roof = r.height() * 0.3;
    p.drawPolygon(QPolygonF() << QPointF(r.left(), r.top() + roof)
                              << QPointF(r.center().x(), r.top())
                              << QPointF(r.right(), r.top() + roof));
    p.drawRect(QRectF(r.left() + 1, r.bottom() - 4, r.width() - 2, 4));
    p.drawRect(QRectF(r.left() + 2, r.top() + roof + 1, r.width() - 4, 2.5));
    const int pillars = 4;
    const qreal gap = (r.width() - 8) / (pillars - 1);
    for (int i = 0; i < pillars; ++i) {
        const qreal x = r.left() + 4 + i * gap;
        p.drawRect(
            QRectF(x - 1.6, r.top() + roof + 4.5, 3.2, r.bottom() - 4 - (r.top() + roof + 4.5)));
    }
}

void drawCalendar(QPainter& p, const QRectF& r) {
    p.setPen(pen(kPaperEdge, 1.2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(r, 2.5, 2.5);
    p.setBrush(kRed);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(r.left() + 0.6, r.top() + 0.6, r.width() - 1.2, r.height() * 0.24));
    p.setPen(pen(kInk, 2.2));
    p.drawLine(QPointF(r.left() + r.width() * 0.3, r.top() - 3),
               QPointF(r.left() + r.width() * 0.3, r.top() + 4));
    p.drawLine(QPointF(r.right() - r.width() * 0.3, r.top() - 3),
               QPointF(r.right() - r.width() * 0.3, r.top() + 4));
    p.setPen(Qt::NoPen);
    const qreal top = r.top() + r.height() * 0.34;
    const qreal cell = (r.width() - 8) / 4;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col) {
            p.setBrush(row == 2 && col == 3 ? kRed : kRule);
            p.drawRect(QRectF(r.left() + 4 + col * cell + 0.8, top + row * cell * 0.9 + 0.8,
                              cell - 1.6, cell * 0.9 - 1.6));
        }
}

void drawLock(QPainter& p, const QRectF& r) {
    p.setPen(pen(QColor(0x80, 0x80, 0x80), 2.4));
    p.setBrush(Qt::NoBrush);
    const QRectF shackle(r.left() + r.width() * 0.2, r.top(), r.width() * 0.6, r.height() * 0.7);
    p.drawArc(shackle, 0, 180 * 16);
    p.drawLine(QPointF(shackle.left(), shackle.center().y()),
               QPointF(shackle.left(), r.top() + r.height() * 0.45));
    p.drawLine(QPointF(shackle.right(), shackle.center().y()),
               QPointF(shackle.right(), r.top() + r.height() * 0.45));
    p.setPen(pen(kGold.darker(150), 1.2));
    p.setBrush(kGold);
    p.drawRoundedRect(QRectF(r.left(), r.top() + r.height() * 0.42, r.width(), r.height() * 0.58),
                      2, 2);
    p.setBrush(kInk);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(r.center().x(), r.top() + r.height() * 0.68), 1.8, 1.8);
}

void drawArrowHead(QPainter& p, const QPointF& at, qreal angleDegrees, const QColor& color) {
    p.save();
    p.translate(at);
    p.rotate(angleDegrees);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF() << QPointF(5, 0) << QPointF(-3.5, -5) << QPointF(-3.5, 5));
    p.restore();
}

void drawCycle(QPainter& p, const QRectF& r) {
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(kOrange, 4));
    p.drawArc(r, 20 * 16, 140 * 16);
    p.setPen(pen(kBlue, 4));
    p.drawArc(r, 200 * 16, 140 * 16);
    const QPointF c = r.center();
    const qreal rad = r.width() / 2;
    auto at = [&](qreal deg) {
        const qreal a = qDegreesToRadians(deg);
        return QPointF(c.x() + rad * std::cos(a), c.y() - rad * std::sin(a));
    };
    // Heads at the counter-clockwise ends of both arcs, along the tangent.
    auto heading = [](qreal deg) {
        const qreal a = qDegreesToRadians(deg);
        return qRadiansToDegrees(std::atan2(-std::cos(a), -std::sin(a)));
    };
    drawArrowHead(p, at(160), heading(160), kOrange);
    drawArrowHead(p, at(340), heading(340), kBlue);
    drawGlyph(p, r.adjusted(8, 8, -8, -8), QStringLiteral("¥"), kInk, r.height() * 0.42);
}

void drawPrinter(QPainter& p) {
    p.setPen(pen(kPaperEdge, 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(14, 5, 20, 14));
    p.setPen(pen(QColor(0x55, 0x5f, 0x6b), 1.2));
    p.setBrush(QColor(0x9a, 0xa6, 0xb4));
    p.drawRoundedRect(QRectF(5, 17, 38, 18), 3, 3);
    p.setBrush(QColor(0x6d, 0x78, 0x86));
    p.drawRect(QRectF(11, 29, 26, 4));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(37, 22), 1.6, 1.6);
    p.setPen(pen(kPaperEdge, 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(13, 31, 22, 13));
    p.setPen(pen(kRule, 1.6));
    for (qreal y = 35; y < 43; y += 3.5) p.drawLine(QPointF(16, y), QPointF(32, y));
}

void drawChart(QPainter& p) {
    drawPaper(p, QRectF(7, 4, 34, 40), false);
    p.setPen(Qt::NoPen);
    const struct {
        qreal x, h;
        QColor color;
    } bars[] = {{12, 12, kBlue}, {19, 20, kGreen}, {26, 15, kOrange}, {33, 25, kRed}};
    for (const auto& bar : bars) {
        p.setBrush(bar.color);
        p.drawRect(QRectF(bar.x, 39 - bar.h, 5, bar.h));
    }
    p.setPen(pen(kInk, 1.4));
    p.drawLine(QPointF(10, 39.5), QPointF(39, 39.5));
}

void drawSpiralNotebook(QPainter& p, const QRectF& r, const QColor& cover, const QString& glyph) {
    p.setPen(pen(cover.darker(130), 1.2));
    p.setBrush(cover);
    p.drawRoundedRect(r, 2.5, 2.5);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(r.left() + 9, r.top() + 6, r.width() - 14, r.height() * 0.4), 1.5,
                      1.5);
    drawGlyph(p, QRectF(r.left() + 9, r.top() + 6, r.width() - 14, r.height() * 0.4), glyph, cover,
              r.height() * 0.3);
    p.setPen(pen(kInk, 1.8));
    for (qreal y = r.top() + 5; y < r.bottom() - 2; y += 6)
        p.drawLine(QPointF(r.left() - 2.5, y), QPointF(r.left() + 4, y));
}

void drawOpenBook(QPainter& p, const QRectF& r) {
    const QPointF spineTop(r.center().x(), r.top() + 4);
    const QPointF spineBottom(r.center().x(), r.bottom());
    p.setPen(pen(kGreen.darker(140), 1.2));
    p.setBrush(kGreen);
    p.drawRoundedRect(QRectF(r.left(), r.top() + 6, r.width(), r.height() - 4), 2, 2);
    p.setPen(pen(kPaperEdge, 1.1));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF() << QPointF(r.left() + 2, r.top()) << spineTop << spineBottom
                              << QPointF(r.left() + 2, r.bottom() - 4));
    p.drawPolygon(QPolygonF() << spineTop << QPointF(r.right() - 2, r.top())
                              << QPointF(r.right() - 2, r.bottom() - 4) << spineBottom);
    p.setPen(pen(kRule, 1.5));
    for (qreal d = 6; d < r.height() - 6; d += 4.5) {
        p.drawLine(QPointF(r.left() + 5, r.top() + d),
                   QPointF(r.center().x() - 3, r.top() + d + 2));
        p.drawLine(QPointF(r.center().x() + 3, r.top() + d + 2),
                   QPointF(r.right() - 5, r.top() + d));
    }
}

void paintIcon(QPainter& p, PictureIcon which) {
    switch (which) {
        case PictureIcon::VoucherEntry:
            drawPaper(p, QRectF(6, 4, 30, 40));
            drawPencil(p, QPointF(26, 40), 35);
            break;
        case PictureIcon::VoucherReview:
            drawPaper(p, QRectF(6, 4, 30, 40));
            drawBadge(p, QPointF(34, 34), 10, kGreen, Badge::Check);
            break;
        case PictureIcon::VoucherSearch:
            drawPaper(p, QRectF(6, 4, 30, 40));
            drawMagnifier(p, QPointF(28, 27), 9);
            break;
        case PictureIcon::Posting:
            drawPaper(p, QRectF(3, 3, 22, 30));
            drawBook(p, QRectF(19, 12, 26, 34), kBlue, QStringLiteral("账"));
            drawBadge(p, QPointF(13, 37), 8.5, kGreen, Badge::Arrow);
            break;
        case PictureIcon::CarryForward:
            drawCycle(p, QRectF(7, 7, 34, 34));
            break;
        case PictureIcon::PeriodClose:
            drawCalendar(p, QRectF(4, 8, 32, 32));
            drawLock(p, QRectF(28, 24, 16, 20));
            break;
        case PictureIcon::GeneralLedger:
            drawBook(p, QRectF(8, 4, 32, 41), kBlue, QStringLiteral("总"));
            break;
        case PictureIcon::DetailLedger:
            drawOpenBook(p, QRectF(3, 9, 42, 32));
            break;
        case PictureIcon::Journal:
            drawSpiralNotebook(p, QRectF(11, 4, 30, 40), kPurple, QStringLiteral("日"));
            break;
        case PictureIcon::CashReceipt:
        case PictureIcon::CashPayment:
            drawBanknote(p, QRectF(3, 11, 38, 22));
            drawBadge(p, QPointF(35, 34), 9.5, which == PictureIcon::CashReceipt ? kGreen : kRed,
                      which == PictureIcon::CashReceipt ? Badge::Plus : Badge::Minus);
            break;
        case PictureIcon::BankReceipt:
        case PictureIcon::BankPayment:
            drawBank(p, QRectF(4, 5, 34, 34), kTeal);
            drawBadge(p, QPointF(36, 35), 9.5, which == PictureIcon::BankReceipt ? kGreen : kRed,
                      which == PictureIcon::BankReceipt ? Badge::Plus : Badge::Minus);
            break;
        case PictureIcon::PrintWizard:
            drawPrinter(p);
            break;
        case PictureIcon::Report:
            drawChart(p);
            break;
    }
}

template <typename Paint>
QPixmap render(int size, Paint paint) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / kCanvas, size / kCanvas);
    paint(p);
    return pixmap;
}

void paintProgramIcon(QPainter& p) {
    drawBook(p, QRectF(8, 4, 32, 41), kBlue.darker(115), QString());
    drawBanknote(p, QRectF(14, 16, 26, 16));
}

}  // namespace

QIcon pictureIcon(PictureIcon which) {
    QIcon icon;
    for (int size : {32, 48, 96})
        icon.addPixmap(render(size, [which](QPainter& p) { paintIcon(p, which); }));
    return icon;
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 128}) icon.addPixmap(render(size, paintProgramIcon));
    return icon;
}

QPixmap mainPicture(const QSize& size) {
    QPixmap pixmap(size.expandedTo(QSize(1, 1)));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF area(QPointF(0, 0), pixmap.size());

    QLinearGradient sky(area.topLeft(), area.topRight());
    sky.setColorAt(0, QColor(0x1d, 0x3f, 0x6e));
    sky.setColorAt(1, QColor(0x2a, 0x7f, 0x8c));
    p.fillRect(area, sky);
    // Faint ledger rules across the banner.
    p.setPen(QPen(QColor(255, 255, 255, 22), 1));
    for (qreal y = 12; y < area.height(); y += 14)
        p.drawLine(QPointF(0, y), QPointF(area.right(), y));
    p.setPen(QPen(QColor(255, 120, 120, 40), 1));
    p.drawLine(QPointF(36, 0), QPointF(36, area.bottom()));

    QFont title = p.font();
    title.setPixelSize(qMax(18, int(area.height() * 0.3)));
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    const QRectF titleBox(56, area.height() * 0.16, area.width() * 0.6, area.height() * 0.42);
    p.drawText(titleBox, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tallowick"));
    QFont subtitle = p.font();
    subtitle.setPixelSize(qMax(12, int(area.height() * 0.15)));
    subtitle.setBold(false);
    p.setFont(subtitle);
    p.setPen(QColor(0xd8, 0xe8, 0xf4));
    p.drawText(QRectF(58, area.height() * 0.58, area.width() * 0.6, area.height() * 0.3),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("小企业账务处理"));

    // A ledger, a report and a banknote on the right.
    const qreal side = area.height() * 0.8;
    const qreal top = (area.height() - side) / 2;
    const PictureIcon pictures[] = {PictureIcon::GeneralLedger, PictureIcon::Report,
                                    PictureIcon::CashReceipt};
    qreal x = area.width() - 3 * side - 30;
    if (x > area.width() * 0.45) {
        for (PictureIcon which : pictures) {
            p.drawPixmap(QPointF(x, top),
                         render(int(side), [which](QPainter& q) { paintIcon(q, which); }));
            x += side + 10;
        }
    }
    return pixmap;
}

}  // namespace tw
