#pragma once

#include "captioned_control.h"
#include "control_bitmap.h"

#include <vector>

// The rotary control of the sound editor: a 32 x 48 knob face with a pointer,
// a three-digit read-out under it and a caption label above it. Dragging
// vertically changes the value one step per pixel; a click on the left or
// right half of the read-out steps it down or up. With the focus, the arrow
// keys step it by one, Page Up and Page Down by ten, Home and End go to Min
// and Max, all through the position setter.
//
// OnChange reports a user's change only: a drag, a click or a key that moved
// the knob; the position setter raises nothing.
class TKnob : public CaptionedControl {
    Q_OBJECT
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
public:
    explicit TKnob(QWidget* parent = nullptr);
    ~TKnob() override;

    int Position() const { return position_; }
    // Ignored outside Min..Max or when equal; otherwise repaints. Raises nothing.
    void SetPosition(int value);
    // A move made for the user (assistive technology): set like SetPosition,
    // and reported when it changed the position.
    void MoveByUser(int value);
    // While the user drags it, the knob is theirs: the owner sets no value.
    bool Dragging() const { return dragging_; }
    int Min() const { return min_; }
    // Accepted only below Max; the position is not adjusted.
    void SetMin(int value);
    int Max() const { return max_; }
    // Accepted only above Min; the position is not adjusted.
    void SetMax(int value);
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& text);
    // A number the owner keeps with the knob (0..15); the knob does not use it.

Q_SIGNALS:
    void OnEnter(QObject* sender);
    void OnLeave(QObject* sender);

protected:
    void Render(QPainter& painter) override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int position_ = 63;
    int min_ = 0;
    int max_ = 127;
    QString caption_;

    int dragStartValue_ = 0;
    int dragStartY_ = 0;
    bool dragging_ = false;

    ControlBitmap face_;
    std::vector<ControlBitmap> glyphs_;
};
