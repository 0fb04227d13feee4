// The MIDI settings dialog on real ports (JACK, offscreen main window): the
// ports a musician picks by name are the ones the program then talks to.

#include "../support/main_window_probes.h"
#include "../support/modal_window.h"
#include "../support/program_folder.h"
#include "e2e_fixture.h"

#include "../app/scripted_dialogs.h"

#include "builtin_instrument_service.h"
#include "frm_settings.h"
#include "main_window.h"
#include "message_memo.h"
#include "midi_ports.h"
#include "rtmidi_service.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <thread>

namespace {

using namespace e2e;

class SettingsDialogOverJack : public VirtualMophoOverJack {
protected:
    void SetUp() override {
        VirtualMophoOverJack::SetUp();
        // The program starts on the built-in instrument.
        std::ofstream(programFolder_.filePath("dsi_mopho.ini").toStdString())
            << "[Midi]\nMidiInDeviceID=Tonewright Virtual Mopho\n"
               "MidiOutDeviceID=Tonewright Virtual Mopho\n";
        midi_ = MakeBuiltInInstrumentService(
            std::make_unique<RtMidiService>(RtMidiService::Backend::Jack, name_ + "-app"));
    }

    // The instrument's ports are listed as "client:port", the port named after
    // the instrument (JACK may add "-01" to the second client's name).
    QString InstrumentPort() const { return QString::fromStdString(":" + name_); }

    // Picks the entry whose name ends with `name` in a list of the dialog.
    static void Choose(QComboBox* list, const QString& name) {
        const int index = list->findText(name, Qt::MatchEndsWith);
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        ASSERT_GE(index, 0) << name.toStdString() << " is not listed in "
                            << items.join(" | ").toStdString();
        list->setCurrentIndex(index);
    }

    // Runs "Midi &Settings ..." and presses OK after `choose`.
    void ChooseInDialog(TfrmMain& window, std::function<void(TfrmSettings&)> choose) {
        WhenShown<TfrmSettings>([choose](TfrmSettings& dialog) {
            choose(dialog);
            dialog.btnOk->click();
        });
        EXPECT_TRUE(ShowMidiSettings(&window, window.Ports()));
    }

    QTemporaryDir programFolder_;
    ScopedProgramFolder folderChoice_{programFolder_.path()};
    ScriptedPrompter prompter_;
    ScriptedFileChooser files_;
    std::unique_ptr<BuiltInInstrumentService> midi_;
};

TEST_F(SettingsDialogOverJack, ChosenPortsAnswerDeviceVersion) {
    auto instrument = Start({"--version", "2.6"});
    {
        TfrmMain window(&prompter_, &files_, midi_.get());
        ASSERT_FALSE(window.MidiOpenFailed());
        const QString builtIn = AskDeviceVersion(window);
        ASSERT_FALSE(builtIn.isEmpty());
        ASSERT_NE(builtIn, "Software version: 2.6") << "the built-in instrument answers first";

        ChooseInDialog(window, [this](TfrmSettings& dialog) {
            Choose(dialog.cmbMidiIns, InstrumentPort());
            Choose(dialog.cmbMidiOut, InstrumentPort());
        });
        EXPECT_TRUE(window.Ports().MidiInDeviceName().ends_with(":" + name_));
        EXPECT_TRUE(window.Ports().MidiOutDeviceName().ends_with(":" + name_));
        EXPECT_EQ(AskDeviceVersion(window), "Software version: 2.6");
        EXPECT_TRUE(prompter_.messages.isEmpty()) << prompter_.messages.join('\n').toStdString();

        // With its ports open on the server ("<client>:<client> in" and
        // "... out"), the program does not offer them to itself.
        WhenShown<TfrmSettings>([](TfrmSettings& dialog) {
            for (QComboBox* list : {dialog.cmbMidiIns, dialog.cmbMidiOut, dialog.cmbMidiController})
                for (int i = 0; i < list->count(); ++i) {
                    const QString item = list->itemText(i);
                    EXPECT_FALSE(item.endsWith(" in") || item.endsWith(" out"))
                        << item.toStdString();
                }
            dialog.brnCancel->click();
        });
        EXPECT_FALSE(ShowMidiSettings(&window, window.Ports()));
    }
    EXPECT_EQ(instrument->Stop(), 0);
}

TEST_F(SettingsDialogOverJack, ControllerNoteReachesTheInstrument) {
    const fs::path logFile = folder_ / "received.log";
    auto instrument = Start({"--log", logFile.string()});
    const std::string keysClient = "tw-keys-" + std::to_string(getpid());
    RtMidiOut keyboard(RtMidi::UNIX_JACK, keysClient);
    keyboard.openVirtualPort("keyboard");
    {
        TfrmMain window(&prompter_, &files_, midi_.get());
        ASSERT_FALSE(window.MidiOpenFailed());
        ChooseInDialog(window, [&](TfrmSettings& dialog) {
            Choose(dialog.cmbMidiIns, InstrumentPort());
            Choose(dialog.cmbMidiOut, InstrumentPort());
            Choose(dialog.cmbMidiController, QStringLiteral(":keyboard"));
        });
        ASSERT_TRUE(window.Ports().ControllerInOpen());

        EXPECT_TRUE(PlayUntilHeard(keyboard, logFile, {0x92, 0x3C, 0x64}));
    }
    EXPECT_EQ(instrument->Stop(), 0);
    // Every note that arrived is the one played, unchanged.
    for (const std::string& line : ReadLines(logFile)) {
        if (line.starts_with('8') || line.starts_with('9')) {
            EXPECT_EQ(line, "92 3C 64");
        }
    }
}

} // namespace
