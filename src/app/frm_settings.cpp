#include "frm_settings.h"

#include "builtin_instrument_service.h"
#include "midi_ports.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int PortListWidth = 260;

QComboBox* MakeList(const char* objectName) {
    auto* list = new QComboBox;
    list->setObjectName(QString::fromLatin1(objectName));
    list->setEditable(false);
    list->setMinimumWidth(PortListWidth);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return list;
}

// Fills `list` with the device names; selects the last one whose trimmed name
// equals the trimmed `chosen`, or none.
void ListDevices(QComboBox* list, const std::vector<TMidiDeviceList>& devices,
                 const std::string& chosen) {
    list->clear();
    const std::string wanted = TrimmedPortName(chosen);
    int selected = -1;
    for (const auto& device : devices) {
        list->addItem(QString::fromStdString(device.Name));
        if (TrimmedPortName(device.Name) == wanted)
            selected = list->count() - 1; // a later match wins
    }
    list->setCurrentIndex(selected);
}

void StoreShownName(const QComboBox* list, std::string& name) {
    if (list->currentIndex() >= 0)
        name = list->currentText().toStdString(); // as shown, untrimmed
}

} // namespace

TfrmSettings::TfrmSettings(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmSettings"));
    setWindowTitle(QStringLiteral("Settings"));

    grpMidi = new QGroupBox(QStringLiteral("Midi"));
    grpMidi->setObjectName(QStringLiteral("grpMidi"));
    cmbMidiIns = MakeList("cmbMidiIns");
    cmbMidiOut = MakeList("cmbMidiOut");
    cmbDeviceID = MakeList("cmbDeviceID");
    cmbMidiController = MakeList("cmbMidiController");
    for (int id = 0; id < BroadcastDeviceID; ++id)
        cmbDeviceID->addItem(QString::number(id));
    cmbDeviceID->addItem(QStringLiteral("Broadcast"));

    auto* rows = new QFormLayout(grpMidi);
    rows->addRow(QStringLiteral("Mopho Midi In"), cmbMidiIns);
    rows->addRow(QStringLiteral("Mopho Midi Out"), cmbMidiOut);
    rows->addRow(QStringLiteral("Mopho Device ID"), cmbDeviceID);
    rows->addRow(QStringLiteral("Midi Keyboard Controller In"), cmbMidiController);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    btnOk = buttons->button(QDialogButtonBox::Ok);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    brnCancel = buttons->button(QDialogButtonBox::Cancel);
    brnCancel->setObjectName(QStringLiteral("brnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grpMidi);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmSettings::LoadPorts(const MidiPorts& ports) {
    ListDevices(cmbMidiIns, ports.MidiInDevices, ports.MidiInDeviceName);
    ListDevices(cmbMidiController, ports.MidiInDevices, ports.ControllerInDeviceName);
    ListDevices(cmbMidiOut, ports.MidiOutDevices, ports.MidiOutDeviceName);
    // The controller list shows the device in use, whatever its name; a number
    // past the list (the device is gone) leaves the match by name.
    if (ports.ControllerInDevice < cmbMidiController->count())
        cmbMidiController->setCurrentIndex(ports.ControllerInDevice);
    cmbDeviceID->setCurrentIndex(ports.MophoDeviceID < cmbDeviceID->count() ? ports.MophoDeviceID
                                                                            : -1);
}

void TfrmSettings::StorePorts(MidiPorts& ports) const {
    StoreShownName(cmbMidiIns, ports.MidiInDeviceName);
    StoreShownName(cmbMidiOut, ports.MidiOutDeviceName);
    StoreShownName(cmbMidiController, ports.ControllerInDeviceName);
}

int BuiltInOutputDevice(const MidiPorts& ports) {
    int found = -1;
    for (const auto& device : ports.MidiOutDevices)
        if (device.Name == BuiltInInstrumentService::DeviceName)
            found = device.ID;
    return found;
}

bool ShowMidiSettings(QWidget* owner, MidiPorts& ports, int fallbackOutput,
                      const std::function<void()>& beforeReopen) {
    // A port plugged in since the last look is listed.
    ports.ClearMidiDeviceLists();
    ports.EnumerateMidiDevices();
    TfrmSettings dialog(owner);
    dialog.LoadPorts(ports);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.StorePorts(ports);
    if (fallbackOutput == FallBackToBuiltInOutput)
        fallbackOutput = BuiltInOutputDevice(ports);
    if (fallbackOutput < 0)
        fallbackOutput = ports.MidiOutDevice; // no built-in instrument: the output in use
    if (beforeReopen)
        beforeReopen();
    ports.ApplyMidiPorts(fallbackOutput);
    return true;
}
