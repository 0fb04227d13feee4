// The program's main window (offscreen) on real MIDI ports: JACK, with
// tonewright-virtual-mopho as the instrument.

#include "../support/main_window_probes.h"
#include "../support/program_folder.h"
#include "e2e_fixture.h"

#include "../app/scripted_dialogs.h"

#include "builtin_instrument_service.h"
#include "main_window.h"
#include "message_memo.h"
#include "midi_ports.h"
#include "rtmidi_service.h"

#include <QAction>
#include <QTemporaryDir>

namespace {

using namespace e2e;

class ProgramOverJack : public VirtualMophoOverJack {
protected:
    // The settings a musician's earlier choice left: the instrument's ports by
    // the names the port dialog lists.
    void ChooseInstrumentPorts(MidiService& midi) {
        const std::string settings = MidiSettingsChoosing(midi, name_);
        ASSERT_FALSE(settings.empty());
        WriteSettings(settings);
    }
    void WriteSettings(const std::string& text) {
        std::ofstream(programFolder_.filePath("dsi_mopho.ini").toStdString()) << text;
    }

    QTemporaryDir programFolder_;
    ScopedProgramFolder folderChoice_{programFolder_.path()};
};

TEST_F(ProgramOverJack, DeviceVersionComesFromTheChosenInstrument) {
    auto instrument = Start({"--version", "2.7"});
    auto midi = MakeBuiltInInstrumentService(
        std::make_unique<RtMidiService>(RtMidiService::Backend::Jack, name_ + "-app"));
    ChooseInstrumentPorts(*midi);
    {
        TfrmMain window(nullptr, nullptr, midi.get());
        ASSERT_FALSE(window.MidiOpenFailed());
        EXPECT_EQ(AskDeviceVersion(window), "Software version: 2.7")
            << MemoLines(window).join(QStringLiteral(" / ")).toStdString();
    }
    EXPECT_EQ(instrument->Stop(), 0);
}

TEST_F(ProgramOverJack, StartsWhenTheStoredPortIsGone) {
    auto instrument = Start({});
    auto midi = MakeBuiltInInstrumentService(
        std::make_unique<RtMidiService>(RtMidiService::Backend::Jack, name_ + "-app"));
    WriteSettings("[Midi]\nMidiOutDeviceID=a port unplugged long ago\n");
    ScriptedPrompter prompter;
    ScriptedFileChooser files;
    {
        // Said once, then the built-in instrument plays until the port is back.
        TfrmMain window(&prompter, &files, midi.get());
        EXPECT_FALSE(window.MidiOpenFailed());
        EXPECT_EQ(prompter.messages, QStringList{"Midi Open error"});
        EXPECT_EQ(window.Ports().MidiOutInUse(), BuiltInInstrumentService::DeviceName);
    }
    EXPECT_EQ(instrument->Stop(), 0);
}

} // namespace
