#include "knob.h"

#include "control_geometry.h"
#include "controls_accessibility.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
std::vector<ControlBitmap> LoadGlyphs() {
    std::vector<ControlBitmap> glyphs;
    glyphs.reserve(KnobGeometry::GlyphCount);
    for (int digit = 0; digit <= 9; ++digit)
        glyphs.emplace_back(QStringLiteral("KBITMAP") + QString::number(digit));
    glyphs.emplace_back(QStringLiteral("KMINUS"));
    glyphs.emplace_back(QStringLiteral("KSPACE"));
    return glyphs;
}

const QColor PointerColour(171, 171, 174);
const QColor TipColour(80, 30, 30);
const QColor FrameColour(32, 12, 12);
} // namespace

TKnob::TKnob(QWidget* parent)
    : CaptionedControl({KnobGeometry::Width, KnobGeometry::Height}, parent),
      face_(QStringLiteral("KNOBFACE1")), glyphs_(LoadGlyphs()) {
    InstallControlsAccessibility();
}

TKnob::~TKnob() = default;

void TKnob::SetPosition(int value) {
    if (value < min_ || value > max_ || value == position_)
        return;
    position_ = value;
    AnnounceValueChange(this, position_);
    Paint();
}

void TKnob::SetMin(int value) {
    if (value == min_ || value >= max_)
        return;
    min_ = value;
    Paint();
}

void TKnob::SetMax(int value) {
    if (value == max_ || value <= min_)
        return;
    max_ = value;
    Paint();
}

void TKnob::SetCaption(const QString& text) {
    if (text == caption_)
        return;
    caption_ = text;
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    Paint();
}

void TKnob::Render(QPainter& painter) {
    using namespace KnobGeometry;
    PlaceCaption(caption_);

    const qreal ratio = painter.device()->devicePixelRatioF();
    painter.fillRect(rect(), Qt::black);
    painter.drawPixmap(0, FaceTop, face_.For(ratio));

    // Pixel (x, y) of the pointer's geometry is the square whose centre is
    // (x + 0.5, y + 0.5); antialiasing keeps the line smooth at every angle.
    const QPoint tip = PointerTip(position_, min_, max_);
    const QPointF centre(Centre + 0.5, Centre + 0.5);
    const QPointF tipCentre(tip.x() + 0.5, tip.y() + 0.5);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(PointerColour, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, tipCentre);
    painter.setPen(QPen(TipColour, 3));
    painter.setBrush(TipColour);
    painter.drawEllipse(tipCentre, 1.0, 1.0);
    painter.setRenderHint(QPainter::Antialiasing, false);

    const std::array<int, 4> glyphs = ReadoutGlyphs(position_);
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const int x = ReadoutLeft + static_cast<int>(i) * GlyphWidth;
        painter.drawPixmap(x, ReadoutTop, glyphs_[static_cast<std::size_t>(glyphs[i])].For(ratio));
    }

    DrawFrame(painter, rect(), FrameColour);
}

void TKnob::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (point.y() < KnobGeometry::ReadoutBoundary) {
        dragStartValue_ = position_;
        dragStartY_ = point.y();
        dragging_ = true;
        return;
    }
    StepOnClick(point.x(), position_, min_, max_);
}

void TKnob::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_)
        return;
    MoveByUser(KnobGeometry::DragValue(dragStartValue_, dragStartY_,
                                       event->position().toPoint().y(), min_, max_));
}

void TKnob::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
}

void TKnob::MoveByUser(int value) {
    const int before = position_;
    SetPosition(value);
    if (position_ != before)
        Q_EMIT OnChange(this);
}

void TKnob::enterEvent(QEnterEvent*) {
    Q_EMIT OnEnter(this);
}

void TKnob::leaveEvent(QEvent*) {
    Q_EMIT OnLeave(this);
}

void TKnob::keyPressEvent(QKeyEvent* event) {
    const std::optional<int> target =
        ControlKeys::KeyedPosition(event->key(), position_, min_, max_);
    if (!target) {
        CaptionedControl::keyPressEvent(event);
        return;
    }
    MoveByUser(*target);
}
