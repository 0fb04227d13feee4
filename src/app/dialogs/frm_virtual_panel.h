#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QSpinBox;

// What the panel's buttons do: play a gesture on the built-in instrument's
// panel; false when the instrument has no panel to play.
struct VirtualPanelGestures {
    std::function<bool(int nrpn, int value)> turnKnob;
    std::function<bool(int program)> changeProgram;
};

// "Virtual Mopho Panel": turns a knob or chooses a program on the built-in
// instrument's own panel, so the editor can be seen following the
// instrument without one. Modeless: the editor stays usable beside it.
class TfrmVirtualPanel : public QDialog {
    Q_OBJECT
public:
    explicit TfrmVirtualPanel(VirtualPanelGestures gestures, QWidget* parent = nullptr);

    void TurnKnobClick();
    void ChangeProgramClick();

    QSpinBox* spnParameter = nullptr; // the NRPN number, as the instrument sends it
    QSpinBox* spnValue = nullptr;
    QPushButton* btnTurnKnob = nullptr;
    QSpinBox* spnProgram = nullptr; // 1..128 of the current bank
    QPushButton* btnChangeProgram = nullptr;
    QLabel* lblStatus = nullptr;

private:
    void Report(bool played, const QString& gesture);
    VirtualPanelGestures gestures_;
};
