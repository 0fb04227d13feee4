// The main window's commands for the sound tools that need no sound editor:
// "Copy Sound" and the instrument's "Global settings".

#include "main_window.h"

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
    globals.LoadGlobals(values);
    globals.exec();
}
