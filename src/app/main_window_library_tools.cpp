// The main window's Edit menu tools for the library: undo and redo, finding
// sounds by name, and selecting duplicate sounds.

#include "main_window.h"

#include "find_bar.h"
#include "library_list.h"
#include "library_search.h"
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
    // Not run as commands: an undo is no step of its own.
    connect(actUndo, &QAction::triggered, this, &TfrmMain::UndoClick);
    connect(actRedo, &QAction::triggered, this, &TfrmMain::RedoClick);
    edit.addSeparator();
    actFind =
        AddAction(&edit, "actFind", QStringLiteral("Find..."), QKeySequence(Qt::CTRL | Qt::Key_F));
    actFindNext =
        AddAction(&edit, "actFindNext", QStringLiteral("Find Next"), QKeySequence(Qt::Key_F3));
    actSelectDuplicates =
        AddAction(&edit, "actSelectDuplicates", QStringLiteral("Select Duplicate Sounds"));
    ConnectCommand(actFind, &TfrmMain::FindClick);
    ConnectCommand(actFindNext, &TfrmMain::FindNextClick);
    ConnectCommand(actSelectDuplicates, &TfrmMain::SelectDuplicateSoundsClick);
    for (QAction* action : {actFind, actFindNext, actSelectDuplicates})
        action->setEnabled(true);
}

void TfrmMain::UpdateUndoActions() {
    if (!actUndo)
        return;
    actUndo->setEnabled(history_.CanUndo());
    actRedo->setEnabled(history_.CanRedo());
}

void TfrmMain::ShowRestoredSlots(const std::vector<int>&) {
    UpdateUndoActions();
}

void TfrmMain::UndoClick() {
    ShowRestoredSlots(history_.Undo());
}

void TfrmMain::RedoClick() {
    ShowRestoredSlots(history_.Redo());
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

void TfrmMain::ShowFoundSlot(int slot) {
    lastFound_ = slot;
    list_->SetCurrentRow(slot);
    ListView1->scrollTo(list_->index(slot, 0));
}

void TfrmMain::FindTextChanged(const QString& text) {
    const std::vector<int> matches = SlotsNamedLike(library_, text);
    lastFound_ = -1;
    if (matches.empty()) {
        // Nothing stays selected, so no command acts on an old selection.
        list_->SelectSlots({});
        findBar_->SetStatus(text.isEmpty() ? QString() : QStringLiteral("Not found"));
        return;
    }
    ShowFoundSlot(matches.front());
    findBar_->SetStatus(QStringLiteral("1 of %1").arg(matches.size()));
}

void TfrmMain::FindNextClick() {
    const QString text = findBar_->Text();
    if (findBar_->isHidden() || text.isEmpty()) {
        FindClick();
        return;
    }
    const std::vector<int> matches = SlotsNamedLike(library_, text);
    const int next = NextMatch(matches, lastFound_);
    if (next < 0) {
        findBar_->SetStatus(QStringLiteral("Not found"));
        return;
    }
    ShowFoundSlot(next);
    const auto position = std::find(matches.begin(), matches.end(), next) - matches.begin();
    findBar_->SetStatus(QStringLiteral("%1 of %2").arg(position + 1).arg(matches.size()));
}

void TfrmMain::SelectAllMatchesClick() {
    const std::vector<int> matches = SlotsNamedLike(library_, findBar_->Text());
    list_->SelectSlots(matches);
    if (!matches.empty())
        ListView1->scrollTo(list_->index(matches.front(), 0));
    findBar_->SetStatus(matches.empty() ? QString()
                                        : QStringLiteral("%1 selected").arg(matches.size()));
    ListView1->setFocus(); // Enter sends them, as with any selection
}

void TfrmMain::SelectDuplicateSoundsClick() {
    const std::vector<DuplicateSound> duplicates = FindDuplicateSounds(library_);
    std::vector<int> slots;
    for (const DuplicateSound& duplicate : duplicates) {
        LogMessage(DuplicateLine(library_, duplicate));
        slots.push_back(duplicate.slot);
    }
    list_->SelectSlots(slots);
    if (!slots.empty())
        ListView1->scrollTo(list_->index(slots.front(), 0));
    LogMessage(duplicates.empty() ? QStringLiteral("No duplicate sounds.")
                                  : QStringLiteral("%1 selected: each repeats an earlier sound.")
                                        .arg(SoundCount(static_cast<int>(duplicates.size()))));
    ListView1->setFocus();
}
