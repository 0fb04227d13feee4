#pragma once

#include "caption_label.h"
#include "paint_box_control.h"

// A self-drawn control with a caption label above it (knob, LED switch).
// The label follows the control when it moves, changes parent, shows or hides.
class CaptionedControl : public PaintBoxControl {
    Q_OBJECT
public:
    QLabel* CaptionLabelWidget() const { return captionLabel_.Label(); }
    void setVisible(bool visible) override;

protected:
    CaptionedControl(QSize size, QWidget* parent);
    ~CaptionedControl() override;

    // Called from Render: sets the label's text and places it over the control.
    void PlaceCaption(const QString& text) { captionLabel_.Place(text); }

    void moveEvent(QMoveEvent* event) override;
    bool event(QEvent* event) override;

private:
    CaptionLabel captionLabel_;
};
