#include "library_commands.h"

#include "file_chooser.h"
#include "library_list.h"
#include "library_search.h"
#include "prompter.h"
#include "sound_library.h"

#include <QFileInfo>

#include <algorithm>
#include <numeric>

LibraryCommands::LibraryCommands(TSoundLibrary& library, LibraryList& list, Prompter& prompter,
                                 FileChooser& fileChooser, Outlets outlets)
    : library_(library), list_(list), prompter_(prompter), fileChooser_(fileChooser),
      outlets_(std::move(outlets)), files_(library_, prompter_, [this](const QString& line) {
          if (outlets_.log)
              outlets_.log(line);
      }) {}

QString LibraryCommands::SoundCount(int count) {
    return count == 1 ? QStringLiteral("1 sound") : QStringLiteral("%1 sounds").arg(count);
}

std::vector<int> LibraryCommands::CollectedSlots() {
    list_.CollectSelection();
    return library_.SelectedSlots();
}

LibraryFiles::Load LibraryCommands::LoadBankFile(const QString& path) {
    std::vector<int> placed;
    const LibraryFiles::Load load = files_.LoadBankFile(path, &placed);
    if (load == LibraryFiles::Load::NotRead)
        return load; // after a read error the list stays as it was
    // The slots the file filled are as saved; a slot it left alone keeps
    // its unsaved work, also when the file held nothing usable.
    saved_.Remember(library_, placed);
    list_.RebuildList();
    library_.SetSelection({});
    return load;
}

void LibraryCommands::SaveBankFile(const QString& path) {
    if (files_.SaveBankFile(path))
        saved_.Remember(library_);
    list_.RebuildList();
    library_.SetSelection({});
}

bool LibraryCommands::SaveSlots(const QString& path, const std::vector<int>& slots) {
    if (!files_.SaveSlotsToFile(path, slots))
        return false;
    if (slots.size() == static_cast<std::size_t>(Slots::Count))
        saved_.Remember(library_);
    if (outlets_.log)
        outlets_.log(
            QStringLiteral("Saved %1 to %2.")
                .arg(SoundCount(static_cast<int>(slots.size())), QFileInfo(path).fileName()));
    return true;
}

bool LibraryCommands::ReplaceAllowed(const QString& path) {
    return !QFileInfo::exists(path) ||
           prompter_.Confirm(QStringLiteral("Do you want to replace it?")) == Prompter::Answer::Yes;
}

bool LibraryCommands::OfferToSaveChanges() {
    if (!HasUnsavedChanges())
        return true;
    switch (prompter_.Confirm(QStringLiteral("Save changes ?"), Prompter::Buttons::YesNoCancel)) {
    case Prompter::Answer::No:
        return true;
    case Prompter::Answer::Cancel:
        return false;
    case Prompter::Answer::Yes:
        break;
    }
    const QString path = fileChooser_.SaveFileName();
    if (path.isEmpty() || !ReplaceAllowed(path))
        return false;
    std::vector<int> all(Slots::Count);
    std::iota(all.begin(), all.end(), 0);
    return SaveSlots(path, all);
}

void LibraryCommands::NewEmptySoundBanks() {
    if (!OfferToSaveChanges())
        return;
    library_.InitEmptyBanks();
    saved_.Remember(library_); // a fresh start, as after a load
    list_.RebuildList();
}

void LibraryCommands::LoadFromFile() {
    if (HasUnsavedChanges() &&
        prompter_.Confirm(QStringLiteral("Save changes ?")) == Prompter::Answer::Yes)
        SaveSeparateFiles();
    const QString path = fileChooser_.OpenFileName();
    if (path.isEmpty())
        return;
    LoadBankFile(path);
}

void LibraryCommands::SaveToFile() {
    SelectAllSounds();
    SaveSelectedSounds();
}

void LibraryCommands::SaveSelectedSounds() {
    const std::vector<int> slots = CollectedSlots();
    const QString path = fileChooser_.SaveFileName();
    if (path.isEmpty())
        return;
    if (slots.empty()) {
        if (outlets_.log)
            outlets_.log(QStringLiteral("Nothing saved: no sounds are selected."));
        return;
    }
    if (ReplaceAllowed(path))
        SaveSlots(path, slots);
}

void LibraryCommands::SaveSeparateFiles() {
    const QString chosen = fileChooser_.SaveFileName();
    if (chosen.isEmpty())
        return;
    if (CollectedSlots().size() < 2 &&
        prompter_.Confirm(QStringLiteral("Select all?")) == Prompter::Answer::Yes)
        SelectAllSounds();
    files_.SaveSeparateFiles(chosen, CollectedSlots());
}

void LibraryCommands::SelectAllSounds() {
    list_.SelectAll();
    if (outlets_.focusList)
        outlets_.focusList();
}

void LibraryCommands::SelectAllChangedSounds() {
    for (int slot = 0; slot < list_.rowCount(); ++slot)
        if (library_.IsChanged(slot))
            list_.selectionModel()->select(list_.index(slot, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    if (outlets_.focusList)
        outlets_.focusList();
}

void LibraryCommands::SelectDuplicateSounds() {
    const std::vector<DuplicateSound> duplicates = FindDuplicateSounds(library_);
    std::vector<int> slots;
    for (const DuplicateSound& duplicate : duplicates) {
        if (outlets_.log)
            outlets_.log(DuplicateLine(library_, duplicate));
        slots.push_back(duplicate.slot);
    }
    list_.SelectSlots(slots);
    if (!slots.empty() && outlets_.showRow)
        outlets_.showRow(slots.front());
    if (outlets_.log)
        outlets_.log(duplicates.empty()
                         ? QStringLiteral("No duplicate sounds.")
                         : QStringLiteral("%1 selected: each repeats an earlier sound.")
                               .arg(SoundCount(static_cast<int>(duplicates.size()))));
    if (outlets_.focusList)
        outlets_.focusList();
}

void LibraryCommands::ShowFoundSlot(int slot) {
    lastFound_ = slot;
    list_.SetCurrentRow(slot);
    if (outlets_.showRow)
        outlets_.showRow(slot);
}

QString LibraryCommands::FindText(const QString& text) {
    const std::vector<int> matches = SlotsNamedLike(library_, text);
    lastFound_ = -1;
    if (matches.empty()) {
        // Nothing stays selected, so no command acts on an old selection.
        list_.SelectSlots({});
        return text.isEmpty() ? QString() : QStringLiteral("Not found");
    }
    ShowFoundSlot(matches.front());
    return QStringLiteral("1 of %1").arg(matches.size());
}

QString LibraryCommands::FindNext(const QString& text) {
    const std::vector<int> matches = SlotsNamedLike(library_, text);
    const int next = NextMatch(matches, lastFound_);
    if (next < 0)
        return QStringLiteral("Not found");
    ShowFoundSlot(next);
    const auto position = std::find(matches.begin(), matches.end(), next) - matches.begin();
    return QStringLiteral("%1 of %2").arg(position + 1).arg(matches.size());
}

QString LibraryCommands::SelectAllMatches(const QString& text) {
    const std::vector<int> matches = SlotsNamedLike(library_, text);
    list_.SelectSlots(matches);
    if (!matches.empty() && outlets_.showRow)
        outlets_.showRow(matches.front());
    if (outlets_.focusList)
        outlets_.focusList(); // Enter sends them, as with any selection
    return matches.empty() ? QString() : QStringLiteral("%1 selected").arg(matches.size());
}
