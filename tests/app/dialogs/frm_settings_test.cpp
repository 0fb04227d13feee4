#include "frm_settings.h"
#include "support/named_child.h"

#include "app/scripted_dialogs.h"
#include "builtin_instrument_service.h"
#include "main_window.h"
#include "message_memo.h"
#include "midi/fake_midi_service.h"
#include "midi_ports.h"
#include "support/main_window_probes.h"
#include "support/modal_window.h"
#include "support/program_folder.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

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
    ports.SetMidiInDeviceName(" Mopho In ");
    ports.SetMidiOutDeviceName("Synth Out");
    ports.SetControllerInDeviceName("USB Keys");
    OpenPorts();
    EXPECT_EQ(ports.ControllerInDevice(), 2) << "a later match wins";

    WhenShown<TfrmSettings>([](TfrmSettings& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Settings");
        EXPECT_EQ(dialog.grpMidi->title(), "Midi");
        EXPECT_EQ(Items(dialog.cmbMidiIns), QStringList({"USB Keys", "Mopho In", "USB Keys"}));
        EXPECT_EQ(Items(dialog.cmbMidiController), QStringList{"None"} + Items(dialog.cmbMidiIns));
        EXPECT_EQ(Items(dialog.cmbMidiOut), QStringList({"Mopho Out", "Synth Out"}));
        EXPECT_EQ(dialog.cmbMidiIns->currentIndex(), 1) << "trimmed names compared";
        EXPECT_EQ(dialog.cmbMidiOut->currentIndex(), 1);
        EXPECT_EQ(dialog.cmbMidiController->currentIndex(), 3);
        EXPECT_FALSE(dialog.lblMidiOutInUse->isVisibleTo(&dialog)) << "the chosen output is open";
        EXPECT_EQ(dialog.cmbDeviceID->count(), 128);
        EXPECT_EQ(dialog.cmbDeviceID->itemText(126), "126");
        EXPECT_EQ(dialog.cmbDeviceID->currentText(), "0");
        dialog.brnCancel->click();
    });
    EXPECT_FALSE(ShowMidiSettings(nullptr, ports));
}

// No controller unless one is chosen: the first input is often the Mopho's
// own, and its messages would go straight back to it.
TEST_F(MidiSettings, NoneIsTheDefaultControllerAndIsStoredAsAnEmptyName) {
    ports.SetMidiInDeviceName("Mopho In");
    OpenPorts();
    EXPECT_FALSE(ports.ControllerInOpen());
    midi.Feed(0, {0x90, 60, 127});
    EXPECT_TRUE(midi.sent.empty()) << "nothing passed thru";

    WhenShown<TfrmSettings>([](TfrmSettings& dialog) {
        EXPECT_EQ(dialog.cmbMidiController->currentText(), "None");
        dialog.cmbMidiController->setCurrentIndex(1);
        dialog.btnOk->click();
    });
    EXPECT_TRUE(ShowMidiSettings(nullptr, ports));
    EXPECT_EQ(ports.ControllerInDeviceName(), "USB Keys");
    EXPECT_TRUE(ports.ControllerInOpen());

    WhenShown<TfrmSettings>([](TfrmSettings& dialog) {
        EXPECT_EQ(dialog.cmbMidiController->currentIndex(), 3) << "the last of the name";
        dialog.cmbMidiController->setCurrentIndex(TfrmSettings::NoControllerEntry);
        dialog.btnOk->click();
    });
    EXPECT_TRUE(ShowMidiSettings(nullptr, ports));
    EXPECT_EQ(ports.ControllerInDeviceName(), "");
    EXPECT_FALSE(ports.ControllerInOpen());
}

TEST_F(MidiSettings, ChoosingTheMophoInputAsControllerIsWarnedOf) {
    ports.SetMidiInDeviceName("Mopho In");
    OpenPorts();
    TfrmSettings dialog;
    dialog.LoadPorts(ports);
    EXPECT_FALSE(dialog.lblControllerWarning->isVisibleTo(&dialog));
    dialog.cmbMidiController->setCurrentIndex(2); // "Mopho In"
    EXPECT_TRUE(dialog.lblControllerWarning->isVisibleTo(&dialog));
    dialog.cmbMidiIns->setCurrentIndex(0);
    EXPECT_FALSE(dialog.lblControllerWarning->isVisibleTo(&dialog));
    dialog.cmbMidiController->setCurrentIndex(3); // the other "USB Keys": the same name
    EXPECT_TRUE(dialog.lblControllerWarning->isVisibleTo(&dialog));
}

