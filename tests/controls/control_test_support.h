#pragma once

#include <QImage>
#include <QMouseEvent>
#include <QPoint>
#include <QWidget>
#include <QtTest/QTest>

// Helpers shared by the control tests: pictures and mouse input.
namespace ControlTest {

// What the control shows, at normal resolution.
inline QImage Picture(QWidget& control) {
    return control.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// One of the compiled-in bitmaps, at normal resolution. Create a control
// first: that links in the resources.
inline QImage Bitmap(const char* name) {
    return QImage(QStringLiteral(":/controls/") + QLatin1String(name) + QStringLiteral(".png"))
        .convertToFormat(QImage::Format_RGB32);
}

inline void Press(QWidget& control, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(&control, button, Qt::NoModifier, at);
}
inline void Move(QWidget& control, QPoint to) {
    QTest::mouseMove(&control, to);
}
inline void Release(QWidget& control, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseRelease(&control, button, Qt::NoModifier, at);
}

} // namespace ControlTest
