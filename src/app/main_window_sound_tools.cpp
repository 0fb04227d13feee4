// The main window's sound tools: Q-Morph, and the parameter locker opened on
// the instrument's edit buffer.

#include "main_window.h"

#include "frm_locker.h"
#include "frm_morph.h"
#include "library_list.h"
#include "main_editor_host.h"
#include "midi_ports.h"
#include "receive_dispatch.h"
#include "sysex_messages.h"

#include <QAction>
#include <QPushButton>

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
}

void TfrmMain::QMorphClick() {
    TfrmMorph morph(library_, *ports_, this);
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
