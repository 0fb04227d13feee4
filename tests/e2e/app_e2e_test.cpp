// The program's main window (offscreen) on real MIDI ports: JACK, with
// tonewright-virtual-mopho as the instrument.

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
        std::string in;
        std::string out;
        for (int device = 0; device < midi.InputDeviceCount(); ++device)
            if (midi.InputDeviceName(device).find(name_) != std::string::npos)
                in = midi.InputDeviceName(device);
        for (int device = 0; device < midi.OutputDeviceCount(); ++device)
            if (midi.OutputDeviceName(device).find(name_) != std::string::npos)
                out = midi.OutputDeviceName(device);
        ASSERT_FALSE(in.empty());
        ASSERT_FALSE(out.empty());
        WriteSettings("[Midi]\nMidiInDeviceID=" + in + "\nMidiOutDeviceID=" + out + "\n");
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
        // The ports need a cycle or two to connect; the first ask may go unheard.
        for (int attempt = 0; attempt < 5; ++attempt) {
            window.actDeviceVersion->trigger();
            if (window.Memo1->Lines().last().startsWith("Software version"))
                break;
        }
        EXPECT_EQ(window.Memo1->Lines().last(), "Software version: 2.7")
            << window.Memo1->Lines().join(QStringLiteral(" / ")).toStdString();
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
