// The main window's menu items, buttons and keys for the commands on the
// library and the instrument, and the commands that need the window itself:
// a click on a row, renaming.

#include "main_window.h"

#include "file_chooser.h"
#include "frm_patch_edit_simple.h"
#include "frm_sysex_receiver.h"
#include "instrument_commands.h"
#include "keyboard_panel.h"
#include "library_commands.h"
#include "library_list.h"
#include "library_table_view.h"
#include "midi_ports.h"
#include "prompter.h"
#include "sound_reorderer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

void TfrmMain::CreateCommands() {
    LibraryCommands::Outlets libraryOutlets;
    libraryOutlets.log = [this](const QString& line) { LogMessage(line); };
    libraryOutlets.showRow = [this](int slot) { ListView1->scrollTo(list_->index(slot, 0)); };
    libraryOutlets.focusList = [this] { ListView1->setFocus(); };
    commands_ = std::make_unique<LibraryCommands>(library_, *list_, *prompter_, *fileChooser_,
                                                  std::move(libraryOutlets));

    InstrumentCommands::Outlets outlets;
    outlets.log = [this](const QString& line) { LogMessage(line); };
    outlets.showGlobals = [this](const std::array<int, GlobalsCount>& values) {
        TakeGlobals(values);
    };
    outlets.takeSound = [this](SoundHandOver handOver, const TSoundRecord& sound) {
        if (handOver == SoundHandOver::Editor)
            editorSound_ = sound;
        else if (handOver == SoundHandOver::Locker)
            lockerSound_ = sound;
        else
            return;
        tmrWindows->start(0);
    };
    outlets.restNotePlayer = [this](bool resting) {
        if (!pnlKeyboard)
            return;
        if (resting)
            pnlKeyboard->Suspend();
        else
            pnlKeyboard->Resume();
    };
    outlets.showCurrentRow = [this](int slot) {
        if (list_->CurrentRow() < 0)
            ListView1->setFocus();
        ListView1->scrollTo(list_->index(slot, 0));
    };
    outlets.scrollList = [this](int pixels) { viewport_->ScrollByPixels(pixels); };
    InstrumentCommandSettings settings{
        [this] { return InstrumentChannel(); }, [this] { return settings_.VerifyAfterSend; },
        [this] { return settings_.SendToEditBuffer == QStringLiteral("1"); }};
    instrument_ = std::make_unique<InstrumentCommands>(library_, history_, *list_, *ports_,
                                                       *prompter_, *fileChooser_,
                                                       std::move(settings), std::move(outlets));
    // The wait box: shown while the instrument is asked, closed when the exchange ends.
    frmSysExReceiver = new TfrmSysExReceiver(instrument_->Exchange(), this);
    instrument_->SetWaitBox(frmSysExReceiver);
    instrument_->Exchange().SetEndHandler([this](ExchangeEnd) {
        if (frmSysExReceiver)
            frmSysExReceiver->ExchangeEnded();
    });
    history_.SetChangeNotice([this] { UpdateUndoActions(); });
    // The items that need rows follow the list's rows.
    connect(list_.get(), &QAbstractItemModel::modelReset, this, [this] { EnableRowCommands(); });
}

void TfrmMain::ConnectLibraryCommands() {
    ConnectCommand(actNewEmptyBanks, [this] { commands_->NewEmptySoundBanks(); });
    ConnectCommand(actLoadBankFile, [this] { commands_->LoadFromFile(); });
    ConnectCommand(actSaveBankFile, [this] { commands_->SaveToFile(); });
    ConnectCommand(actSaveSelectedSounds, [this] { commands_->SaveSelectedSounds(); });
    ConnectCommand(actSaveSeparateFiles, [this] { commands_->SaveSeparateFiles(); });
    ConnectCommand(actSelectAllSounds, [this] { commands_->SelectAllSounds(); });
    ConnectCommand(actSelectAllChangedSounds, [this] { commands_->SelectAllChangedSounds(); });
    ConnectCommand(actOrderByName,
                   [this] { reorderer_->SortSelection(SoundReorderer::SortByName); });
    const auto command = [this](QPushButton* button, auto handler) {
        connect(button, &QPushButton::clicked, this, [this, handler] { RunCommand(handler); });
    };
    command(btnUP, [this] { reorderer_->MoveSelectionUp(true); });
    command(btnDown, [this] { reorderer_->MoveSelectionDown(true); });
    connect(ListView1, &QAbstractItemView::doubleClicked, this,
            [this] { RunCommand([this] { RenameCurrentRow(); }); });
    connect(ListView1, &LibraryTableView::MoveTargetClicked, this,
            [this](int row) { RunCommand([&] { reorderer_->MoveSelectionTo(row); }); });
    connect(ListView1, &LibraryTableView::SoundDropped, this, [this](int dragged, int target) {
        RunCommand([&] { reorderer_->DropSoundOnRow(dragged, target); });
    });
    for (QAction* action :
         {actNewEmptyBanks, actLoadBankFile, actSelectAllSounds, actSelectAllChangedSounds})
        action->setEnabled(true);
    // These need rows; they follow the list's rows.
    rowActions_ = {actSaveSelectedSounds, actSaveBankFile, actSaveSeparateFiles, actOrderByName};
    rowButtons_ = {btnDown, btnUP};
}

