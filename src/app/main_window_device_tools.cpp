// The main window's commands for the sound tools that need no sound editor:
// "Copy Sound" and the instrument's "Global settings".

#include "main_window.h"
#include "prompter.h"

#include "frm_copy_sounds.h"
#include "frm_global.h"
#include "instrument_exchange.h"
#include "midi_ports.h"

#include <QAction>
#include <QTimer>

void TfrmMain::ConnectDeviceTools() {
    ConnectCommand(actCopySound, &TfrmMain::CopySoundClick);
    rowActions_.push_back(actCopySound); // enabled with the library's rows
    ConnectCommand(actGlobalSettings, &TfrmMain::GlobalSettingsClick);
    actGlobalSettings->setEnabled(true);
}

void TfrmMain::CopySoundClick() {
    TfrmCopySounds copy({library_, [this](int slot) { RefreshRow(slot); },
                         [this](const QString& line) { LogMessage(line); }},
                        this);
    copy.exec();
}

void TfrmMain::GlobalSettingsClick() {
    // No note may hang while the instrument's settings change.
    PanicClick();
    RunRequestCycle(ReplyKind::Globals, GlobalsRequestMessage());
}

void TfrmMain::TakeGlobals(const std::array<int, GlobalsCount>& values) {
    receivedGlobals_ = values;
    tmrWindows->start(0);
}

void TfrmMain::OpenGlobalSettings(const std::array<int, GlobalsCount>& values) {
    TfrmGlobal globals(*ports_, this);
    globals.SetFailureLog([this](const QString& line) { LogMessage(line); });
    globals.SetChannel(InstrumentChannel());
    globals.LoadGlobals(values);
    globals.InstrumentChannelChanged = [this, &globals](int channel) {
        if (channel == settings_.MidiChannel)
            return;
        const QString question =
            QStringLiteral("The Mopho now listens on MIDI channel %1. Use MIDI channel %1 for it "
                           "from now on?")
                .arg(channel);
        if (prompter_->Confirm(question, Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
            return;
        UseMidiChannel(channel);
        globals.SetChannel(InstrumentChannel());
    };
    globals.exec();
}