TEST(MidiSettingsRules, ControllerLoopsBackOnlyOnTheMophoInput) {
    EXPECT_TRUE(ControllerLoopsBack("Mopho In", " Mopho In "));
    EXPECT_FALSE(ControllerLoopsBack("USB Keys", "Mopho In"));
    EXPECT_FALSE(ControllerLoopsBack("", "")) << "None";
    EXPECT_FALSE(ControllerLoopsBack("mopho in", "Mopho In"));
}

TEST(MidiSettingsRules, OutputInUseNoteOnlyWhenNotTheChosenOne) {
    EXPECT_EQ(OutputInUseNote("Mopho Out ", true, "Mopho Out"), "");
    EXPECT_EQ(OutputInUseNote("Mopho Out", true, "Tonewright Virtual Mopho"),
              "In use: Tonewright Virtual Mopho (Mopho Out cannot be opened)");
    EXPECT_EQ(OutputInUseNote("", true, "Midi Through"), "In use: Midi Through");
    EXPECT_EQ(OutputInUseNote("Mopho Out", false, ""),
              "No output is open (Mopho Out cannot be opened)");
}

TEST_F(MidiSettings, AVanishedNameLeavesItsListWithoutASelection) {
    ports.SetMidiInDeviceName("Unplugged In");
    ports.SetMidiOutDeviceName("Unplugged Out");
    ports.SetControllerInDeviceName("Unplugged Keys");
    OpenPorts();
    TfrmSettings dialog;
    dialog.LoadPorts(ports);
    EXPECT_EQ(dialog.cmbMidiIns->currentIndex(), -1);
    EXPECT_EQ(dialog.cmbMidiOut->currentIndex(), -1);
    EXPECT_EQ(dialog.cmbMidiController->currentIndex(), -1);
    EXPECT_FALSE(ports.ControllerInOpen()) << "no other device stands in for the controller";

    // OK without choosing keeps the stored names of those lists.
    dialog.StorePorts(ports);
    EXPECT_EQ(ports.MidiInDeviceName(), "Unplugged In");
    EXPECT_EQ(ports.MidiOutDeviceName(), "Unplugged Out");
    EXPECT_EQ(ports.ControllerInDeviceName(), "Unplugged Keys");
}

TEST_F(MidiSettings, DeviceID127ShowsAsBroadcastAndOkStoresTheChoice) {
    ports.SetMophoDeviceID(127);
    OpenPorts();
    WhenShown<TfrmSettings>([](TfrmSettings& dialog) {
        EXPECT_EQ(dialog.cmbDeviceID->currentText(), "Broadcast");
        dialog.cmbDeviceID->setCurrentIndex(5);
        dialog.btnOk->click();
    });
    EXPECT_TRUE(ShowMidiSettings(nullptr, ports));
    EXPECT_EQ(ports.MophoDeviceID(), 5);
}

TEST_F(MidiSettings, CancelAfterChangingEveryListChangesNothing) {
    ports.SetMidiInDeviceName("Mopho In");
    ports.SetMidiOutDeviceName("Mopho Out");
    OpenPorts();
    const auto outputsBefore = midi.openOutputs;
    WhenShown<TfrmSettings>([](TfrmSettings& dialog) {
        dialog.cmbMidiIns->setCurrentIndex(0);
        dialog.cmbMidiOut->setCurrentIndex(1);
        dialog.cmbMidiController->setCurrentIndex(2);
        dialog.cmbDeviceID->setCurrentIndex(9);
        dialog.brnCancel->click();
    });
    bool reopened = false;
    EXPECT_FALSE(ShowMidiSettings(nullptr, ports, 0, [&] { reopened = true; }));
    EXPECT_FALSE(reopened);
    EXPECT_EQ(ports.MidiInDeviceName(), "Mopho In");
    EXPECT_EQ(ports.MidiOutDeviceName(), "Mopho Out");
    EXPECT_EQ(ports.ControllerInDeviceName(), "");
    EXPECT_EQ(midi.openOutputs, outputsBefore) << "the same output handle stays open";
    EXPECT_EQ(ports.MidiInDevice(), 1);
}