void TfrmMain::ConnectInstrumentCommands() {
    InstrumentCommands& instrument = *instrument_;
    ConnectCommand(actReadCurrentSound, [&instrument] { instrument.ReadCurrentSound(); });
    ConnectCommand(actReadAllBanks, [&instrument] { instrument.ReadAllBanks(); });
    ConnectCommand(actReadBankA, [&instrument] { instrument.ReadBank(0); });
    ConnectCommand(actReadBankB, [&instrument] { instrument.ReadBank(1); });
    ConnectCommand(actReadBankC, [&instrument] { instrument.ReadBank(2); });
    ConnectCommand(actSendSelectedSounds, [&instrument] { instrument.SendSelectedSounds(); });
    ConnectCommand(actSendSysExFile, [&instrument] { instrument.SendSysExFromFile(); });
    ConnectCommand(actPanic, [&instrument] { instrument.Panic(); });
    ConnectCommand(actDeviceVersion, [&instrument] { instrument.AskForDeviceVersion(); });
    // F4 is the menu item's key; the toolbar button runs the same command.
    ConnectCommand(EditEditBuffer1, [this] { EditSoundClick(); });
    const auto command = [this](QPushButton* button, auto handler) {
        connect(button, &QPushButton::clicked, this, [this, handler] { RunCommand(handler); });
    };
    command(btnEditSound, [this] { EditSoundClick(); });
    command(btnReadBanks, [&instrument] { instrument.ReadAllBanks(); });
    command(btnSendPatch, [&instrument] { instrument.SendSelectedSounds(); });
    command(btnPrgDown, [&instrument] { instrument.PrgDown(); });
    command(btnPrgUp, [&instrument] { instrument.PrgUp(); });
    command(btnPanic, [&instrument] { instrument.Panic(); });
    connect(ListView1, &QAbstractItemView::clicked, this,
            [this] { RunCommand([this] { ListLeftClicked(); }); });
    for (QAction* action :
         {actReadCurrentSound, actReadBankA, actReadBankB, actReadBankC, actReadAllBanks, actPanic,
          EditEditBuffer1, actSendSysExFile, actDeviceVersion})
        action->setEnabled(true);
    for (QPushButton* button : {btnReadBanks, btnPanic, btnEditSound})
        button->setEnabled(true);
    // Sending and stepping through programs work on any library, read from
    // the instrument or loaded from a file, once it has rows.
    rowActions_.push_back(actSendSelectedSounds);
    rowButtons_.insert(rowButtons_.end(), {btnSendPatch, btnPrgDown, btnPrgUp});
}

int TfrmMain::CurrentRowOrFirst() {
    if (list_->CurrentRow() < 0 && list_->rowCount() > 0)
        list_->SetCurrentRow(0);
    return std::max(list_->CurrentRow(), 0);
}

void TfrmMain::ListLeftClicked() {
    if (library_.SlotCount() < Slots::Count || list_->CurrentRow() < 0)
        return;
    if (QApplication::keyboardModifiers() & (Qt::ControlModifier | Qt::ShiftModifier))
        return; // extends the selection only
    library_.SetCurrentSlot(list_->CurrentRow());
    instrument_->SelectCurrentSlot();
}

void TfrmMain::RenameCurrentRow() {
    if (const int row = list_->CurrentRow(); row >= 0)
        RenameSlot(this, library_, row);
}

bool TfrmMain::HandleLibraryKey(QKeyEvent* event) {
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Minus:
        if (!keypad)
            return false;
        RunCommand([&] { control ? reorderer_->MoveSelectionUp(true) : instrument_->PrgDown(); });
        return true;
    case Qt::Key_Plus:
        if (!keypad)
            return false;
        RunCommand([&] { control ? reorderer_->MoveSelectionDown(true) : instrument_->PrgUp(); });
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        RunCommand([&] { instrument_->SendSelectedSounds(); });
        return true;
    default:
        return false;
    }
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
