// The main window's library commands that talk to the instrument: reading
// sounds, sending them, program changes, panic; and renaming.

#include "main_window.h"

#include "frm_patch_edit_simple.h"
#include "frm_sysex_receiver.h"
#include "instrument_exchange.h"
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

#include <numeric>

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
    const int row = list_->CurrentRow();
    ReadSounds(row < 0 ? std::vector<int>{} : std::vector<int>{row});
}

void TfrmMain::ReadBankClick(int bank) {
    std::vector<int> slots;
    for (int program = 0; program < Slots::ProgramsPerBank; ++program)
        slots.push_back(Slots::Of(bank, program));
    ReadSounds(slots);
}

void TfrmMain::ReadAllBanksClick() {
    std::vector<int> slots(Slots::Count);
    std::iota(slots.begin(), slots.end(), 0); // A001, A002, ... C128
    ReadSounds(slots);
}

void TfrmMain::ReadSounds(const std::vector<int>& slots) {
    // The note player rests while sounds are read, whatever happens meanwhile.
    const KeyboardPanel::Suspension quiet(pnlKeyboard);
    // Nothing to ask for (no current row): no wait for a reply that cannot come.
    if (!slots.empty() &&
        RunExchange([&] { return exchange_->AskForPrograms(ReplyKind::ProgramDump, slots); },
                    QStringLiteral("Nothing read"))) {
        const int requested = static_cast<int>(slots.size());
        const int stored = exchange_->AnsweredCount();
        LogMessage(stored == requested
                       ? QStringLiteral("Read %1.").arg(SoundCount(requested))
                       : QStringLiteral("Read %1 of %2.").arg(stored).arg(SoundCount(requested)));
        if (const auto missing = exchange_->MissingSlots(); !missing.empty())
            ReportMissingSounds(missing);
    }
    // "Prg -", "Prg +", "Move down" and "Move up" are enabled with the rows.
    list_->SelectCollectedSlots();
}

void TfrmMain::ReportMissingSounds(const std::vector<int>& slots) {
    const QString text =
        QStringLiteral("Not received from the instrument: %1. These rows were left as they were.")
            .arg(QString::fromStdString(Slots::Ranges(slots)));
    LogMessage(text);
    // A user who closed the wait box knows the read stopped.
    if (exchange_->LastEnd() != ExchangeEnd::Abandoned)
        prompter_->ShowMessage(text);
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
        TSoundRecord record = library_.Sound(slot);
        record[SoundLayout::BankByte] = static_cast<std::uint8_t>(Slots::BankOf(slot));
        record[SoundLayout::ProgramByte] = static_cast<std::uint8_t>(Slots::ProgramOf(slot));
        const auto message =
            ProgramDumpMessage(record, Slots::BankOf(slot), Slots::ProgramOf(slot));
        if (const MidiError error = ports_->SendLongMessage(message); error != MidiError::None) {
            stopped = QStringLiteral("Sending stopped after %1 of %2 sounds: %3 did not go "
                                     "out (%4).")
                          .arg(sent)
                          .arg(total)
                          .arg(QString::fromStdString(Slots::Caption(slot)))
                          .arg(QString::fromStdString(Text(error)));
            break;
        }
        ++sent;
        library_.StoreSound(slot, record, false);
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
    dispatcher_->BeginCheck();
    if (!RunExchange([&] { return exchange_->AskForPrograms(ReplyKind::ProgramCheck, slots); },
                     QStringLiteral("Nothing read back")))
        return;
    const int total = static_cast<int>(slots.size());
    const int checked = dispatcher_->CheckedCount();
    const int differing = dispatcher_->DifferingCount();
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
    list_->SetCurrentRow(library_.CurrentSlot());
    ListView1->scrollTo(list_->index(library_.CurrentSlot(), 0));
    const QString noChange = QStringLiteral("No program change");
    if (!OutputOpenOrSay(noChange) ||
        !SentOrSay(
            SendBankSelect(*ports_, InstrumentChannel(), Slots::BankOf(library_.CurrentSlot())),
            noChange))
        return;
    Pause(ProgramChangePause, false);
    if (!SentOrSay(SendProgramChange(*ports_, InstrumentChannel(),
                                     Slots::ProgramOf(library_.CurrentSlot())),
                   noChange))
        return;
    Pause(ProgramChangePause, false);
    if (settings_.SendToEditBuffer == QStringLiteral("1"))
        SentOrSay(SendEditBufferDump(*ports_, library_.Sound(library_.CurrentSlot())),
                  QStringLiteral("The sound did not reach the edit buffer"));
}

void TfrmMain::PrgDownClick() {
    if (library_.CurrentSlot() > 0) {
        library_.SetCurrentSlot(library_.CurrentSlot() - 1);
        viewport_->ScrollByPixels(-10);
    }
    SelectCurrentSlot();
}

void TfrmMain::PrgUpClick() {
    if (library_.CurrentSlot() < Slots::Count - 1) {
        library_.SetCurrentSlot(library_.CurrentSlot() + 1);
        viewport_->ScrollByPixels(10);
    }
    SelectCurrentSlot();
}

void TfrmMain::ListLeftClicked() {
    if (library_.SlotCount() < Slots::Count || list_->CurrentRow() < 0)
        return;
    if (QApplication::keyboardModifiers() & (Qt::ControlModifier | Qt::ShiftModifier))
        return; // extends the selection only
    library_.SetCurrentSlot(list_->CurrentRow());
    SelectCurrentSlot();
}

void TfrmMain::RenameCurrentRow() {
    const int row = list_->CurrentRow();
    if (row < 0)
        return;
    RenameSlot(this, library_, row);
}

void TfrmMain::PanicClick() {
    if (!OutputOpenOrSay(QStringLiteral("Nothing sent")))
        return;
    // All notes off, all sound off, sustain off.
    for (const int controller : {123, 120, 64})
        if (!SentOrSay(SendControlChange(*ports_, InstrumentChannel(), controller, 0),
                       QStringLiteral("Panic did not go out")))
            return;
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
