// The main window's sound tools: Q-Morph, the parameter locker opened on
// the instrument's edit buffer, and the comparison of two library sounds.

#include "main_window.h"

#include "frm_compare_sounds.h"
#include "frm_locker.h"
#include "frm_morph.h"
#include "library_list.h"
#include "main_editor_host.h"
#include "midi_ports.h"
#include "receive_dispatch.h"
#include "sysex_messages.h"

#include <QAction>
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
    ConnectCommand(actQMorph, &TfrmMain::QMorphClick);
    ConnectCommand(actLocker, &TfrmMain::LockerClick);
    // The toolbar buttons run the menu items' commands.
    connect(btnQMorph, &QPushButton::clicked, actQMorph, &QAction::trigger);
    connect(btnLocker, &QPushButton::clicked, actLocker, &QAction::trigger);
    for (QAction* action : {actQMorph, actLocker})
        action->setEnabled(true);
    for (QPushButton* button : {btnQMorph, btnLocker})
        button->setEnabled(true);

    ConnectCommand(actCompareSounds, &TfrmMain::CompareSoundsClick);
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
    const auto sound = [this](int slot) {
        return library_.SoundBanks[static_cast<std::size_t>(slot)];
    };
    TfrmCompareSounds compare(rows[0], sound(rows[0]), rows[1], sound(rows[1]), this);
    compare.exec();
}

void TfrmMain::QMorphClick() {
    TfrmMorph morph(library_, *ports_, this);
    morph.SetChannel(InstrumentChannel());
    morph.exec();
}

void TfrmMain::LockerClick() {
    if (list_->CurrentRow() < 0 && list_->rowCount() > 0)
        list_->SetCurrentRow(0);
    ports_->Requests.ClearRequests();
    RunRequestCycle(ReplyKind::EditBufferForLocker, &RequestEditBuffer, 300);
}

void TfrmMain::OpenLockerWithCurrentSound(const TSoundRecord& sound) {
    TfrmLocker locker(LockerContext{library_, *ports_, *prompter_, *fileChooser_}, sound, this);
    if (locker.exec() != QDialog::Accepted)
        return;
    const int row = list_->CurrentRow();
    KeepSoundInSlot(library_, row < 0 ? 0 : row, locker.WorkingSound(),
                    [this](int slot) { RefreshRow(slot); });
}
