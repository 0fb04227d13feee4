// The main window's Edit menu tools for the library: undo and redo, the find
// bar, and selecting duplicate sounds.

#include "main_window.h"

#include "find_bar.h"
#include "library_commands.h"
#include "library_table_view.h"

#include <QAction>
#include <QMenu>

void TfrmMain::CreateLibraryToolMenus(QMenu& edit) {
    edit.addSeparator();
    // Z with any modifier is the keyboard's octave key, so undo keeps to Alt+Backspace.
    actUndo = AddAction(&edit, "actUndo", QStringLiteral("Undo"),
                        QKeySequence(Qt::ALT | Qt::Key_Backspace));
    actRedo = AddAction(&edit, "actRedo", QStringLiteral("Redo"),
                        QKeySequence(Qt::SHIFT | Qt::ALT | Qt::Key_Backspace));
    // Not run as commands: an undo is no step of its own. The list shows
    // what the history puts back by itself.
    connect(actUndo, &QAction::triggered, this, [this] { history_.Undo(); });
    connect(actRedo, &QAction::triggered, this, [this] { history_.Redo(); });
    edit.addSeparator();
    actFind =
        AddAction(&edit, "actFind", QStringLiteral("Find..."), QKeySequence(Qt::CTRL | Qt::Key_F));
    actFindNext =
        AddAction(&edit, "actFindNext", QStringLiteral("Find Next"), QKeySequence(Qt::Key_F3));
    actSelectDuplicates =
        AddAction(&edit, "actSelectDuplicates", QStringLiteral("Select Duplicate Sounds"));
    ConnectCommand(actFind, [this] { FindClick(); });
    ConnectCommand(actFindNext, [this] { FindNextClick(); });
    ConnectCommand(actSelectDuplicates, [this] { commands_->SelectDuplicateSounds(); });
    for (QAction* action : {actFind, actFindNext, actSelectDuplicates})
        action->setEnabled(true);
}

void TfrmMain::UpdateUndoActions() {
    if (!actUndo)
        return;
    actUndo->setEnabled(history_.CanUndo());
    actRedo->setEnabled(history_.CanRedo());
}

void TfrmMain::FindClick() {
    if (findBar_->isHidden()) {
        connect(findBar_, &FindBar::TextChanged, this, &TfrmMain::FindTextChanged,
                Qt::UniqueConnection);
        connect(findBar_, &FindBar::SelectAllMatchesClicked, this, &TfrmMain::SelectAllMatchesClick,
                Qt::UniqueConnection);
        connect(findBar_, &FindBar::Closed, ListView1, qOverload<>(&QWidget::setFocus),
                Qt::UniqueConnection);
    }
    findBar_->Open();
}

void TfrmMain::FindTextChanged(const QString& text) {
    findBar_->SetStatus(commands_->FindText(text));
}

void TfrmMain::FindNextClick() {
    if (findBar_->isHidden() || findBar_->Text().isEmpty())
        FindClick();
    else
        findBar_->SetStatus(commands_->FindNext(findBar_->Text()));
}

void TfrmMain::SelectAllMatchesClick() {
    findBar_->SetStatus(commands_->SelectAllMatches(findBar_->Text()));
}
