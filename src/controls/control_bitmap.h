#pragma once

#include <QPixmap>
#include <QString>

// One of the controls' bitmaps from the program's resources, in its normal
// and its double-resolution (@2x) variant; painting picks the one that suits
// the screen.
class ControlBitmap {
public:
    // name is the resource name, for example "KNOBFACE1".
    explicit ControlBitmap(const QString& name);

    // The variant for a back buffer of the given device pixel ratio.
    const QPixmap& For(qreal devicePixelRatio) const;
    // Size in device-independent pixels.
    QSize Size() const;

private:
    QPixmap normal_;
    QPixmap doubled_;
};
