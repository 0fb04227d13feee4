#pragma once

#include <QDialog>

#include <functional>

class MidiPorts;
class QComboBox;
class QGroupBox;
class QPushButton;

// "Settings": the three MIDI ports chosen by device name, and the device ID
// setting shown (it changes only through the settings file).
class TfrmSettings : public QDialog {
    Q_OBJECT
public:
    static constexpr int BroadcastDeviceID = 127;

    // Fills the device ID list; the port lists start empty.
    explicit TfrmSettings(QWidget* parent = nullptr);

    // Lists the devices of `ports` and selects the ports in use.
    void LoadPorts(const MidiPorts& ports);
    // The port names as shown; a list without a selection keeps its name.
    void StorePorts(MidiPorts& ports) const;

    QGroupBox* grpMidi = nullptr;
    QComboBox* cmbMidiIns = nullptr;
    QComboBox* cmbMidiOut = nullptr;
    QComboBox* cmbDeviceID = nullptr;
    QComboBox* cmbMidiController = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* brnCancel = nullptr;
};

// Use the built-in instrument's output, as listed when OK is pressed, when the
// chosen output will not open.
inline constexpr int FallBackToBuiltInOutput = -1;

// The "Midi &Settings ..." command: rebuilds the device lists, shows the
// dialog modally and, on OK, stores the names and reopens the ports. An output
// that fails to open leaves the program on `fallbackOutput` (a device number,
// or FallBackToBuiltInOutput). `beforeReopen` runs just before the ports close
// (to end notes on the output in use). Returns true on OK.
bool ShowMidiSettings(QWidget* owner, MidiPorts& ports,
                      int fallbackOutput = FallBackToBuiltInOutput,
                      const std::function<void()>& beforeReopen = {});

// The device number of the built-in instrument's output in the ports' output
// list, or -1 when it is not listed.
int BuiltInOutputDevice(const MidiPorts& ports);
