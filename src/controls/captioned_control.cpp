#include "captioned_control.h"

#include <QEvent>

CaptionedControl::CaptionedControl(QSize size, QWidget* parent)
    : PaintBoxControl(size, parent), captionLabel_(this) {}

CaptionedControl::~CaptionedControl() = default;

void CaptionedControl::setVisible(bool visible) {
    PaintBoxControl::setVisible(visible);
    captionLabel_.Follow();
}

void CaptionedControl::moveEvent(QMoveEvent* event) {
    PaintBoxControl::moveEvent(event);
    captionLabel_.Follow();
}

bool CaptionedControl::event(QEvent* event) {
    const bool handled = PaintBoxControl::event(event);
    if (event->type() == QEvent::ParentChange)
        captionLabel_.Follow();
    return handled;
}
