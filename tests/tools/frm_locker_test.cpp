#include "frm_locker.h"

#include "app/scripted_dialogs.h"
#include "random_generator.h"
#include "sound_library.h"
#include "support/named_child.h"
#include "support/recording_midi_output.h"
#include "sysex_messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Messages = std::vector<std::vector<std::uint8_t>>;

class LockerWindowTest : public ::testing::Test {
protected:
    LockerWindowTest() {
        // Every parameter of slot s holds s mod 200 + 1; the names tell the slots.
        for (int slot = 0; slot < Slots::Count; ++slot) {
            TSoundRecord sound;
            sound.Bytes.fill(static_cast<std::uint8_t>(slot % 200 + 1));
            SetSoundName(sound, "Lib " + Slots::Caption(slot));
            library.StoreSound(slot, sound);
        }
        working.Bytes.fill(250);
        SetSoundName(working, "Working");
        window =
            std::make_unique<TfrmLocker>(LockerContext{library, out, prompter, chooser}, working);
        Named<QTimer>(*window, "Timer1")->stop(); // the tests run it themselves
    }

    QComboBox* Banks() { return Named<QComboBox>(*window, "cmbBanks"); }
    QComboBox* Programs() { return Named<QComboBox>(*window, "cmbPrograms"); }
    void Click(const char* name) { Named<QPushButton>(*window, name)->click(); }
    void CheckAll() {
        for (const LockGroup& group : LockGroups)
            Named<QCheckBox>(*window, std::string(group.member).c_str())->setChecked(true);
    }
    // The edit-buffer dumps sent, as sounds.
    Messages Dumps() { return std::exchange(out.longMessages, {}); }

    TSoundLibrary library;
    TSoundRecord working;
    RecordingMidiOutput out;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    std::unique_ptr<TfrmLocker> window;
};

} // namespace

TEST_F(LockerWindowTest, OpensOnA1WithEveryBoxOpenAndSendsNothing) {
    EXPECT_EQ(window->windowTitle(), "Parameter Locker - Randomizer");
    EXPECT_EQ(window->objectName(), "TfrmLocker");
    for (const LockGroup& group : LockGroups) {
        auto* box = Named<QCheckBox>(*window, std::string(group.member).c_str());
        EXPECT_EQ(box->text().toStdString(), group.caption);
        EXPECT_FALSE(box->isChecked());
    }
    EXPECT_EQ(Banks()->count(), 3);
    EXPECT_EQ(Banks()->currentText(), "A");
    ASSERT_EQ(Programs()->count(), 128);
    EXPECT_EQ(Programs()->itemText(0), "1 Lib A001        ");
    EXPECT_EQ(Programs()->itemText(127), "128 Lib A128        ");
    EXPECT_EQ(Programs()->currentIndex(), 0);
    EXPECT_EQ(Named<QPushButton>(*window, "btnSave")->text(), "Save Sound to file");
    EXPECT_EQ(Named<QPushButton>(*window, "btnKeep")->text(), "Keep in library");
    window->Timer1Timer();
    EXPECT_TRUE(out.Empty());
}

TEST_F(LockerWindowTest, AppliesOnlyTheLastChoiceWithTheBoxesCheckedThen) {
    // Every box checked: nothing changes, but the sound is still sent.
    CheckAll();
    Click("btnRandomSound");
    Click("btnNextSound");
    window->Timer1Timer();
    EXPECT_EQ(Dumps(), Messages{EditBufferDumpMessage(working)});

    // No box: the chosen sound's sections, the working sound's name and
    // ungrouped parameters. Only one apply per choice.
    for (const LockGroup& group : LockGroups)
        Named<QCheckBox>(*window, std::string(group.member).c_str())->setChecked(false);
    Click("btnNextSound");
    window->Timer1Timer();
    window->Timer1Timer();
    const LockerChoice chosen = window->Choice();
    const TSoundRecord expected =
        MergeUnlocked(working, library.Sound(chosen.Slot()), LockedGroups{});
    EXPECT_EQ(window->WorkingSound(), expected);
    EXPECT_EQ(GetSoundName(expected), "Working         ");
    EXPECT_EQ(Dumps(), Messages{EditBufferDumpMessage(expected)});
}

