#pragma once

#include <QPixmap>
#include <QWidget>

// Base of the self-drawn controls: a fixed-size widget that draws into a back
// buffer and copies it to the screen in one piece. The controls take the
// keyboard focus by Tab and by click and show it as a ring inside their edge.
//
// A property write calls Paint(): the back buffer is drawn at once and the
// change notification follows synchronously, also while the control is
// hidden. A paint the window system asks for (exposure, a repaint of the
// parent) draws again, unless a write has just drawn the buffer, which is
// then only copied.
//
// OnChange reports only a user's change (a drag, a click, a key): values
// written by the program and paints raise nothing.
class PaintBoxControl : public QWidget {
    Q_OBJECT
public:
    ~PaintBoxControl() override;

Q_SIGNALS:
    // The sender is the control, so one handler can serve many controls.
    void OnChange(QObject* sender);

protected:
    PaintBoxControl(QSize size, QWidget* parent);

    // Draws the back buffer now and has the screen copy follow.
    void Paint();
    // Draws the whole control in device-independent pixels.
    virtual void Render(QPainter& painter) = 0;

    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    // A click on the read-out: one step down on its left half, one up on its
    // right half, never past lowest..highest; a change is announced to
    // assistive tools and reported, and the control repaints even at a limit.
    void StepOnClick(int x, int& position, int lowest, int highest);

    // A one-pixel frame along the inside edges of area, sharp at any scale.
    static void DrawFrame(QPainter& painter, const QRect& area, const QColor& colour);

private:
    void RenderBackBuffer();

    QPixmap backBuffer_;
    bool copyPending_ = false; // the buffer holds a paint not yet on screen
};
