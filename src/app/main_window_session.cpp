// The main window's start-up and close, its settings, and the windows that
// open on what the instrument sent.

#include "main_window.h"

#include "about_box.h"
#include "builtin_instrument_service.h"
#include "file_chooser.h"
#include "frm_autoload_settings.h"
#include "frm_help.h"
#include "frm_patch_edit.h"
#include "frm_settings.h"
#include "frm_sysex_receiver.h"
#include "instrument_commands.h"
#include "keyboard_panel.h"
#include "library_commands.h"
#include "library_list.h"
#include "main_editor_host.h"
#include "midi_ports.h"
#include "prompter.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QTableView>
#include <QTimer>

#include <exception>
#include <stdexcept>

namespace {

void TakeStoredTolerances(const TAppSettings& settings, SchemaTolerances& tolerances) {
    tolerances.ToleranceComboBox = settings.ToleranceComboBox;
    tolerances.ToleranceOctave = settings.ToleranceOctave;
    tolerances.ToleranceOtherKnobs = settings.ToleranceOtherKnobs;
    tolerances.ToleranceDetuneKnobs = settings.ToleranceDetuneKnobs;
}

QString AutoloadSaveQuestion(const QString& path, bool failedToLoad) {
    const QString question = QStringLiteral("Do you want to save changes to autoload file (") +
                             path + QStringLiteral(") ?");
    if (!failedToLoad)
        return question;
    return QStringLiteral("The autoload file (%1) failed to load at start: saving would replace "
                          "it with the sounds in the library now.\n\n")
               .arg(QDir::toNativeSeparators(path)) +
           question;
}

void StoreTolerances(const SchemaTolerances& tolerances, TAppSettings& settings) {
    const auto byte = [](int value) { return static_cast<std::uint8_t>(value); };
    settings.ToleranceComboBox = byte(tolerances.ToleranceComboBox);
    settings.ToleranceOctave = byte(tolerances.ToleranceOctave);
    settings.ToleranceOtherKnobs = byte(tolerances.ToleranceOtherKnobs);
    settings.ToleranceDetuneKnobs = byte(tolerances.ToleranceDetuneKnobs);
}

} // namespace

QString TfrmMain::SettingsPath() const {
    return QDir(programFolder_).filePath(QString::fromLatin1(SettingsFileName));
}

void TfrmMain::StartUp() {
    try {
        // Steps in order; a failure ends the sequence with one memo line.
        // The folder is needed to find the settings, so it is known first.
        programFolder_ = ProgramFolder();
        LoadSettings();
        commands_->RememberSaved();
        ports_->EnumerateMidiDevices();
        // A first start plays the built-in instrument, not whatever output
        // happens to come first, until the user chooses.
        if (firstStart_ && BuiltInOutputDevice(*ports_) >= 0) {
            ports_->SetMidiInDeviceName(BuiltInInstrumentService::DeviceName);
            ports_->SetMidiOutDeviceName(BuiltInInstrumentService::DeviceName);
        }
        ports_->ResolveMidiDevices();
        // The library starts without "Changed" marks, also after an autoload.
        library_.ClearChangedMarks();
        list_->RebuildList();
        library_.SetCurrentSlot(0);
        settingsSaved_ = false;
        OpenMidiPorts();
    } catch (const std::exception& failure) {
        LogMessage(QString::fromLocal8Bit(failure.what()));
    }
}

void TfrmMain::CreatePorts() {
    MidiPorts::Reporter reporter;
    reporter.showMessage = [this](const std::string& text) {
        prompter_->ShowMessage(QString::fromStdString(text));
    };
    reporter.log = [this](const std::string& line) { LogMessage(QString::fromStdString(line)); };
    ports_ = std::make_unique<MidiPorts>(*midi_, reporter);
    // Runs on the MIDI thread: the bytes travel on to the GUI thread.
    ports_->SetSysExHandler([this](std::vector<std::uint8_t> reply) {
        QMetaObject::invokeMethod(
            this,
            [this, reply = std::move(reply)] {
                if (instrument_)
                    instrument_->TakeReply(reply);
            },
            Qt::QueuedConnection);
    });
    // The open editor follows the instrument's panel.
    ports_->SetInstrumentMessageHandler([this](std::uint32_t message) {
        QMetaObject::invokeMethod(
            this,
            [this, message] {
                if (openEditor_)
                    openEditor_->InstrumentMessage(message);
            },
            Qt::QueuedConnection);
    });
}

