// The main window's sound tools: Q-Morph, the parameter locker opened on
// the instrument's edit buffer, the sound breeder, and the comparison of two
// library sounds.

#include "main_window.h"

#include "frm_breeder.h"
#include "frm_compare_sounds.h"
#include "frm_locker.h"
#include "frm_morph.h"
#include "instrument_commands.h"
#include "keyboard_panel.h"
#include "library_list.h"
#include "main_editor_host.h"
#include "midi_ports.h"

#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QPushButton>

#include <algorithm>

namespace {
// The selected rows, ascending.
std::vector<int> SelectedRows(const QItemSelectionModel& selection) {
    std::vector<int> rows;
    for (const QModelIndex& index : selection.selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}
} // namespace

void TfrmMain::ConnectSoundTools() {
    ConnectCommand(actQMorph, [this] { QMorphClick(); });
    ConnectCommand(actLocker, [this] { LockerClick(); });
    // The toolbar buttons run the menu items' commands.
    connect(btnQMorph, &QPushButton::clicked, actQMorph, &QAction::trigger);
    connect(btnLocker, &QPushButton::clicked, actLocker, &QAction::trigger);
    for (QAction* action : {actQMorph, actLocker})
        action->setEnabled(true);
    for (QPushButton* button : {btnQMorph, btnLocker})
        button->setEnabled(true);

    // Not one undo step as a whole: each "Keep" is a step of its own.
    connect(actBreeder, &QAction::triggered, this, [this] {
        try {
            BreederClick();
        } catch (const std::exception& failure) {
            LogMessage(QString::fromLocal8Bit(failure.what()));
        }
    });
    actBreeder->setEnabled(true);

    ConnectCommand(actCompareSounds, [this] { CompareSoundsClick(); });
    QItemSelectionModel* selection = list_->selectionModel();
    const auto enableCompare = [this, selection] {
        actCompareSounds->setEnabled(SelectedRows(*selection).size() == 2);
    };
    connect(selection, &QItemSelectionModel::selectionChanged, this, enableCompare);
    connect(list_.get(), &QAbstractItemModel::modelReset, this, enableCompare);
    enableCompare();
}

void TfrmMain::CompareSoundsClick() {
    const std::vector<int> rows = SelectedRows(*list_->selectionModel());
    if (rows.size() != 2)
        return;
    const auto sound = [this](int slot) { return library_.Sound(slot); };
    TfrmCompareSounds compare(rows[0], sound(rows[0]), rows[1], sound(rows[1]), this);
    compare.exec();
}

void TfrmMain::QMorphClick() {
    TfrmMorph morph(library_, *ports_, this);
    morph.SetFailureLog([this](const QString& line) { LogMessage(line); });
    morph.SetChannel(InstrumentChannel());
    morph.exec();
}

void TfrmMain::LockerClick() {
    CurrentRowOrFirst();
    instrument_->AskForEditBuffer(SoundHandOver::Locker);
}

void TfrmMain::OpenLockerWithCurrentSound(const TSoundRecord& sound) {
    TfrmLocker locker(LockerContext{library_, *ports_, *prompter_, *fileChooser_, &soundLocks_},
                      sound, this);
    if (locker.exec() != QDialog::Accepted)
        return;
    const int row = list_->CurrentRow();
    library_.KeepSound(row < 0 ? 0 : row, locker.WorkingSound());
}

void TfrmMain::BreederClick() {
    // A breeder that starts empty starts from the selected sounds.
    if (breeding_.Parents().empty())
        for (const int slot : SelectedRows(*list_->selectionModel()))
            if (Slots::IsValid(slot))
                breeding_.AddParent(
                    {library_.Sound(slot),
                     Slots::Caption(slot) + " " + NameToUtf8(library_.GetSoundName(slot))});
    const std::optional<TSoundRecord> child = RunBreeder(std::nullopt, std::nullopt);
    if (child)
        RunCommand([&] { OpenEditorWithCurrentSound(*child); });
}

std::optional<TSoundRecord> TfrmMain::RunBreeder(std::optional<TSoundRecord> editorSound,
                                                 std::optional<SchemaList> editorSchema) {
    BreederContext context{
        library_,
        *ports_,
        breeding_,
        soundLocks_,
        programFolder_.toStdString(),
        std::max(list_->CurrentRow(), 0),
        [this](int slot, const TSoundRecord& sound) { return KeepBredSound(slot, sound); },
        std::move(editorSound),
        std::move(editorSchema),
        [this] { return pnlKeyboard && pnlKeyboard->KeyboardOn(); },
        [this](bool on) {
            if (pnlKeyboard)
                pnlKeyboard->SetKeyboardOn(on);
        },
        [this] { return OpenedCatalogue(); }};
    // Over the editor when the editor asks.
    QWidget* owner = QApplication::activeModalWidget();
    TfrmBreeder breeder(std::move(context), owner ? owner : this);
    if (breeder.exec() != TfrmBreeder::EditResult)
        return std::nullopt;
    return breeder.ChildToEdit();
}

bool TfrmMain::KeepBredSound(int slot, const TSoundRecord& sound) {
    if (!Slots::IsValid(slot))
        return false;
    // One undo step of its own, also while the editor's session holds one open.
    RunCommand([&] {
        history_.SplitStep();
        library_.KeepSound(slot, sound);
        history_.SplitStep();
    });
    // The next keep, also after reopening, goes to the next row.
    list_->SetCurrentRow(std::min(slot + 1, list_->rowCount() - 1));
    return true;
}
