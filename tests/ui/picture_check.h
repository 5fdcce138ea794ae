#pragma once
// Pictures of windows that tests check: the window drawn whole, in a font
// that holds Chinese, with the named controls in sight and something drawn on
// each. TALLOWICK_SCREENSHOT_DIR names a folder that keeps a copy of each
// picture for a person to look at.

#include <gtest/gtest.h>

#include <QDir>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTest>
#include <QWidget>
#include <initializer_list>
#include <string>

namespace tw::test {

// How far (the sum over red, green and blue) a pixel stands from the ground
// to count as drawn: text and lines do, alternating row tints do not.
inline constexpr int kClearDifference = 96;
// Fewer drawn pixels than this in a control's area: nothing legible is there.
inline constexpr int kLeastInk = 20;
// The band along a control's edge where frames are drawn, left out of its area.
inline constexpr int kEdge = 3;

// The pixels of `area` that differ clearly from its most common colour: the
// strokes of text and lines drawn on a plain ground.
inline int inkIn(const QImage& picture, const QRect& area) {
    const QRect inside = area & picture.rect();
    QHash<QRgb, int> counts;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) ++counts[picture.pixel(x, y)];
    QRgb ground = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            ground = it.key();
        }
    int ink = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        const QRgb c = it.key();
        const int distance = qAbs(qRed(c) - qRed(ground)) + qAbs(qGreen(c) - qGreen(ground)) +
                             qAbs(qBlue(c) - qBlue(ground));
        if (distance >= kClearDifference) ink += it.value();
    }
    return ink;
}

// Pictures `window` (shown first if it is not) and checks the picture: it has
// the window's size, the window's font can draw Chinese (without a CJK font
// every caption is a row of boxes), and each of `shownControls` (object
// names) is visible, lies wholly inside the window and has something drawn
// inside its frame. The picture is saved as `fileName` in
// TALLOWICK_SCREENSHOT_DIR when that is set. Returns the picture (RGB32) for
// checks of the caller's own.
inline QImage checkPicture(QWidget& window, const QString& fileName,
                           std::initializer_list<const char*> shownControls) {
    const std::string file = fileName.toStdString();
    if (!window.isVisible()) {
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window)) << file << ": the window never showed";
    }
    const QPixmap grabbed = window.grab();
    EXPECT_FALSE(grabbed.isNull()) << file << ": nothing was grabbed";
    const qreal scale = grabbed.devicePixelRatio();
    const QSize grabbedSize = grabbed.size() / scale;
    EXPECT_TRUE(grabbedSize == window.size())
        << file << ": the picture is " << grabbedSize.width() << "x" << grabbedSize.height()
        << ", the window " << window.width() << "x" << window.height();
    EXPECT_TRUE(QFontMetrics(window.font()).inFont(QChar(0x8D26)))
        << file << ": the window's font cannot draw 账, so Chinese shows as boxes";
    const QImage picture = grabbed.toImage().convertToFormat(QImage::Format_RGB32);

    for (const char* name : shownControls) {
        auto* control = window.findChild<QWidget*>(QString::fromUtf8(name));
        if (!control) {
            ADD_FAILURE() << file << ": no control named " << name;
            continue;
        }
        EXPECT_TRUE(control->isVisible()) << file << ": " << name << " is not shown";
        const QRect area(control->mapTo(&window, QPoint(0, 0)), control->size());
        EXPECT_TRUE(window.rect().contains(area))
            << file << ": " << name << " at (" << area.x() << "," << area.y() << ") "
            << area.width() << "x" << area.height() << " is not wholly inside the window's "
            << window.width() << "x" << window.height();
        // Inside the control's edge: a frame alone shows nothing the test filled in.
        const QRect content = area.adjusted(kEdge, kEdge, -kEdge, -kEdge);
        const QRect pixels(qRound(content.x() * scale), qRound(content.y() * scale),
                           qRound(content.width() * scale), qRound(content.height() * scale));
        EXPECT_GE(inkIn(picture, pixels), kLeastInk) << file << ": nothing is drawn on " << name;
    }

    const QString folder = qEnvironmentVariable("TALLOWICK_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        EXPECT_TRUE(QDir().mkpath(folder)) << "cannot make " << folder.toStdString();
        const QString path = QDir(folder).filePath(fileName);
        EXPECT_TRUE(grabbed.save(path)) << "cannot write " << path.toStdString();
    }
    return picture;
}

}  // namespace tw::test
