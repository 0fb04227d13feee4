#pragma once

#include "control_bitmap.h"
#include "paint_box_control.h"

// The vertical 22 x 100 step fader of the sequencer tracks: a movable face,
// the value as a number in the value field at the bottom and, while its
// track plays notes, as a note name at the top. Dragging moves two thirds
// of a step per pixel; a click on the left or right half of the value field
// steps down or up between the fixed bounds 0 and 127. With the focus, the
// arrow keys step it by one, Page Up and Page Down by ten, Home and End go
// to Min and Max, all through the position setter.
//
// OnChange reports a user's change only; the position setter raises nothing.
class TSlider : public PaintBoxControl {
    Q_OBJECT
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(bool NoteNames READ NoteNames WRITE SetNoteNames)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
public:
    static constexpr int RangeLimit = 255; // Min and Max stay within -255..255

    explicit TSlider(QWidget* parent = nullptr);
    ~TSlider() override;

    int Position() const { return position_; }
    // Ignored outside Min..Max or when equal; otherwise repaints. Raises nothing.
    void SetPosition(int value);
    // A move made for the user (assistive technology): set like SetPosition,
    // and reported when it changed the position.
    void MoveByUser(int value);
    bool NoteNames() const { return noteNames_; }
    // Whether the note name shows above the value; repaints when changed.
    void SetNoteNames(bool on);
    bool Dragging() const { return dragging_; }
    int Min() const { return min_; }
    // Accepted within -255..255; not checked against Max.
    void SetMin(int value);
    int Max() const { return max_; }
    // Accepted within -255..255; not checked against Min.
    void SetMax(int value);

protected:
    void Render(QPainter& painter) override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int position_ = 0;
    bool noteNames_ = false;
    int min_ = 0;
    int max_ = 127;

    int lastY_ = 0;
    bool dragging_ = false;

    ControlBitmap face_;
    ControlBitmap background_;
};
