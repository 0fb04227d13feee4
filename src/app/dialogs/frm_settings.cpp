#include "frm_settings.h"

#include "builtin_instrument_service.h"
#include "midi_ports.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
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

// Fills `list` after its first `keep` entries with the device names and
// selects the one chosen, or none.
void ListDevices(QComboBox* list, const std::vector<TMidiDeviceList>& devices,
                 const std::string& chosen, int keep = 0) {
    while (list->count() > keep)
        list->removeItem(list->count() - 1);
    for (const auto& device : devices)
        list->addItem(QString::fromStdString(device.Name));
    const int index = ChosenDeviceIndex(devices, chosen);
    list->setCurrentIndex(index < 0 ? -1 : index + keep);
}

// The name shown in `list`, untrimmed; `kept` when nothing is chosen.
std::string ShownName(const QComboBox* list, const std::string& kept) {
    return list->currentIndex() >= 0 ? list->currentText().toStdString() : kept;
}

QLabel* MakeNote(const char* objectName) {
    auto* note = new QLabel;
    note->setObjectName(QString::fromLatin1(objectName));
    note->setWordWrap(true);
    note->setFixedWidth(PortListWidth); // wrapped at the lists' width
    note->setVisible(false);
    return note;
}

} // namespace

int ChosenDeviceIndex(const std::vector<TMidiDeviceList>& devices, const std::string& chosen) {
    const std::string wanted = TrimmedPortName(chosen);
    int index = -1;
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (TrimmedPortName(devices[i].Name) == wanted)
            index = static_cast<int>(i); // a later match wins, as the ports resolve
    return index;
}

bool ControllerLoopsBack(const std::string& controllerName, const std::string& mophoInName) {
    const std::string controller = TrimmedPortName(controllerName);
    return !controller.empty() && controller == TrimmedPortName(mophoInName);
}

std::string OutputInUseNote(const std::string& chosen, bool outputOpen, const std::string& inUse) {
    const std::string wanted = TrimmedPortName(chosen);
    if (outputOpen && TrimmedPortName(inUse) == wanted)
        return {};
    std::string note = outputOpen ? "In use: " + inUse : std::string("No output is open");
    if (!wanted.empty())
        note += " (" + wanted + " cannot be opened)";
    return note;
}