TEST_F(MidiSettings, OkStoresTheNamesAsShownAndReopensThePorts) {
    midi.inputNames = {" Keys ", "Mopho In"};
    midi.outputNames = {"Mopho Out", " Synth Out "};
    ports.SetMidiInDeviceName("Mopho In");
    OpenPorts();
    bool notesEnded = false;
    WhenShown<TfrmSettings>([](TfrmSettings& dialog) {
        dialog.cmbMidiOut->setCurrentIndex(1);
        dialog.cmbMidiController->setCurrentIndex(1);
        dialog.btnOk->click();
    });
    EXPECT_TRUE(ShowMidiSettings(nullptr, ports, 0, [&] {
        notesEnded = ports.MidiOutDevice() == 0 && ports.MidiOutOpen(); // still the old output
    }));
    EXPECT_TRUE(notesEnded);
    EXPECT_EQ(ports.MidiOutDeviceName(), " Synth Out ") << "untrimmed";
    EXPECT_EQ(ports.ControllerInDeviceName(), " Keys ");
    EXPECT_EQ(ports.MidiOutDevice(), 1);
    EXPECT_EQ(ports.ControllerInDevice(), 0);
    ASSERT_EQ(midi.openOutputs.size(), 1u);
    EXPECT_EQ(midi.openOutputs.begin()->second, 1);
    EXPECT_TRUE(ports.MidiInOpen());
    EXPECT_TRUE(ports.ControllerInOpen());
    EXPECT_TRUE(shown.empty());
}

TEST_F(MidiSettings, APortPluggedInAfterStartIsListed) {
    OpenPorts();
    midi.outputNames.push_back("New Interface");
    WhenShown<TfrmSettings>([](TfrmSettings& dialog) {
        EXPECT_EQ(dialog.cmbMidiOut->itemText(2), "New Interface");
        dialog.cmbMidiOut->setCurrentIndex(2);
        dialog.btnOk->click();
    });
    EXPECT_TRUE(ShowMidiSettings(nullptr, ports));
    EXPECT_EQ(ports.MidiOutDevice(), 2);
}

TEST_F(MidiSettings, OkWithEmptyListsKeepsTheNames) {
    midi.inputNames.clear();
    ports.SetMidiInDeviceName("Mopho In");
    ports.SetControllerInDeviceName("Keys");
    ports.SetMidiOutDeviceName("Mopho Out");
    OpenPorts();
    WhenShown<TfrmSettings>([](TfrmSettings& dialog) {
        EXPECT_EQ(dialog.cmbMidiIns->count(), 0);
        EXPECT_EQ(dialog.cmbMidiController->currentIndex(), -1);
        dialog.btnOk->click();
    });
    EXPECT_TRUE(ShowMidiSettings(nullptr, ports));
    EXPECT_EQ(ports.MidiInDeviceName(), "Mopho In");
    EXPECT_EQ(ports.ControllerInDeviceName(), "Keys");
    EXPECT_EQ(ports.MidiOutDeviceName(), "Mopho Out");
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
    ports.SetMidiOutDeviceName("Mopho Out");
    ports.EnumerateMidiDevices();
    ports.ResolveMidiDevices();
    ASSERT_TRUE(ports.OpenMidiOut());

    fake.outputNames.insert(fake.outputNames.begin(), "Plugged Later");
    fake.failOutputOpen = true;
    WhenShown<TfrmSettings>([](TfrmSettings& dialog) {
        EXPECT_EQ(dialog.cmbMidiOut->itemText(2), BuiltInInstrumentService::DeviceName);
        dialog.cmbMidiOut->setCurrentIndex(0);
        dialog.btnOk->click();
    });
    EXPECT_TRUE(ShowMidiSettings(nullptr, ports));
    EXPECT_EQ(shown, std::vector<std::string>{"Midi Open error"});
    EXPECT_EQ(ports.MidiOutDevice(), 2);
    EXPECT_TRUE(ports.MidiOutOpen());
    EXPECT_EQ(ports.MidiOutDeviceName(), "Plugged Later");

    // Opened again, the dialog says which output is really in use.
    WhenShown<TfrmSettings>([](TfrmSettings& dialog) {
        EXPECT_EQ(dialog.cmbMidiOut->currentText(), "Plugged Later");
        EXPECT_TRUE(dialog.lblMidiOutInUse->isVisibleTo(&dialog));
        EXPECT_EQ(dialog.lblMidiOutInUse->text(),
                  "In use: Tonewright Virtual Mopho (Plugged Later cannot be opened)");
        dialog.brnCancel->click();
    });
    EXPECT_FALSE(ShowMidiSettings(nullptr, ports));
}

