#pragma once

#include "library_files.h"
#include "saved_library_state.h"

#include <QString>

#include <functional>
#include <vector>

class FileChooser;
class LibraryList;
class Prompter;
class TSoundLibrary;

// The commands that work on the library alone: bank files, selections,
// finding sounds by name and duplicate sounds. They change
// the library through its own members and the list and the history follow;
// what they need of the window reaches it through the outlets.
class LibraryCommands {
public:
    struct Outlets {
        std::function<void(const QString&)> log; // one memo line
        // Scrolls a row into view (a found sound, the first of a selection).
        std::function<void(int slot)> showRow;
        // The keyboard focus to the list, so Enter sends what is selected.
        std::function<void()> focusList;
    };

    LibraryCommands(TSoundLibrary& library, LibraryList& list, Prompter& prompter,
                    FileChooser& fileChooser, Outlets outlets);

    // Sounds moved, renamed, read or edited since the last load or save.
    bool HasUnsavedChanges() const { return saved_.HasUnsavedChanges(library_); }
    // What the library holds now counts as saved (the start-up's library).
    void RememberSaved() { saved_.Remember(library_); }
    LibraryFiles& Files() { return files_; }

    // Bank files: a load or a save of the whole library rebuilds the list and
    // forgets the selection last collected.
    LibraryFiles::Load LoadBankFile(const QString& path);
    void SaveBankFile(const QString& path);
    // "Save changes ?" (Yes, No, Cancel) when the library holds unsaved
    // changes; Yes opens the save dialog. False when the work would be lost
    // after all (Cancel, or the save did not happen).
    bool OfferToSaveChanges();

    // The File menu.
    void NewEmptySoundBanks();
    void LoadFromFile();
    void SaveToFile();
    void SaveSelectedSounds();
    void SaveSeparateFiles();

    // The Edit menu.
    void SelectAllSounds();
    void SelectAllChangedSounds();
    // Selects every sound that repeats an earlier one and lists the pairs.
    void SelectDuplicateSounds();

    // Finding by name: each returns the find bar's status text ("1 of 3",
    // "Not found", "3 selected").
    QString FindText(const QString& text);
    QString FindNext(const QString& text);
    QString SelectAllMatches(const QString& text);

    // "1 sound", "12 sounds".
    static QString SoundCount(int count);

private:
    std::vector<int> CollectedSlots();
    // Writes `slots` to `path` with one summary line; a whole library written
    // becomes the saved state.
    bool SaveSlots(const QString& path, const std::vector<int>& slots);
    // Makes `slot` the only selected row and scrolls it into view.
    void ShowFoundSlot(int slot);
    bool ReplaceAllowed(const QString& path);

    TSoundLibrary& library_;
    LibraryList& list_;
    Prompter& prompter_;
    FileChooser& fileChooser_;
    Outlets outlets_;
    LibraryFiles files_;
    SavedLibraryState saved_;
    // The slot the find bar last showed (-1: none yet).
    int lastFound_ = -1;
};
