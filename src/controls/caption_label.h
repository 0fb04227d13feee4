#pragma once

#include <QPointer>
#include <QString>

class QLabel;
class QWidget;

// The caption of a knob or LED switch: a black label that the control creates
// and owns but places on its own parent, 14 pixels above the control and
// centred over it. It follows the control's parent, position and visibility.
// Assistive technology does not list it: the control is named instead.
class CaptionLabel {
public:
    static constexpr int Gap = 14; // from the label's top to the control's top

    explicit CaptionLabel(QWidget* control);
    ~CaptionLabel();
    CaptionLabel(const CaptionLabel&) = delete;
    CaptionLabel& operator=(const CaptionLabel&) = delete;

    // Sets the text and moves the label over the control.
    void Place(const QString& text);
    // Keeps the label where it belongs after the control moved, was re-parented,
    // shown or hidden.
    void Follow();

    QLabel* Label() const;

private:
    QWidget* control_;
    QPointer<QLabel> label_; // the parent may delete it before the control
};
