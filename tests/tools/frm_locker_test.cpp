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

class LockerWindowTest : public ::testing::Test {
protected:
    LockerWindowTest() {
        // Every parameter of slot s holds s mod 200 + 1; the names tell the slots.
        for (int slot = 0; slot < Slots::Count; ++slot) {
            TSoundRecord& sound = library.SoundBanks[static_cast<std::size_t>(slot)];
            sound.Bytes.fill(static_cast<std::uint8_t>(slot % 200 + 1));
            SetSoundName(sound, "Lib " + Slots::Caption(slot));
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
    std::vector<std::vector<std::uint8_t>> Dumps() { return std::exchange(out.longMessages, {}); }

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

TEST_F(LockerWindowTest, OpenBoxesTakeTheSoundAndKeepTheUngroupedParameters) {
    Click("btnNextSound"); // A2, slot 1: every byte 2
    EXPECT_EQ(window->Choice(), (LockerChoice{1, 2}));
    EXPECT_EQ(Programs()->currentIndex(), 1);
    window->Timer1Timer();
    const auto dumps = Dumps();
    ASSERT_EQ(dumps.size(), 1u);
    EXPECT_EQ(dumps[0], EditBufferDumpMessage(window->WorkingSound()));
    const TSoundRecord& result = window->WorkingSound();
    for (int p = 0; p < SoundLayout::ParameterCount; ++p) {
        const bool grouped = p <= 108 || (p >= 120 && p <= 183);
        EXPECT_EQ(result[SoundLayout::ParameterByte(p)],
                  grouped ? 2 : working[SoundLayout::ParameterByte(p)])
            << p;
    }
    EXPECT_EQ(GetSoundName(result), "Working         ");
    // Only one apply per choice.
    window->Timer1Timer();
    EXPECT_TRUE(Dumps().empty());
}

TEST_F(LockerWindowTest, EveryBoxCheckedChangesNothingButStillSends) {
    CheckAll();
    Click("btnRandomSound");
    Click("btnNextSound");
    window->Timer1Timer(); // only the last choice is applied
    const auto dumps = Dumps();
    ASSERT_EQ(dumps.size(), 1u);
    EXPECT_EQ(window->WorkingSound(), working);
    EXPECT_EQ(dumps[0], EditBufferDumpMessage(working));
}

TEST_F(LockerWindowTest, BankSwitchKeepsTheProgramAndStepsWrapAround) {
    Programs()->setCurrentIndex(16);
    Q_EMIT Programs()->activated(16); // the user picks program 17
    Banks()->setCurrentIndex(1);
    Q_EMIT Banks()->activated(1); // then bank B
    EXPECT_EQ(window->Choice(), (LockerChoice{2, 17}));
    EXPECT_EQ(Programs()->currentIndex(), 16);
    EXPECT_EQ(Programs()->itemText(16), "17 Lib B017        ");

    // Prev from A1 goes to C128, Next from C128 to A1, with both lists following.
    Banks()->setCurrentIndex(0);
    Q_EMIT Banks()->activated(0);
    Programs()->setCurrentIndex(0);
    Q_EMIT Programs()->activated(0);
    Click("btnPrevSound");
    EXPECT_EQ(window->Choice(), (LockerChoice{3, 128}));
    EXPECT_EQ(Banks()->currentText(), "C");
    EXPECT_EQ(Programs()->currentText(), "128 Lib C128        ");
    Click("btnNextSound");
    EXPECT_EQ(window->Choice(), (LockerChoice{1, 1}));
    EXPECT_EQ(Programs()->currentText(), "1 Lib A001        ");

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
    library.SoundBanks[1][SoundLayout::NameOffset] = 0x07;
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