TfrmSettings::TfrmSettings(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmSettings"));
    setWindowTitle(QStringLiteral("Settings"));

    grpMidi = new QGroupBox(QStringLiteral("Midi"));
    grpMidi->setObjectName(QStringLiteral("grpMidi"));
    cmbMidiIns = MakeList("cmbMidiIns");
    cmbMidiOut = MakeList("cmbMidiOut");
    lblMidiOutInUse = MakeNote("lblMidiOutInUse");
    cmbDeviceID = MakeList("cmbDeviceID");
    cmbMidiController = MakeList("cmbMidiController");
    cmbMidiController->addItem(QStringLiteral("None"));
    lblControllerWarning = MakeNote("lblControllerWarning");
    lblControllerWarning->setText(
        QStringLiteral("This is the Mopho's input: everything the Mopho sends would be sent "
                       "back to it."));
    for (int id = 0; id < BroadcastDeviceID; ++id)
        cmbDeviceID->addItem(QString::number(id));
    cmbDeviceID->addItem(QStringLiteral("Broadcast"));

    auto* rows = new QFormLayout(grpMidi);
    rows->addRow(QStringLiteral("Mopho Midi In"), cmbMidiIns);
    rows->addRow(QStringLiteral("Mopho Midi Out"), cmbMidiOut);
    rows->addRow(QString(), lblMidiOutInUse);
    rows->addRow(QStringLiteral("Mopho Device ID"), cmbDeviceID);
    rows->addRow(QStringLiteral("Midi Keyboard Controller In"), cmbMidiController);
    rows->addRow(QString(), lblControllerWarning);
    // Hidden notes take no room.
    rows->setRowVisible(lblMidiOutInUse, false);
    rows->setRowVisible(lblControllerWarning, false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    btnOk = buttons->button(QDialogButtonBox::Ok);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    brnCancel = buttons->button(QDialogButtonBox::Cancel);
    brnCancel->setObjectName(QStringLiteral("brnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(cmbMidiIns, &QComboBox::currentIndexChanged, this,
            &TfrmSettings::ShowControllerWarning);
    connect(cmbMidiController, &QComboBox::currentIndexChanged, this,
            &TfrmSettings::ShowControllerWarning);

    lblIntroduction = new QLabel;
    lblIntroduction->setObjectName(QStringLiteral("lblIntroduction"));
    lblIntroduction->setWordWrap(true);
    lblIntroduction->setVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblIntroduction);
    layout->addWidget(grpMidi);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmSettings::LoadPorts(const MidiPorts& ports) {
    ListDevices(cmbMidiIns, ports.MidiInDevices(), ports.MidiInDeviceName());
    ListDevices(cmbMidiOut, ports.MidiOutDevices(), ports.MidiOutDeviceName());
    if (TrimmedPortName(ports.ControllerInDeviceName()).empty()) {
        ListDevices(cmbMidiController, ports.MidiInDevices(), {}, 1);
        cmbMidiController->setCurrentIndex(NoControllerEntry);
    } else {
        ListDevices(cmbMidiController, ports.MidiInDevices(), ports.ControllerInDeviceName(), 1);
    }
    cmbDeviceID->setCurrentIndex(
        ports.MophoDeviceID() < cmbDeviceID->count() ? ports.MophoDeviceID() : -1);
    const std::string note =
        OutputInUseNote(ports.MidiOutDeviceName(), ports.MidiOutOpen(), ports.MidiOutInUse());
    lblMidiOutInUse->setText(QString::fromStdString(note));
    static_cast<QFormLayout*>(grpMidi->layout())->setRowVisible(lblMidiOutInUse, !note.empty());
    ShowControllerWarning();
}

void TfrmSettings::SetIntroduction(const QString& text) {
    lblIntroduction->setText(text);
    lblIntroduction->setVisible(!text.isEmpty());
}

void TfrmSettings::ShowControllerWarning() {
    const bool loops = cmbMidiController->currentIndex() > NoControllerEntry &&
                       cmbMidiIns->currentIndex() >= 0 &&
                       ControllerLoopsBack(cmbMidiController->currentText().toStdString(),
                                           cmbMidiIns->currentText().toStdString());
    static_cast<QFormLayout*>(grpMidi->layout())->setRowVisible(lblControllerWarning, loops);
}

void TfrmSettings::StorePorts(MidiPorts& ports) const {
    ports.SetMidiInDeviceName(ShownName(cmbMidiIns, ports.MidiInDeviceName()));
    ports.SetMidiOutDeviceName(ShownName(cmbMidiOut, ports.MidiOutDeviceName()));
    ports.SetControllerInDeviceName(
        cmbMidiController->currentIndex() == NoControllerEntry
            ? std::string()
            : ShownName(cmbMidiController, ports.ControllerInDeviceName()));
    if (cmbDeviceID->currentIndex() >= 0)
        ports.SetMophoDeviceID(static_cast<std::uint16_t>(cmbDeviceID->currentIndex()));
}

QString FirstStartIntroduction() {
    return QStringLiteral("The built-in \"%1\" is there to try the program without an "
                          "instrument: keep it, or choose the ports your Mopho is connected to.")
        .arg(QString::fromLatin1(BuiltInInstrumentService::DeviceName));
}

int BuiltInOutputDevice(const MidiPorts& ports) {
    int found = -1;
    for (const auto& device : ports.MidiOutDevices())
        if (device.Name == BuiltInInstrumentService::DeviceName)
            found = device.ID;
    return found;
}

bool ShowMidiSettings(QWidget* owner, MidiPorts& ports, int fallbackOutput,
                      const std::function<void()>& beforeReopen, const QString& introduction) {
    // A port plugged in since the last look is listed.
    ports.ClearMidiDeviceLists();
    ports.EnumerateMidiDevices();
    TfrmSettings dialog(owner);
    dialog.LoadPorts(ports);
    dialog.SetIntroduction(introduction);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.StorePorts(ports);
    if (fallbackOutput == FallBackToBuiltInOutput)
        fallbackOutput = BuiltInOutputDevice(ports);
    if (fallbackOutput < 0)
        fallbackOutput = ports.MidiOutDevice(); // no built-in instrument: the output in use
    if (beforeReopen)
        beforeReopen();
    ports.ApplyMidiPorts(fallbackOutput);
    return true;
}
