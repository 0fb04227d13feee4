#include "paint_box_control.h"

#include "controls_accessibility.h"

#include <QPainter>

PaintBoxControl::PaintBoxControl(QSize size, QWidget* parent) : QWidget(parent) {
    setFixedSize(size);
    setAttribute(Qt::WA_OpaquePaintEvent); // the back buffer covers every pixel
    setFocusPolicy(Qt::StrongFocus);
}

PaintBoxControl::~PaintBoxControl() = default;

void PaintBoxControl::Paint() {
    RenderBackBuffer();
    copyPending_ = true;
    update();
}

void PaintBoxControl::paintEvent(QPaintEvent*) {
    const bool fresh = copyPending_ && backBuffer_.devicePixelRatio() == devicePixelRatioF();
    // Cleared first: a write made by a handler during this paint sets it again.
    copyPending_ = false;
    if (!fresh)
        RenderBackBuffer();
    QPainter painter(this);
    painter.drawPixmap(0, 0, backBuffer_);
    if (hasFocus()) {
        // Drawn over the copy, not into the back buffer: the ring is no part
        // of what the control shows.
        const QColor ring = palette().color(QPalette::Highlight);
        DrawFrame(painter, rect(), ring);
        DrawFrame(painter, rect().adjusted(1, 1, -1, -1), ring);
    }
}

void PaintBoxControl::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void PaintBoxControl::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void PaintBoxControl::RenderBackBuffer() {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (backBuffer_.size() != pixels || backBuffer_.devicePixelRatio() != ratio) {
        backBuffer_ = QPixmap(pixels);
        backBuffer_.setDevicePixelRatio(ratio);
    }
    QPainter painter(&backBuffer_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    Render(painter);
}

void PaintBoxControl::DrawFrame(QPainter& painter, const QRect& area, const QColor& colour) {
    painter.fillRect(QRect(area.left(), area.top(), area.width(), 1), colour);
    painter.fillRect(QRect(area.left(), area.bottom(), area.width(), 1), colour);
    painter.fillRect(QRect(area.left(), area.top(), 1, area.height()), colour);
    painter.fillRect(QRect(area.right(), area.top(), 1, area.height()), colour);
}

void PaintBoxControl::StepOnClick(int x, int& position, int lowest, int highest) {
    const int before = position;
    if (x < width() / 2) {
        if (position > lowest)
            --position;
    } else if (position < highest) {
        ++position;
    }
    Paint();
    if (position != before) {
        AnnounceValueChange(this, position);
        Q_EMIT OnChange(this);
    }
}
