#pragma once

#include "sysex_messages.h"

#include <QDialog>

#include <array>
#include <functional>

class MidiOutput;
class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;

// "Global": the instrument's ten global settings, changed live. Every change
// of a control goes out at once as one NRPN parameter change; the window
// keeps nothing and has no OK or Cancel.
class TfrmGlobal : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 436;
    static constexpr int ClientHeight = 273;

    explicit TfrmGlobal(MidiOutput& out, QWidget* parent = nullptr);

    // Sets the controls from the values of a global parameter dump, in the
    // instrument's order. A track bar or check box that moves from its start
    // state sends its value back, as a change by hand would; the lists send
    // nothing. A value outside its control's range leaves the control as it
    // is and sends nothing.
    void LoadGlobals(const std::array<int, GlobalsCount>& values);
    // Where a change that did not reach the instrument is reported (one
    // line per run of failures).
    void SetFailureLog(std::function<void(const QString&)> log) { failureLog_ = std::move(log); }

    // The channel its messages go out on, 0..15 (0 is MIDI channel 1).
    void SetChannel(int channel) { channel_ = channel; }
    // Runs when the user gives the instrument the MIDI channel 1..16 (not
    // "all"): the program may then use it too.
    void OnInstrumentChannelChanged(std::function<void(int channel)> handler) {
        instrumentChannelChanged_ = std::move(handler);
    }

    QLabel* lblTransposeCaption = nullptr;
    QSlider* trbTranspose = nullptr;
    QLabel* lblTranspose = nullptr;
    QLabel* lblFineTuneCaption = nullptr;
    QSlider* trbFineTune = nullptr;
    QLabel* lblFineTune = nullptr;
    QComboBox* cmbMidiChannel = nullptr;
    QComboBox* cmbClock = nullptr;
    QComboBox* cmbParameterSend = nullptr;
    QComboBox* cmbParameterReceive = nullptr;
    QCheckBox* chbMidiController = nullptr;
    QCheckBox* cmbMidiSysex = nullptr;
    QComboBox* cmbAudioOut = nullptr;
    QComboBox* cmbMidiOut = nullptr;

private:
    void trbTransposeChange(int position);
    void trbFineTuneChange(int position);
    // One list's user change: its parameter with the item index.
    void ListChange(int global, int index);
    void CheckBoxClick(int global, bool checked);
    void SendGlobal(int global, int value);

    MidiOutput& out_;
    int channel_ = 0;
    bool loading_ = false;
    std::function<void(const QString&)> failureLog_;
    bool failing_ = false;
    std::function<void(int channel)> instrumentChannelChanged_;
};
