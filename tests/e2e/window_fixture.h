#pragma once

// The main window on the stand-in's ports over JACK, for the end-to-end tests
// of the program's commands.

#include "../app/scripted_dialogs.h"
#include "../support/main_window_probes.h"
#include "../support/program_folder.h"
#include "e2e_fixture.h"

#include "builtin_instrument_service.h"
#include "main_window.h"
#include "rtmidi_service.h"

#include <QTemporaryDir>

#include <fstream>
#include <memory>

namespace e2e {

class WindowOverJack : public VirtualMophoOverJack {
protected:
    // The window on the instrument's ports, chosen by name in the settings
    // file as a musician's earlier choice would have left them; none when the
    // server lists no such ports. The program keeps its own pace (SendDelay
    // 300 ms): a shorter one once hid faults. `moreSettings` are lines added
    // to the settings file's [Midi] section.
    std::unique_ptr<TfrmMain> OpenWindow(const std::string& moreSettings = {}) {
        midi_ = MakeBuiltInInstrumentService(
            std::make_unique<RtMidiService>(RtMidiService::Backend::Jack, name_ + "-app"));
        const std::string settings = MidiSettingsChoosing(*midi_, name_);
        if (settings.empty())
            return nullptr;
        std::ofstream(programFolder_.filePath("dsi_mopho.ini").toStdString())
            << settings << moreSettings;
        return std::make_unique<TfrmMain>(&prompter_, &chooser_, midi_.get());
    }

    // JACK connects the ports a cycle or two after they open: an answered
    // version shows that both connections carry messages.
    static bool WaitUntilConnected(TfrmMain& window) { return !AskDeviceVersion(window).isEmpty(); }

    // Closes the window and its ports; bytes still on their way are delivered first.
    void CloseWindow(std::unique_ptr<TfrmMain>& window) {
        window.reset();
        midi_.reset();
    }

    QTemporaryDir programFolder_;
    ScopedProgramFolder folderChoice_{programFolder_.path()};
    ScriptedPrompter prompter_;
    ScriptedFileChooser chooser_;
    std::unique_ptr<BuiltInInstrumentService> midi_;
};

} // namespace e2e
