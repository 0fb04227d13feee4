#include "frm_settings.h"

#include "builtin_instrument_service.h"
#include "midi/fake_midi_service.h"
#include "midi_ports.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Acts on the settings dialog once its modal loop runs; any other window is
// closed so that the test fails instead of hanging.
void WhenShown(std::function<void(TfrmSettings&)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<TfrmSettings*>(modal)) {
            act(*dialog);
            return;
        }
        ADD_FAILURE() << "the settings dialog is not shown";
        if (modal)
            modal->close();
    });
}

QStringList Items(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

class MidiSettings : public ::testing::Test {
protected:
    void SetUp() override {
        midi.inputNames = {"USB Keys", "Mopho In", "USB Keys"};
        midi.outputNames = {"Mopho Out", "Synth Out"};
    }
    // Ports as the program has them after start-up.
    void OpenPorts() {
        ports.EnumerateMidiDevices();
        ports.ResolveMidiDevices();
        ASSERT_TRUE(ports.OpenMidiOut());
        ports.OpenMidiIns();
    }

    FakeMidiService midi;
    std::vector<std::string> shown;
    MidiPorts ports{midi, {[this](const std::string& s) { shown.push_back(s); }, {}}};
};

TEST_F(MidiSettings, ListsTheDevicesAndSelectsThePortsInUse) {
    ports.MidiInDeviceName = " Mopho In ";
    ports.MidiOutDeviceName = "Synth Out";
    ports.ControllerInDeviceName = "USB Keys";
    OpenPorts();
    EXPECT_EQ(ports.ControllerInDevice, 2) << "a later match wins";

    WhenShown([](TfrmSettings& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Settings");
        EXPECT_EQ(dialog.grpMidi->title(), "Midi");
        EXPECT_EQ(Items(dialog.cmbMidiIns), QStringList({"USB Keys", "Mopho In", "USB Keys"}));
        EXPECT_EQ(Items(dialog.cmbMidiController), Items(dialog.cmbMidiIns));
        EXPECT_EQ(Items(dialog.cmbMidiOut), QStringList({"Mopho Out", "Synth Out"}));
        EXPECT_EQ(dialog.cmbMidiIns->currentIndex(), 1) << "trimmed names compared";
        EXPECT_EQ(dialog.cmbMidiOut->currentIndex(), 1);
        EXPECT_EQ(dialog.cmbMidiController->currentIndex(), 2);
        EXPECT_EQ(dialog.cmbDeviceID->count(), 128);
        EXPECT_EQ(dialog.cmbDeviceID->itemText(126), "126");
        EXPECT_EQ(dialog.cmbDeviceID->currentText(), "0");
        dialog.brnCancel->click();
    });
    EXPECT_FALSE(ShowMidiSettings(nullptr, ports));
}

TEST_F(MidiSettings, ControllerListShowsTheDeviceNumberInUse) {
    ports.ControllerInDeviceName = "USB Keys";
    ports.EnumerateMidiDevices();
    ports.ControllerInDevice = 1; // in use, although the name matches another
    TfrmSettings dialog;
    dialog.LoadPorts(ports);
    EXPECT_EQ(dialog.cmbMidiController->currentIndex(), 1);
}

TEST_F(MidiSettings, AVanishedNameLeavesItsListWithoutASelection) {
    ports.MidiInDeviceName = "Unplugged In";
    ports.MidiOutDeviceName = "Unplugged Out";
    ports.ControllerInDeviceName = "Unplugged Keys";
    OpenPorts();
    TfrmSettings dialog;
    dialog.LoadPorts(ports);
    EXPECT_EQ(dialog.cmbMidiIns->currentIndex(), -1);
    EXPECT_EQ(dialog.cmbMidiOut->currentIndex(), -1);
    EXPECT_EQ(dialog.cmbMidiController->currentText(), "USB Keys") << "device 0, in use";

    // OK without choosing keeps the stored names of those lists.
    dialog.StorePorts(ports);
    EXPECT_EQ(ports.MidiInDeviceName, "Unplugged In");
    EXPECT_EQ(ports.MidiOutDeviceName, "Unplugged Out");
    EXPECT_EQ(ports.ControllerInDeviceName, "USB Keys");
}

TEST_F(MidiSettings, DeviceID127ShowsAsBroadcastAndOkLeavesTheIDAlone) {
    ports.MophoDeviceID = 127;
    OpenPorts();
    WhenShown([](TfrmSettings& dialog) {
        EXPECT_EQ(dialog.cmbDeviceID->currentText(), "Broadcast");
        dialog.cmbDeviceID->setCurrentIndex(5);
        dialog.btnOk->click();
    });
    EXPECT_TRUE(ShowMidiSettings(nullptr, ports));
    EXPECT_EQ(ports.MophoDeviceID, 127);
}

TEST_F(MidiSettings, CancelAfterChangingEveryListChangesNothing) {
    ports.MidiInDeviceName = "Mopho In";
    ports.MidiOutDeviceName = "Mopho Out";
    OpenPorts();
    const auto outputsBefore = midi.openOutputs;
    WhenShown([](TfrmSettings& dialog) {
        dialog.cmbMidiIns->setCurrentIndex(0);
        dialog.cmbMidiOut->setCurrentIndex(1);
        dialog.cmbMidiController->setCurrentIndex(2);
        dialog.cmbDeviceID->setCurrentIndex(9);
        dialog.brnCancel->click();
    });
    bool reopened = false;
    EXPECT_FALSE(ShowMidiSettings(nullptr, ports, 0, [&] { reopened = true; }));
    EXPECT_FALSE(reopened);
    EXPECT_EQ(ports.MidiInDeviceName, "Mopho In");
    EXPECT_EQ(ports.MidiOutDeviceName, "Mopho Out");
    EXPECT_EQ(ports.ControllerInDeviceName, "");
    EXPECT_EQ(midi.openOutputs, outputsBefore) << "the same output handle stays open";
    EXPECT_EQ(ports.MidiInDevice, 1);
}

TEST_F(MidiSettings, OkStoresTheNamesAsShownAndReopensThePorts) {
    midi.inputNames = {" Keys ", "Mopho In"};
    midi.outputNames = {"Mopho Out", " Synth Out "};
    ports.MidiInDeviceName = "Mopho In";
    OpenPorts();
    bool notesEnded = false;
    WhenShown([](TfrmSettings& dialog) {
        dialog.cmbMidiOut->setCurrentIndex(1);
        dialog.cmbMidiController->setCurrentIndex(0);
        dialog.btnOk->click();
    });
    EXPECT_TRUE(ShowMidiSettings(nullptr, ports, 0, [&] {
        notesEnded = ports.MidiOutDevice == 0 && ports.MidiOutOpen(); // still the old output
    }));
    EXPECT_TRUE(notesEnded);
    EXPECT_EQ(ports.MidiOutDeviceName, " Synth Out ") << "untrimmed";
    EXPECT_EQ(ports.ControllerInDeviceName, " Keys ");
    EXPECT_EQ(ports.MidiOutDevice, 1);
    EXPECT_EQ(ports.ControllerInDevice, 0);
    ASSERT_EQ(midi.openOutputs.size(), 1u);
    EXPECT_EQ(midi.openOutputs.begin()->second, 1);
    EXPECT_TRUE(ports.MidiInOpen());
    EXPECT_TRUE(ports.ControllerInOpen());
    EXPECT_TRUE(shown.empty());
}

TEST_F(MidiSettings, APortPluggedInAfterStartIsListed) {
    OpenPorts();
    midi.outputNames.push_back("New Interface");
    WhenShown([](TfrmSettings& dialog) {
        EXPECT_EQ(dialog.cmbMidiOut->itemText(2), "New Interface");
        dialog.cmbMidiOut->setCurrentIndex(2);
        dialog.btnOk->click();
    });
    EXPECT_TRUE(ShowMidiSettings(nullptr, ports));
    EXPECT_EQ(ports.MidiOutDevice, 2);
}

TEST_F(MidiSettings, OkWithEmptyListsKeepsTheNames) {
    midi.inputNames.clear();
    ports.MidiInDeviceName = "Mopho In";
    ports.ControllerInDeviceName = "Keys";
    ports.MidiOutDeviceName = "Mopho Out";
    OpenPorts();
    WhenShown([](TfrmSettings& dialog) {
        EXPECT_EQ(dialog.cmbMidiIns->count(), 0);
        EXPECT_EQ(dialog.cmbMidiController->currentIndex(), -1);
        dialog.btnOk->click();
    });
    EXPECT_TRUE(ShowMidiSettings(nullptr, ports));
    EXPECT_EQ(ports.MidiInDeviceName, "Mopho In");
    EXPECT_EQ(ports.ControllerInDeviceName, "Keys");
    EXPECT_EQ(ports.MidiOutDeviceName, "Mopho Out");
    EXPECT_TRUE(ports.MidiOutOpen());
    EXPECT_FALSE(ports.MidiInOpen());
}

// The chosen output will not open: the program goes on with the built-in
// instrument's output, found where it is listed now.
TEST(MidiSettingsFallback, AnOutputThatFailsLeavesTheBuiltInInstrument) {
    auto platform = std::make_unique<FakeMidiService>();
    FakeMidiService& fake = *platform;
    fake.outputNames = {"Mopho Out"};
    auto midi = MakeBuiltInInstrumentService(std::move(platform));
    std::vector<std::string> shown;
    MidiPorts ports(*midi, {[&](const std::string& s) { shown.push_back(s); }, {}});
    ports.MidiOutDeviceName = "Mopho Out";
    ports.EnumerateMidiDevices();
    ports.ResolveMidiDevices();
    ASSERT_TRUE(ports.OpenMidiOut());

    fake.outputNames.insert(fake.outputNames.begin(), "Plugged Later");
    fake.failOutputOpen = true;
    WhenShown([](TfrmSettings& dialog) {
        EXPECT_EQ(dialog.cmbMidiOut->itemText(2), BuiltInInstrumentService::DeviceName);
        dialog.cmbMidiOut->setCurrentIndex(0);
        dialog.btnOk->click();
    });
    EXPECT_TRUE(ShowMidiSettings(nullptr, ports));
    EXPECT_EQ(shown, std::vector<std::string>{"Midi Open error"});
    EXPECT_EQ(ports.MidiOutDevice, 2);
    EXPECT_TRUE(ports.MidiOutOpen());
    EXPECT_EQ(ports.MidiOutDeviceName, "Plugged Later");
}

} // namespace
