#pragma once

#include "captioned_control.h"
#include "control_bitmap.h"

// The 32 x 16 two-state switch of the sound editor: a red LED when on, a dark
// one when off, with a caption label above it. A click, or Space while it has
// the focus, toggles it and raises OnChange; a state written by the program
// raises nothing.
class TCheckLed : public CaptionedControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Status READ Status WRITE SetStatus)
public:
    static constexpr int CaptionLimit = 32;

    explicit TCheckLed(QWidget* parent = nullptr);
    ~TCheckLed() override;

    const QString& Caption() const { return caption_; }
    // Longer text is cut to 32 characters.
    void SetCaption(const QString& text);
    bool Status() const { return status_; }
    // Repaints when different; raises nothing.
    void SetStatus(bool on);
    // A number the owner keeps with the switch (0..15); the switch does not use it.

    // What a click does: toggle, then raise OnChange. Assistive technology
    // toggles the switch the same way.
    void Toggle();

protected:
    void Render(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString caption_ = QStringLiteral("Instrument");
    bool status_ = false;

    ControlBitmap on_;
    ControlBitmap off_;
};