void TfrmMain::OpenMidiPorts() {
    // An output that cannot be opened (an interface unplugged) is reported and
    // the built-in instrument's output used, so the library opens all the
    // same; the stored name stays for the next start.
    if (!ports_->OpenMidiOutOrFallBack(BuiltInOutputDevice(*ports_))) {
        midiOpenFailed_ = true; // no output at all: the program ends
        return;
    }
    ports_->OpenMidiIns();
}

void TfrmMain::UseMidiChannel(int channel) {
    settings_.MidiChannel = channel;
    if (pnlKeyboard)
        pnlKeyboard->Player().SetChannel(InstrumentChannel());
}

void TfrmMain::LoadSettings() {
    library_.InitEmptyBanks();
    settings_ = TAppSettings{};
    firstStart_ = !QFileInfo::exists(SettingsPath());
    for (const QString& problem : ReadSettingsFile(SettingsPath(), settings_))
        LogMessage(problem);
    // The arpeggiator's tolerance and the scale last for one run only.
    schemaTolerances_ = SchemaTolerances{};
    TakeStoredTolerances(settings_, schemaTolerances_);
    ports_->SetMidiInDeviceName(settings_.MidiInDeviceName.toStdString());
    ports_->SetMidiOutDeviceName(settings_.MidiOutDeviceName.toStdString());
    ports_->SetControllerInDeviceName(settings_.ControllerInDeviceName.toStdString());
    ports_->SetMophoDeviceID(settings_.MophoDeviceID);
    UseMidiChannel(settings_.MidiChannel);
    autoloadFailed_ = false;
    if (!settings_.AutoloadFile.isEmpty()) {
        // A file that is not there yet holds nothing saving could replace.
        const bool there = QFileInfo::exists(settings_.AutoloadFile);
        autoloadFailed_ =
            commands_->Files().LoadBankFile(settings_.AutoloadFile) != LibraryFiles::Load::Clean &&
            there;
    }
    list_->RebuildList();
}

QString TfrmMain::WriteSettings() {
    settings_.MidiInDeviceName = QString::fromStdString(ports_->MidiInDeviceName());
    settings_.MidiOutDeviceName = QString::fromStdString(ports_->MidiOutDeviceName());
    settings_.ControllerInDeviceName = QString::fromStdString(ports_->ControllerInDeviceName());
    settings_.MophoDeviceID = ports_->MophoDeviceID();
    StoreTolerances(schemaTolerances_, settings_);
    return WriteSettingsFile(SettingsPath(), settings_);
}

void TfrmMain::SaveSettings() {
    const QString error = WriteSettings();
    settingsSaved_ = true;
    if (!error.isEmpty())
        throw std::runtime_error(error.toStdString());
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    // Without an autoload file nothing keeps the library: unsaved work is offered first.
    if (settings_.AutoloadFile.isEmpty()) {
        bool keepOpen = false;
        RunCommand([&] { keepOpen = !commands_->OfferToSaveChanges(); });
        if (keepOpen) {
            event->ignore();
            return;
        }
    }
    const auto report = [this](const QString& text) {
        LogMessage(QStringLiteral("Close query 1:") + text);
        // The window is hidden by now: a memo line alone would go unseen.
        prompter_->ShowMessage(QStringLiteral("Close query 1:") + text);
    };
    try {
        if (!settingsSaved_) {
            hide();
            SaveSettings();
        }
    } catch (const std::exception& failure) {
        report(QString::fromLocal8Bit(failure.what()));
    }
    bool libraryKept = true;
    try {
        if (!settings_.AutoloadFile.isEmpty() &&
            prompter_->Confirm(AutoloadSaveQuestion(settings_.AutoloadFile, autoloadFailed_),
                               autoloadFailed_ ? Prompter::Buttons::YesNoDefaultNo
                                               : Prompter::Buttons::YesNo) == Prompter::Answer::Yes)
            libraryKept = commands_->Files().SaveBankFile(settings_.AutoloadFile);
    } catch (const std::exception& failure) {
        report(QString::fromLocal8Bit(failure.what()));
        libraryKept = false;
    }
    if (libraryKept) {
        // A musician must never be left with a hanging note.
        if (pnlKeyboard)
            pnlKeyboard->ReleaseAllNotes();
        event->accept();
        return;
    }
    // The library the user asked to keep could not be written: closing now
    // would lose it. The window stays, so it can be saved elsewhere.
    prompter_->ShowMessage(
        QStringLiteral("The sounds could not be saved to the autoload file (%1). Tonewright "
                       "stays open so they can be saved elsewhere.")
            .arg(QDir::toNativeSeparators(settings_.AutoloadFile)));
    settingsSaved_ = false;
    show();
    event->ignore();
}

void TfrmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow())
        return;
    if (list_->CurrentRow() < 0 && list_->rowCount() > 0)
        list_->SetCurrentRow(0);
}

namespace {
constexpr int WaitBoxCheckInterval = 10; // ms
} // namespace

void TfrmMain::EditSoundClick() {
    CurrentRowOrFirst();
    instrument_->AskForEditBuffer(SoundHandOver::Editor);
}

void TfrmMain::tmrWindowsTimer() {
    if (!editorSound_ && !receivedGlobals_ && !lockerSound_)
        return;
    // The wait box closes once the reply is handled; the window follows it.
    if (frmSysExReceiver && frmSysExReceiver->isVisible()) {
        tmrWindows->start(WaitBoxCheckInterval);
        return;
    }
    // A sound kept from the editor or the locker is one undo step.
    RunCommand([this] { OpenReceivedWindows(); });
}

void TfrmMain::OpenReceivedWindows() {
    if (receivedGlobals_) {
        const std::array<int, GlobalsCount> values = *receivedGlobals_;
        receivedGlobals_.reset();
        OpenGlobalSettings(values);
    }
    if (lockerSound_) {
        const TSoundRecord sound = *lockerSound_;
        lockerSound_.reset();
        OpenLockerWithCurrentSound(sound);
    }
    if (!editorSound_)
        return;
    const TSoundRecord sound = *editorSound_;
    editorSound_.reset();
    // A program chosen on the instrument while the editor is open: the
    // editor loads it, one undo step away from the sound before.
    if (openEditor_) {
        openEditor_->LoadSound(sound);
        return;
    }
    OpenEditorWithCurrentSound(sound);
}

void TfrmMain::OpenEditorWithCurrentSound(const TSoundRecord& sound) {
    if (!editorHost_)
        editorHost_ = std::make_unique<MainEditorHost>(
            pnlKeyboard, library_, this,
            [this](const std::string& line) { LogMessage(QString::fromStdString(line)); },
            [this] { EditSoundClick(); });
    editorHost_->SetBreeder([this](const TSoundRecord& sound, const SchemaList& schema) {
        return RunBreeder(sound, schema);
    });
    EditorContext context{*ports_,
                          *prompter_,
                          *editorHost_,
                          lastSendLocation_,
                          programFolder_.toStdString(),
                          schemaTolerances_,
                          InstrumentChannel()};
    TfrmPatchEdit editor(context, sound, this);
    openEditor_ = &editor;
    MoveVirtualPanelTo(&editor);
    const int result = editor.exec();
    MoveVirtualPanelTo(this);
    openEditor_ = nullptr;
    // Tolerances chosen in the editor are settings from now on.
    StoreTolerances(schemaTolerances_, settings_);
    if (result != QDialog::Accepted)
        return;
    library_.KeepSound(std::max(list_->CurrentRow(), 0), editor.EditedRecord());
}

void TfrmMain::TonewrightSettingsClick() {
    AutoloadValues values{settings_.AutoloadFile, settings_.SendToEditBuffer,
                          settings_.VerifyAfterSend, settings_.MidiChannel};
    if (EditAutoloadSettings(this, *fileChooser_, values)) {
        // Another file was never loaded: saving into it is what was asked for.
        if (values.AutoloadFile != settings_.AutoloadFile)
            autoloadFailed_ = false;
        settings_.AutoloadFile = values.AutoloadFile;
        settings_.SendToEditBuffer = values.SendToEditBuffer;
        settings_.VerifyAfterSend = values.VerifyAfterSend;
        UseMidiChannel(values.MidiChannel);
    }
}

void TfrmMain::ShortHelpClick() {
    ShowShortHelp(this);
}

void TfrmMain::AboutClick() {
    ShowAbout(*prompter_);
}