// The program on a platform with one interface, its settings in a folder of
// the test's own.
class MidiStartUp : public ::testing::Test {
protected:
    void SetUp() override {
        auto platform = std::make_unique<FakeMidiService>();
        fake = platform.get();
        fake->inputNames = {"USB Keys", "Mopho In"};
        fake->outputNames = {"Mopho Out"};
        midi = MakeBuiltInInstrumentService(std::move(platform));
    }
    void WriteSettings(const QByteArray& text) {
        QFile file(QDir(folder.path()).filePath("dsi_mopho.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray SettingsText() {
        QFile file(QDir(folder.path()).filePath("dsi_mopho.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir folder;
    ScopedProgramFolder folderChoice{folder.path()};
    ScriptedPrompter prompter;
    ScriptedFileChooser files;
    FakeMidiService* fake = nullptr;
    std::unique_ptr<BuiltInInstrumentService> midi;
};

// The interface chosen last time is busy or unplugged: the program starts on
// the built-in instrument, says so, and keeps the name for the next start.
TEST_F(MidiStartUp, AnOutputThatCannotBeOpenedFallsBackToTheBuiltInInstrument) {
    for (const bool unplugged : {false, true}) {
        SCOPED_TRACE(unplugged ? "unplugged" : "busy");
        WriteSettings("[Midi]\nMidiOutDeviceID=Mopho Out\nMidiInDeviceID=Mopho In\n");
        fake->outputNames = unplugged ? std::vector<std::string>{"Other Synth"}
                                      : std::vector<std::string>{"Mopho Out"};
        fake->failOutputOpen = !unplugged;
        prompter.messages.clear();
        {
            TfrmMain window(&prompter, &files, midi.get());
            EXPECT_FALSE(window.MidiOpenFailed());
            EXPECT_EQ(prompter.messages, QStringList{"Midi Open error"});
            EXPECT_TRUE(MemoLines(window).contains(
                "Midi Open error: Mopho Out cannot be opened; using Tonewright Virtual Mopho "
                "until it is back"));
            EXPECT_TRUE(window.Ports().MidiOutOpen());
            EXPECT_EQ(window.Ports().MidiOutInUse(), BuiltInInstrumentService::DeviceName);
            EXPECT_TRUE(window.Ports().MidiInOpen());
            window.close();
        }
        EXPECT_TRUE(SettingsText().contains("MidiOutDeviceID=Mopho Out")) << "the name stays";
    }

    // Back again: the next start uses it, without a word.
    fake->outputNames = {"Mopho Out"};
    fake->failOutputOpen = false;
    prompter.messages.clear();
    TfrmMain window(&prompter, &files, midi.get());
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(window.Ports().MidiOutInUse(), "Mopho Out");
}

TEST_F(MidiStartUp, OkWritesTheSettingsAtOnce) {
    TfrmMain window(&prompter, &files, midi.get());
    EXPECT_FALSE(window.Ports().ControllerInOpen()) << "no controller on a first start";
    WhenShown<TfrmSettings>([](TfrmSettings& dialog) {
        dialog.cmbMidiIns->setCurrentIndex(1);
        dialog.cmbMidiOut->setCurrentIndex(0);
        dialog.cmbMidiController->setCurrentIndex(1);
        dialog.cmbDeviceID->setCurrentIndex(3);
        dialog.btnOk->click();
    });
    Named<QAction>(window, "actMidiSettings")->trigger();
    const QByteArray text = SettingsText();
    EXPECT_TRUE(text.contains("MophoDeviceID=3")) << text.toStdString();
    EXPECT_TRUE(text.contains("MidiInDeviceID=Mopho In"));
    EXPECT_TRUE(text.contains("MidiOutDeviceID=Mopho Out"));
    EXPECT_TRUE(text.contains("MidiInDeviceIDKeyboard=USB Keys"));
    EXPECT_FALSE(window.SettingsSaved()) << "the close still writes the file";
}

// A first start plays the built-in instrument, not the first output listed,
// and offers the MIDI settings once with a word on what it is for.
TEST_F(MidiStartUp, AFirstStartOffersTheSettingsAndCancelKeepsTheBuiltInInstrument) {
    {
        TfrmMain window(&prompter, &files, midi.get());
        ASSERT_TRUE(window.FirstStart());
        EXPECT_EQ(window.Ports().MidiOutInUse(), BuiltInInstrumentService::DeviceName);
        QString introduction;
        WhenShown<TfrmSettings>([&](TfrmSettings& dialog) {
            if (!dialog.lblIntroduction->isHidden())
                introduction = dialog.lblIntroduction->text();
            dialog.brnCancel->click();
        });
        window.OfferMidiSettingsOnFirstStart();
        EXPECT_TRUE(introduction.contains("\"Tonewright Virtual Mopho\" is there to try the "
                                          "program without an instrument"))
            << introduction.toStdString();
        EXPECT_EQ(window.Ports().MidiOutInUse(), BuiltInInstrumentService::DeviceName);
        window.close();
    }
    EXPECT_TRUE(SettingsText().contains("MidiOutDeviceID=Tonewright Virtual Mopho"));
    TfrmMain again(&prompter, &files, midi.get());
    EXPECT_FALSE(again.FirstStart());
}

} // namespace