TEST_F(LockerWindowTest, BankSwitchKeepsTheProgramAndStepsWrapAround) {
    Programs()->setCurrentIndex(16);
    Q_EMIT Programs()->activated(16); // the user picks program 17
    Banks()->setCurrentIndex(1);
    Q_EMIT Banks()->activated(1); // then bank B
    EXPECT_EQ(window->Choice(), (LockerChoice{2, 17}));
    EXPECT_EQ(Programs()->currentIndex(), 16);
    EXPECT_EQ(Programs()->itemText(16), "17 Lib B017        ");

    // Prev from B1 goes to A128, with both lists following.
    Programs()->setCurrentIndex(0);
    Q_EMIT Programs()->activated(0);
    Click("btnPrevSound");
    EXPECT_EQ(window->Choice(), (LockerChoice{1, 128}));
    EXPECT_EQ(Banks()->currentText(), "A");
    EXPECT_EQ(Programs()->currentText(), "128 Lib A128        ");

    // Random Sound draws the program, then the bank.
    SharedGenerator().SetSeed(777);
    RandomGenerator replay(777);
    const int program = static_cast<int>(replay.Random(128)) + 1;
    const int bank = static_cast<int>(replay.Random(3)) + 1;
    Click("btnRandomSound");
    EXPECT_EQ(window->Choice(), (LockerChoice{bank, program}));
    EXPECT_EQ(Banks()->currentIndex(), bank - 1);
    EXPECT_EQ(Programs()->currentIndex(), program - 1);
}

TEST_F(LockerWindowTest, ActivationRebuildsTheRowsWithoutChoosingAnything) {
    Click("btnNextSound");
    window->Timer1Timer();
    Dumps();
    // A raw name: control characters are shown, not dropped.
    {
        TSoundRecord edited = library.Sound(1);
        edited[SoundLayout::NameOffset] = 0x07;
        library.StoreSound(1, edited);
    }
    window->FormActivate();
    EXPECT_EQ(Programs()->itemText(1), QString("2 \u0007ib A002        "));
    EXPECT_EQ(Programs()->currentIndex(), 1);
    EXPECT_FALSE(window->ApplyPending());
    window->Timer1Timer();
    EXPECT_TRUE(Dumps().empty());
    // "No row" is no choice.
    window->cmbProgramsChange(-1);
    window->cmbBanksChange(-1);
    EXPECT_FALSE(window->ApplyPending());
}

TEST_F(LockerWindowTest, SavesAsProgramA001AndAsksBeforeReplacing) {
    QTemporaryDir folder;
    const QString path = folder.filePath("locked.syx");
    chooser.paths = {path};
    Click("btnSave");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    const auto expected = ProgramDumpMessage(working, 0, 0);
    EXPECT_EQ(bytes, QByteArray(reinterpret_cast<const char*>(expected.data()),
                                static_cast<qsizetype>(expected.size())));
    EXPECT_EQ(window->WorkingSound()[SoundLayout::BankByte], 0);
    EXPECT_TRUE(prompter.questions.isEmpty());

    // An existing file and No: nothing is written.
    Click("btnNextSound");
    window->Timer1Timer();
    chooser.paths = {path};
    prompter.answers = {Prompter::Answer::No};
    Click("btnSave");
    EXPECT_EQ(prompter.questions, QStringList{"Do you want to replace it?"});
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(LockerWindowTest, KeepInLibraryIsTheOnlyConfirmingClose) {
    window->show();
    window->close();
    EXPECT_EQ(window->result(), QDialog::Rejected);
    window->show();
    Click("btnKeep");
    EXPECT_EQ(window->result(), QDialog::Accepted);
}
