// The main window's library commands that talk to the instrument: reading
// sounds, sending them, program changes, panic; and renaming.

#include "main_window.h"

#include "frm_patch_edit_simple.h"
#include "frm_sysex_receiver.h"
#include "keyboard_panel.h"
#include "library_list.h"
#include "library_table_view.h"
#include "midi_ports.h"
#include "prompter.h"
#include "receive_dispatch.h"
#include "short_messages.h"
#include "sound_reorderer.h"
#include "sysex_messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QThread>
#include <QTimer>

namespace {
constexpr int ProgramChangePause = 200; // ms after bank select and after program change
} // namespace

void TfrmMain::Pause(int milliseconds, bool userInput) {
    // Repaints and replies go on; with userInput clear, clicks and keys wait,
    // so no second command can start in the middle of this one.
    QElapsedTimer clock;
    clock.start();
    const auto flags = userInput ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
    while (clock.elapsed() < milliseconds) {
        QApplication::processEvents(flags, static_cast<int>(milliseconds - clock.elapsed()));
        if (clock.elapsed() < milliseconds)
            QThread::msleep(1);
    }
}

void TfrmMain::ReadCurrentSoundClick() {
    ports_->Requests.ClearRequests();
    const int row = list_->CurrentRow();
    ports_->Requests.PushRequestByte(static_cast<std::uint8_t>(row < 0 ? 0 : row / 128));
    ports_->Requests.PushRequestByte(row < 0 ? RequestStack::Empty
                                             : static_cast<std::uint8_t>(row % 128));
    ReadRequestedSounds();
}

void TfrmMain::ReadBankClick(int bank) {
    ports_->Requests.ClearRequests();
    for (int program = 127; program >= 0; --program) {
        ports_->Requests.PushRequestByte(static_cast<std::uint8_t>(bank));
        ports_->Requests.PushRequestByte(static_cast<std::uint8_t>(program));
    }
    ReadRequestedSounds();
}

void TfrmMain::ReadAllBanksClick() {
    ports_->Requests.ClearRequests();
    // Pushed backwards, so the reads run A 0, A 1, ... C 127.
    for (int bank = 2; bank >= 0; --bank)
        for (int program = 127; program >= 0; --program) {
            ports_->Requests.PushRequestByte(static_cast<std::uint8_t>(bank));
            ports_->Requests.PushRequestByte(static_cast<std::uint8_t>(program));
        }
    ReadRequestedSounds();
}

void TfrmMain::ReadRequestedSounds() {
    // The note player rests while sounds are read, whatever happens meanwhile.
    const KeyboardPanel::Suspension quiet(pnlKeyboard);
    const int requested = ports_->Requests.RequestCount() / 2;
    Await(*ports_, ReplyKind::ProgramDump);
    const int program = ports_->Requests.PopRequestByte();
    const int bank = ports_->Requests.PopRequestByte();
    if (program == RequestStack::Empty || bank == RequestStack::Empty) {
        // Nothing to ask for (no current row): no wait for a reply that cannot come.
        ports_->Requests.ClearRequests();
    } else if (OutputOpenOrSay(QStringLiteral("Nothing read"))) {
        soundsStored_ = 0;
        // Ready before asking: a quick reply must find the buffer queued.
        ports_->StartReceive(ProgramDumpSize);
        RequestProgramDump(*ports_, bank, program);
        frmSysExReceiver->exec();
        ports_->StopReceive();
        LogMessage(
            soundsStored_ == requested
                ? QStringLiteral("Read %1.").arg(SoundCount(requested))
                : QStringLiteral("Read %1 of %2.").arg(soundsStored_).arg(SoundCount(requested)));
    } else {
        ports_->Requests.ClearRequests();
    }
    // "Prg -", "Prg +", "Move down" and "Move up" are enabled with the rows.
    RefreshChangedRows(false);
}

QString TfrmMain::SoundCount(int count) {
    return count == 1 ? QStringLiteral("1 sound") : QStringLiteral("%1 sounds").arg(count);
}

QString TfrmMain::SendQuestion(const std::vector<int>& slots) {
    return QStringLiteral("Send %1 into the Mopho's memory, %2 to %3?")
        .arg(SoundCount(static_cast<int>(slots.size())))
        .arg(QString::fromStdString(Slots::Caption(slots.front())))
        .arg(QString::fromStdString(Slots::Caption(slots.back())));
}

bool TfrmMain::OutputOpenOrSay(const QString& nothingDone) {
    if (ports_->MidiOutOpen())
        return true;
    LogMessage(nothingDone + QStringLiteral(": no MIDI output is open (System, Midi Settings)."));
    return false;
}

