#include "check_led.h"

#include "controls_accessibility.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>

namespace {
constexpr int Width = 32;
constexpr int Height = 16;
const QColor FrameColour(120, 40, 40);

// Cuts to the limit without splitting a character made of two UTF-16 units.
QString Shortened(const QString& text, int limit) {
    if (text.size() <= limit)
        return text;
    int length = limit;
    if (text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length);
}
} // namespace

TCheckLed::TCheckLed(QWidget* parent)
    : CaptionedControl({Width, Height}, parent), on_(QStringLiteral("REDBUTTON")),
      off_(QStringLiteral("BLACKBUTTON")) {
    InstallControlsAccessibility();
}

TCheckLed::~TCheckLed() = default;

void TCheckLed::SetCaption(const QString& text) {
    const QString shortened = Shortened(text, CaptionLimit);
    if (shortened == caption_)
        return;
    caption_ = shortened;
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    Paint();
}

void TCheckLed::SetStatus(bool on) {
    if (on == status_)
        return;
    status_ = on;
    AnnounceCheckedChange(this);
    Paint();
}

void TCheckLed::Toggle() {
    SetStatus(!status_);
    Q_EMIT OnChange(this);
}

void TCheckLed::Render(QPainter& painter) {
    PlaceCaption(caption_);
    const qreal ratio = painter.device()->devicePixelRatioF();
    painter.fillRect(rect(), Qt::black);
    painter.drawPixmap(0, 0, (status_ ? on_ : off_).For(ratio));
    DrawFrame(painter, rect(), FrameColour);
}

void TCheckLed::mousePressEvent(QMouseEvent*) {
    Toggle();
}

void TCheckLed::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space) {
        CaptionedControl::keyPressEvent(event);
        return;
    }
    // A held key toggles once.
    if (!event->isAutoRepeat())
        Toggle();
}
