#pragma once

#include "lock_groups.h"
#include "sound_record.h"

#include <QDialog>

#include <array>

class FileChooser;
class MidiOutput;
class Prompter;
class QCheckBox;
class QComboBox;
class QPushButton;
class QTimer;
class TSoundLibrary;

// What the locker works with: the library it reads (never writes), the
// instrument's output, and the questions and file dialog.
struct LockerContext {
    const TSoundLibrary& library;
    MidiOutput& out;
    Prompter& prompter;
    FileChooser& files;
    // The checked boxes, shared with the breeder for the program's run; none
    // when the locker keeps its own.
    LockedGroups* sharedLocks = nullptr;
};

// "Parameter Locker - Randomizer": builds a new sound from the one in the
// instrument's edit buffer. The user locks the sections to keep and steps
// through the library or jumps to a random sound; every unlocked section is
// taken from that sound and the result goes to the edit buffer, where the
// user hears it. Every 500 ms the last choice is applied. exec() returns
// Accepted only from "Keep in library"; WorkingSound() is then the sound to
// keep.
class TfrmLocker : public QDialog {
    Q_OBJECT
public:
    static constexpr int ApplyInterval = 500; // ms

    TfrmLocker(LockerContext context, const TSoundRecord& working, QWidget* parent = nullptr);

    const TSoundRecord& WorkingSound() const { return working_; }
    LockerChoice Choice() const { return choice_; }
    bool ApplyPending() const { return applyPending_; }
    LockedGroups Locked() const;

    // Every activation: the program list shows the library as it is now.
    void FormActivate();
    // Rows the user picked; a rebuild of the lists never runs them.
    void cmbBanksChange(int row);
    void cmbProgramsChange(int row);
    void btnPrevSoundClick();
    void btnNextSoundClick();
    void btnRandomSoundClick();
    void btnSaveClick();
    // The tick of Timer1: applies the last choice, if any.
    void Timer1Timer();

protected:
    bool event(QEvent* event) override;

private:
    void BuildProgramList(int bank);
    // Shows `choice` in both lists and marks it for the next apply.
    void Choose(LockerChoice choice);
    void Apply();

    LockerContext context_;
    TSoundRecord working_;
    LockerChoice choice_;
    bool applyPending_ = false;

    std::array<QCheckBox*, LockGroupCount> lockBoxes_{};
    QComboBox* cmbBanks = nullptr;
    QComboBox* cmbPrograms = nullptr;
    QPushButton* btnPrevSound = nullptr;
    QPushButton* btnNextSound = nullptr;
    QPushButton* btnRandomSound = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnKeep = nullptr;
    QTimer* Timer1 = nullptr;
};
