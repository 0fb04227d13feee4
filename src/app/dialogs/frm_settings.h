#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class MidiPorts;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
struct TMidiDeviceList;

// "Settings": the three MIDI ports chosen by device name and the device ID.
// The controller list starts with "None" (stored as an empty name).
class TfrmSettings : public QDialog {
    Q_OBJECT
public:
    static constexpr int BroadcastDeviceID = 127;
    static constexpr int NoControllerEntry = 0; // "None" in cmbMidiController

    // Fills the device ID list; the port lists start empty.
    explicit TfrmSettings(QWidget* parent = nullptr);

    // Lists the devices of `ports`, selects the ports chosen and says which
    // output is in use when it is not the one chosen.
    void LoadPorts(const MidiPorts& ports);
    // The port names as shown and the device ID; a list without a selection
    // keeps its name.
    void StorePorts(MidiPorts& ports) const;
    // A line above the ports (a first start's word on the built-in
    // instrument); hidden while empty.
    void SetIntroduction(const QString& text);

    QLabel* lblIntroduction = nullptr;
    QGroupBox* grpMidi = nullptr;
    QComboBox* cmbMidiIns = nullptr;
    QComboBox* cmbMidiOut = nullptr;
    QLabel* lblMidiOutInUse = nullptr;
    QComboBox* cmbDeviceID = nullptr;
    QComboBox* cmbMidiController = nullptr;
    QLabel* lblControllerWarning = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* brnCancel = nullptr;

private:
    void ShowControllerWarning();
};

// The entry of `devices` whose trimmed name equals the trimmed `chosen` (the
// last of several), or -1.
int ChosenDeviceIndex(const std::vector<TMidiDeviceList>& devices, const std::string& chosen);

// True when the controller input chosen is the instrument's own input:
// everything the instrument sends would be passed straight back to it.
bool ControllerLoopsBack(const std::string& controllerName, const std::string& mophoInName);

// The line under the output list when the output in use is not the one
// chosen (an interface unplugged or busy); empty when it is.
std::string OutputInUseNote(const std::string& chosen, bool outputOpen, const std::string& inUse);

// The line above the ports on a first start.
QString FirstStartIntroduction();

// Use the built-in instrument's output, as listed when OK is pressed, when the
// chosen output will not open.
inline constexpr int FallBackToBuiltInOutput = -1;

// The "Midi &Settings ..." command: rebuilds the device lists, shows the
// dialog modally and, on OK, stores the choices and reopens the ports. An
// output that fails to open leaves the program on `fallbackOutput` (a device
// number, or FallBackToBuiltInOutput). `beforeReopen` runs just before the
// ports close (to end notes on the output in use). Returns true on OK.
bool ShowMidiSettings(QWidget* owner, MidiPorts& ports,
                      int fallbackOutput = FallBackToBuiltInOutput,
                      const std::function<void()>& beforeReopen = {},
                      const QString& introduction = {});

// The device number of the built-in instrument's output in the ports' output
// list, or -1 when it is not listed.
int BuiltInOutputDevice(const MidiPorts& ports);
