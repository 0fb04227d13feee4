#include "slider.h"

#include "control_geometry.h"
#include "controls_accessibility.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
const QColor ValueFieldColour(200, 200, 200);

bool WithinRangeLimit(int value) {
    return value >= -TSlider::RangeLimit && value <= TSlider::RangeLimit;
}

QFont TextFont(QFont font) {
    font.setPixelSize(10);
    font.setBold(true);
    font.setStretch(QFont::SemiCondensed); // "C#10" and "-127" fit the 22 pixels
    return font;
}
} // namespace

TSlider::TSlider(QWidget* parent)
    : PaintBoxControl({SliderGeometry::Width, SliderGeometry::Height}, parent),
      face_(QStringLiteral("SLIDERFACE1")), background_(QStringLiteral("SLIDERBACKGROUND1")) {
    InstallControlsAccessibility();
}

TSlider::~TSlider() = default;

void TSlider::SetPosition(int value) {
    if (value < min_ || value > max_ || value == position_)
        return;
    position_ = value;
    AnnounceValueChange(this, position_);
    Paint();
}

void TSlider::SetMin(int value) {
    if (!WithinRangeLimit(value) || value == min_)
        return;
    min_ = value;
    Paint();
}

void TSlider::SetMax(int value) {
    if (!WithinRangeLimit(value) || value == max_)
        return;
    max_ = value;
    Paint();
}

void TSlider::Render(QPainter& painter) {
    using namespace SliderGeometry;
    const qreal ratio = painter.device()->devicePixelRatioF();
    painter.fillRect(rect(), Qt::black);
    painter.drawPixmap(0, 0, background_.For(ratio));
    painter.drawPixmap(0, FaceTop(position_, min_, max_), face_.For(ratio));

    // The value field with a one-pixel black frame, pixels 0..21 x 85..99.
    const QRect valueField(0, ValueFieldTop, Width, Height - ValueFieldTop);
    painter.fillRect(valueField, ValueFieldColour);
    DrawFrame(painter, valueField, Qt::black);
    painter.setRenderHint(QPainter::Antialiasing);

    const Texts texts = TextsFor(position_, noteNames_);
    painter.setFont(TextFont(font()));
    const QFontMetrics metrics = painter.fontMetrics();
    auto write = [&](const QString& text, int top, bool onChip) {
        if (text.isEmpty())
            return;
        const int width = metrics.horizontalAdvance(text);
        const QRect cell(TextCentre - width / 2, top, width, metrics.height());
        if (onChip) {
            // The note sits on a small plate of the value field's colour, so
            // it stays readable when the face passes under it.
            painter.setPen(Qt::NoPen);
            painter.setBrush(ValueFieldColour);
            painter.drawRoundedRect(QRectF(cell).adjusted(-1.5, 0, 1.5, 0), 2, 2);
        }
        painter.setPen(Qt::black);
        painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop, text);
    };
    write(texts.value, ValueTextTop, false);
    write(texts.note, NoteTextTop, true);
}

void TSlider::SetNoteNames(bool on) {
    if (on == noteNames_)
        return;
    noteNames_ = on;
    Paint();
}

void TSlider::MoveByUser(int value) {
    const int before = position_;
    SetPosition(value);
    if (position_ != before)
        Q_EMIT OnChange(this);
}

void TSlider::mousePressEvent(QMouseEvent* event) {
    using namespace SliderGeometry;
    const QPoint point = event->position().toPoint();
    if (point.y() < ValueFieldTop) {
        lastY_ = point.y();
        dragging_ = true;
        return;
    }
    // The value field steps between the fixed bounds 0 and 127, not Min and Max.
    StepOnClick(point.x(), position_, ClickLowest, ClickHighest);
}

void TSlider::mouseMoveEvent(QMouseEvent* event) {
    const int y = event->position().toPoint().y();
    if (!dragging_ || y == lastY_)
        return;
    int value = SliderGeometry::DragValue(position_, lastY_, y);
    lastY_ = y;
    // Min and Max are not checked against each other: Max wins a crossed range,
    // and the position writer then refuses the value.
    if (value < min_)
        value = min_;
    if (value > max_)
        value = max_;
    MoveByUser(value);
}

void TSlider::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
}

void TSlider::keyPressEvent(QKeyEvent* event) {
    const std::optional<int> target =
        ControlKeys::KeyedPosition(event->key(), position_, min_, max_);
    if (!target) {
        PaintBoxControl::keyPressEvent(event);
        return;
    }
    MoveByUser(*target);
}