void TfrmMain::SendSelectedSoundsClick() {
    CollectSelection();
    const std::vector<int> slots = CollectedSlots();
    if (slots.empty() || !OutputOpenOrSay(QStringLiteral("Nothing sent")))
        return;
    // One key must not overwrite the instrument's memory: more than one sound is asked for.
    if (slots.size() > 1 &&
        prompter_->Confirm(SendQuestion(slots), Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
        return;
    // The wait box shows the progress; its Close button stops the sending.
    frmSysExReceiver->BeginSendProgress();
    const int total = static_cast<int>(slots.size());
    int sent = 0;
    QString stopped;
    for (int slot : slots) {
        if (frmSysExReceiver->SendStopped()) {
            stopped = QStringLiteral("Sending stopped after %1 of %2 sounds.").arg(sent).arg(total);
            break;
        }
        TSoundRecord& record = library_.SoundBanks[static_cast<std::size_t>(slot)];
        record[SoundLayout::BankByte] = static_cast<std::uint8_t>(Slots::BankOf(slot));
        record[SoundLayout::ProgramByte] = static_cast<std::uint8_t>(Slots::ProgramOf(slot));
        const auto message =
            ProgramDumpMessage(record, Slots::BankOf(slot), Slots::ProgramOf(slot));
        if (const MidiError error = ports_->TrySendLongMessage(message); error != MidiError::None) {
            stopped = QStringLiteral("Sending stopped after %1 of %2 sounds: %3 did not go "
                                     "out (%4).")
                          .arg(sent)
                          .arg(total)
                          .arg(QString::fromStdString(Slots::Caption(slot)))
                          .arg(QString::fromStdString(Text(error)));
            break;
        }
        ++sent;
        library_.SlotChanged[static_cast<std::size_t>(slot)] = 0;
        RefreshRow(slot);
        frmSysExReceiver->SetLabelText(QStringLiteral("Sending %1").arg(slot));
        Pause(sendDelay_, true);
    }
    frmSysExReceiver->EndSendProgress();
    // Sending rewrites location bytes and clears marks: nothing to undo.
    history_.AcceptChangesSoFar();
    LogMessage(stopped.isEmpty() ? QStringLiteral("Sent %1.").arg(SoundCount(sent)) : stopped);
    if (settings_.VerifyAfterSend && sent > 0)
        ReadBackSentSounds({slots.begin(), slots.begin() + sent});
}

void TfrmMain::ReadBackSentSounds(const std::vector<int>& slots) {
    const KeyboardPanel::Suspension quiet(pnlKeyboard);
    ports_->Requests.ClearRequests();
    // Pushed backwards, so the first sent is read first.
    for (auto slot = slots.rbegin(); slot != slots.rend(); ++slot) {
        ports_->Requests.PushRequestByte(static_cast<std::uint8_t>(Slots::BankOf(*slot)));
        ports_->Requests.PushRequestByte(static_cast<std::uint8_t>(Slots::ProgramOf(*slot)));
    }
    dispatcher_->CheckedCount = 0;
    dispatcher_->DifferingCount = 0;
    Await(*ports_, ReplyKind::ProgramCheck);
    const int program = ports_->Requests.PopRequestByte();
    const int bank = ports_->Requests.PopRequestByte();
    ports_->StartReceive(ProgramDumpSize);
    RequestProgramDump(*ports_, bank, program);
    frmSysExReceiver->exec();
    ports_->StopReceive();
    ports_->Requests.ClearRequests();
    const int total = static_cast<int>(slots.size());
    const int checked = dispatcher_->CheckedCount;
    const int differing = dispatcher_->DifferingCount;
    if (checked == total && differing == 0)
        LogMessage(QStringLiteral("All %1 read back equal.").arg(SoundCount(total)));
    else
        LogMessage(QStringLiteral("Read back %1 of %2: %3 differently.")
                       .arg(checked)
                       .arg(SoundCount(total))
                       .arg(differing));
}

void TfrmMain::SelectCurrentSlot() {
    if (list_->CurrentRow() < 0)
        ListView1->setFocus();
    list_->SetCurrentRow(library_.CurrentSlot);
    ListView1->scrollTo(list_->index(library_.CurrentSlot, 0));
    if (!OutputOpenOrSay(QStringLiteral("No program change")))
        return;
    SendBankSelect(*ports_, InstrumentChannel(), Slots::BankOf(library_.CurrentSlot));
    Pause(ProgramChangePause, false);
    SendProgramChange(*ports_, InstrumentChannel(), Slots::ProgramOf(library_.CurrentSlot));
    Pause(ProgramChangePause, false);
    if (settings_.SendToEditBuffer == QStringLiteral("1"))
        SendEditBufferDump(*ports_,
                           library_.SoundBanks[static_cast<std::size_t>(library_.CurrentSlot)]);
}

void TfrmMain::PrgDownClick() {
    if (library_.CurrentSlot > 0) {
        --library_.CurrentSlot;
        viewport_->ScrollByPixels(-10);
    }
    SelectCurrentSlot();
}

void TfrmMain::PrgUpClick() {
    if (library_.CurrentSlot < Slots::Count - 1) {
        ++library_.CurrentSlot;
        viewport_->ScrollByPixels(10);
    }
    SelectCurrentSlot();
}

void TfrmMain::ListLeftClicked() {
    if (library_.SlotCount < Slots::Count || list_->CurrentRow() < 0)
        return;
    if (QApplication::keyboardModifiers() & (Qt::ControlModifier | Qt::ShiftModifier))
        return; // extends the selection only
    library_.CurrentSlot = list_->CurrentRow();
    SelectCurrentSlot();
}

void TfrmMain::RenameCurrentRow() {
    const int row = list_->CurrentRow();
    if (row < 0)
        return;
    if (RenameSlot(this, library_, row))
        RefreshRow(row);
}

void TfrmMain::PanicClick() {
    if (!OutputOpenOrSay(QStringLiteral("Nothing sent")))
        return;
    SendControlChange(*ports_, InstrumentChannel(), 123, 0);
    SendControlChange(*ports_, InstrumentChannel(), 120, 0);
    SendControlChange(*ports_, InstrumentChannel(), 64, 0);
}

bool TfrmMain::HandleLibraryKey(QKeyEvent* event) {
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Minus:
        if (!keypad)
            return false;
        RunCommand([&] { control ? reorderer_->MoveSelectionUp(true) : PrgDownClick(); });
        return true;
    case Qt::Key_Plus:
        if (!keypad)
            return false;
        RunCommand([&] { control ? reorderer_->MoveSelectionDown(true) : PrgUpClick(); });
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        RunCommand([&] { SendSelectedSoundsClick(); });
        return true;
    default:
        return false;
    }
}

void TfrmMain::ConnectLibraryCommands() {
    const auto command = [this](auto* sender, auto signal, auto handler) {
        connect(sender, signal, this, [this, handler] { RunCommand(handler); });
    };
    ConnectCommand(actReadCurrentSound, &TfrmMain::ReadCurrentSoundClick);
    ConnectCommand(actReadAllBanks, &TfrmMain::ReadAllBanksClick);
    ConnectCommand(actSendSelectedSounds, &TfrmMain::SendSelectedSoundsClick);
    ConnectCommand(actPanic, &TfrmMain::PanicClick);
    // F4 is the menu item's key; the toolbar button runs the same command.
    ConnectCommand(EditEditBuffer1, &TfrmMain::EditSoundClick);
    command(btnEditSound, &QPushButton::clicked, [this] { EditSoundClick(); });
    command(actReadBankA, &QAction::triggered, [this] { ReadBankClick(0); });
    command(actReadBankB, &QAction::triggered, [this] { ReadBankClick(1); });
    command(actReadBankC, &QAction::triggered, [this] { ReadBankClick(2); });
    command(actOrderByName, &QAction::triggered,
            [this] { reorderer_->SortSelection(SoundReorderer::SortByName); });
    command(btnReadBanks, &QPushButton::clicked, [this] { ReadAllBanksClick(); });
    command(btnSendPatch, &QPushButton::clicked, [this] { SendSelectedSoundsClick(); });
    command(btnPrgDown, &QPushButton::clicked, [this] { PrgDownClick(); });
    command(btnPrgUp, &QPushButton::clicked, [this] { PrgUpClick(); });
    command(btnUP, &QPushButton::clicked, [this] { reorderer_->MoveSelectionUp(true); });
    command(btnDown, &QPushButton::clicked, [this] { reorderer_->MoveSelectionDown(true); });
    command(btnPanic, &QPushButton::clicked, [this] { PanicClick(); });
    command(ListView1, &QAbstractItemView::clicked, [this] { ListLeftClicked(); });
    command(ListView1, &QAbstractItemView::doubleClicked, [this] { RenameCurrentRow(); });
    connect(ListView1, &LibraryTableView::MoveTargetClicked, this,
            [this](int row) { RunCommand([&] { reorderer_->MoveSelectionTo(row); }); });
    connect(ListView1, &LibraryTableView::SoundDropped, this, [this](int dragged, int target) {
        RunCommand([&] { reorderer_->DropSoundOnRow(dragged, target); });
    });
    for (QAction* action : {actReadCurrentSound, actReadBankA, actReadBankB, actReadBankC,
                            actReadAllBanks, actPanic, EditEditBuffer1})
        action->setEnabled(true);
    for (QPushButton* button : {btnReadBanks, btnPanic, btnEditSound})
        button->setEnabled(true);
    // These need rows; RebuildList enables them.
    rowActions_.insert(rowActions_.end(), {actSendSelectedSounds, actOrderByName});
    // Reordering and stepping through programs work on any library, read from
    // the instrument or loaded from a file.
    rowButtons_ = {btnSendPatch, btnDown, btnUP, btnPrgDown, btnPrgUp};
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListView1 && event->type() == QEvent::KeyPress &&
        HandleLibraryKey(static_cast<QKeyEvent*>(event)))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::keyPressEvent(QKeyEvent* event) {
    if (!HandleLibraryKey(event))
        QMainWindow::keyPressEvent(event);
}
