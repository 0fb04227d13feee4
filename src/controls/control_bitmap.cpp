#include "control_bitmap.h"

#include <QPixmapCache>

// Q_INIT_RESOURCE must be called outside any namespace. Calling it here keeps
// the compiled-in bitmaps linked whenever a control is used.
static void InitControlResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(controls);
        return true;
    }();
    (void)done;
}

namespace {
// 175 controls share each picture: load every file once.
QPixmap Load(const QString& path) {
    QPixmap pixmap;
    if (QPixmapCache::find(path, &pixmap))
        return pixmap;
    pixmap.load(path); // an "@2x" file name gives the pixmap its device pixel ratio 2
    QPixmapCache::insert(path, pixmap);
    return pixmap;
}
} // namespace

ControlBitmap::ControlBitmap(const QString& name) {
    InitControlResources();
    const QString base = QStringLiteral(":/controls/") + name;
    normal_ = Load(base + QStringLiteral(".png"));
    doubled_ = Load(base + QStringLiteral("@2x.png"));
    if (doubled_.isNull())
        doubled_ = normal_;
}

const QPixmap& ControlBitmap::For(qreal devicePixelRatio) const {
    return devicePixelRatio > 1.0 ? doubled_ : normal_;
}

QSize ControlBitmap::Size() const {
    return normal_.size();
}
