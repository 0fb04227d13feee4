// The main window's commands for the sound tools that need no sound editor:
// "Copy Sound", the instrument's "Global settings" and the built-in
// instrument's panel.

#include "main_window.h"

#include "builtin_instrument_service.h"
#include "frm_copy_sounds.h"
#include "frm_global.h"
#include "frm_virtual_panel.h"
#include "instrument_commands.h"
#include "midi_ports.h"
#include "prompter.h"

#include <QAction>
#include <QTimer>

void TfrmMain::ConnectDeviceTools() {
    ConnectCommand(actCopySound, [this] { CopySoundClick(); });
    rowActions_.push_back(actCopySound); // enabled with the library's rows
    // "Global settings": panic, then the instrument's globals; the reply
    // opens their window.
    ConnectCommand(actGlobalSettings, [this] { instrument_->AskForGlobals(); });
    actGlobalSettings->setEnabled(true);
    ConnectCommand(actVirtualPanel, [this] { VirtualPanelClick(); });
}

bool TfrmMain::BuiltInInstrumentInUse() const {
    // Its panel's messages arrive on its input; the editor follows that one.
    return dynamic_cast<BuiltInInstrumentService*>(midi_) && ports_->MidiInOpen() &&
           TrimmedPortName(ports_->MidiInDeviceName()) == BuiltInInstrumentService::DeviceName;
}

void TfrmMain::VirtualPanelClick() {
    auto* instrument = dynamic_cast<BuiltInInstrumentService*>(midi_);
    if (!BuiltInInstrumentInUse() || !instrument) {
        LogMessage(QStringLiteral("The Virtual Mopho Panel plays the built-in instrument: choose "
                                  "\"%1\" as MIDI input (System, Midi Settings).")
                       .arg(QString::fromLatin1(BuiltInInstrumentService::DeviceName)));
        return;
    }
    // One panel window; a second click brings it to the front.
    if (virtualPanel_) {
        virtualPanel_->raise();
        virtualPanel_->activateWindow();
        return;
    }
    auto* panel = new TfrmVirtualPanel(
        {[this, instrument](int nrpn, int value) {
             return BuiltInInstrumentInUse() && instrument->TurnPanelKnob(nrpn, value);
         },
         [this, instrument](int program) {
             return BuiltInInstrumentInUse() && instrument->ChoosePanelProgram(program);
         }},
        this);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    virtualPanel_ = panel;
    panel->show();
}

void TfrmMain::MoveVirtualPanelTo(QWidget* owner) {
    if (!virtualPanel_)
        return;
    const QPoint place = virtualPanel_->pos();
    virtualPanel_->setParent(owner, virtualPanel_->windowFlags());
    virtualPanel_->move(place);
    virtualPanel_->show();
}

void TfrmMain::CopySoundClick() {
    TfrmCopySounds copy({library_, [this](const QString& line) { LogMessage(line); }}, this);
    copy.exec();
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
    globals.OnInstrumentChannelChanged([this, &globals](int channel) {
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
    });
    globals.exec();
}
