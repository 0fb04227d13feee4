// "Copy Sounds": the run's arithmetic, the count box, and copies made in
// the library through the window.

#include "copy_run.h"
#include "frm_copy_sounds.h"
#include "sound_library.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(CopyRunTest, RunsStopAtTheLastSlot) {
    struct Case {
        const char* destination;
        int count;
        int made;
        int notMade;
    };
    for (const Case& run : {Case{"B010", 3, 3, 0}, Case{"A001", 0, 0, 0}, Case{"A001", 128, 128, 0},
                            Case{"C127", 5, 2, 3}, Case{"C128", 1, 1, 0}, Case{"C128", 2, 1, 1}}) {
        const CopyRun planned = PlanCopyRun(Slots::FromCaption(run.destination), run.count);
        EXPECT_EQ(planned.first, Slots::FromCaption(run.destination));
        EXPECT_EQ(planned.made, run.made) << run.destination << " x " << run.count;
        EXPECT_EQ(planned.notMade, run.notMade) << run.destination << " x " << run.count;
    }
}

TEST(CopyRunTest, CountBoxTextIsCorrectedToANumberUpTo128) {
    const std::pair<const char*, const char*> cases[] = {
        {"300", "128"}, {"", "1"},      {"129", "128"}, {"128", "128"},
        {"0", "0"},     {"007", "007"}, {"12a", "1"},   {"99999999999999999999", "128"},
    };
    for (const auto& [typed, shown] : cases)
        EXPECT_EQ(CorrectedCountText(typed), shown) << '"' << typed << '"';
    EXPECT_EQ(CountFromText("007"), 7);
    EXPECT_EQ(CountFromText("300"), 128);
    EXPECT_EQ(CountFromText(""), 1);
}

class CopySoundsTest : public ::testing::Test {
protected:
    CopySoundsTest() {
        library.InitEmptyBanks();
        for (int slot = 0; slot < Slots::Count; ++slot) {
            TSoundRecord& sound = library.SoundBanks[static_cast<std::size_t>(slot)];
            sound[SoundLayout::BankByte] = static_cast<std::uint8_t>(Slots::BankOf(slot));
            sound[SoundLayout::ProgramByte] = static_cast<std::uint8_t>(Slots::ProgramOf(slot));
            sound[SoundLayout::ParameterByte(0)] = static_cast<std::uint8_t>(slot % 120);
            library.SetSoundName(slot, "Sound " + Slots::Caption(slot));
        }
        original = library;
    }

    // The user's picks in the window, then "Copy Sound".
    int Copy(const char* source, const char* destination, const QString& count) {
        const int from = Slots::FromCaption(source);
        const int to = Slots::FromCaption(destination);
        window.cmbBanks->setCurrentIndex(Slots::BankOf(from));
        window.cmbPrograms->setCurrentIndex(Slots::ProgramOf(from));
        window.cmbBanks2->setCurrentIndex(Slots::BankOf(to));
        window.cmbPrograms2->setCurrentIndex(Slots::ProgramOf(to));
        window.edtCount->setText(count);
        window.btnRandomSound->click();
        return window.result();
    }

    const TSoundRecord& Sound(const char* caption) const {
        return library.SoundBanks[static_cast<std::size_t>(Slots::FromCaption(caption))];
    }
    const TSoundRecord& Original(const char* caption) const {
        return original.SoundBanks[static_cast<std::size_t>(Slots::FromCaption(caption))];
    }
    // Slots whose sound or mark differ from the start.
    std::vector<std::string> Touched() const {
        std::vector<std::string> touched;
        for (int slot = 0; slot < Slots::Count; ++slot) {
            const auto i = static_cast<std::size_t>(slot);
            if (library.SoundBanks[i] != original.SoundBanks[i] || library.SlotChanged[i])
                touched.push_back(Slots::Caption(slot));
        }
        return touched;
    }

    TSoundLibrary library;
    TSoundLibrary original;
    std::vector<int> refreshed;
    QStringList memo;
    TfrmCopySounds window{{library, [this](int slot) { refreshed.push_back(slot); },
                           [this](const QString& line) { memo << line; }}};
};

TEST_F(CopySoundsTest, CopiesTheWholeRecordIntoTheRunMarkedAndRefreshed) {
    EXPECT_EQ(window.windowTitle(), "Copy Sounds");
    EXPECT_EQ(window.btnRandomSound->text(), "Copy Sound");
    EXPECT_EQ(Copy("A005", "B010", "3"), QDialog::Accepted);
    for (const char* copy : {"B010", "B011", "B012"}) {
        EXPECT_EQ(Sound(copy), Original("A005")) << copy << ": header bytes included";
        EXPECT_TRUE(library.IsChanged(Slots::FromCaption(copy))) << copy;
    }
    EXPECT_EQ(Touched(), (std::vector<std::string>{"B010", "B011", "B012"}));
    EXPECT_EQ(refreshed, (std::vector<int>{Slots::Of(1, 9), Slots::Of(1, 10), Slots::Of(1, 11)}));
    EXPECT_TRUE(memo.isEmpty());
}

TEST_F(CopySoundsTest, NoCopiesForZeroAndTheSameSlotRewrittenWithItself) {
    EXPECT_EQ(Copy("A005", "B010", "0"), QDialog::Accepted);
    EXPECT_TRUE(Touched().empty());
    EXPECT_TRUE(refreshed.empty());

    Copy("A005", "A005", "2");
    EXPECT_EQ(Sound("A005"), Original("A005"));
    EXPECT_EQ(Sound("A006"), Original("A005"));
    EXPECT_EQ(Touched(), (std::vector<std::string>{"A005", "A006"}));
}

TEST_F(CopySoundsTest, ARunThatWouldPassC128StopsThereAndSaysHowManyWereNotMade) {
    Copy("B001", "C127", "5");
    EXPECT_EQ(Touched(), (std::vector<std::string>{"C127", "C128"}));
    EXPECT_EQ(Sound("C128"), Original("B001"));
    EXPECT_EQ(memo, QStringList{"Copy Sound: 3 copies not made, the library ends at C128."});
}

TEST_F(CopySoundsTest, CountBoxTakesDigitsOnlyAndStaysANumberUpTo128) {
    window.show();
    window.edtCount->setFocus();
    window.edtCount->selectAll();
    QTest::keyClicks(window.edtCount, "3a-0.0 ");
    EXPECT_EQ(window.edtCount->text(), "128") << "300 typed, the rest dropped";
    QTest::keyClick(window.edtCount, Qt::Key_Backspace);
    EXPECT_EQ(window.edtCount->text(), "12");
    QTest::keyClick(window.edtCount, Qt::Key_Backspace);
    QTest::keyClick(window.edtCount, Qt::Key_Backspace);
    EXPECT_EQ(window.edtCount->text(), "1") << "an empty box reads 1";
}

TEST_F(CopySoundsTest, RebuiltListsShowTheLibraryAndKeepEachSidesProgram) {
    window.cmbPrograms->setCurrentIndex(4);
    window.cmbPrograms2->setCurrentIndex(9);
    window.cmbBanks2->setCurrentIndex(2);
    EXPECT_EQ(window.cmbPrograms2->currentIndex(), 9) << "the destination program stays";
    EXPECT_EQ(window.cmbPrograms2->currentText(), QString("10 Sound C010").leftJustified(3 + 16));
    EXPECT_EQ(window.DestinationBank(), 2);

    // A rename while another window was in front: the next activation shows it,
    // and the rebuild changes none of the choices.
    library.SetSoundName(Slots::Of(0, 4), "Renamed");
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&window, &activate);
    EXPECT_EQ(window.cmbPrograms->currentText(), QString("5 Renamed").leftJustified(2 + 16));
    EXPECT_EQ(window.SourceProgram(), 4);
    EXPECT_EQ(window.DestinationProgram(), 9);
    EXPECT_EQ(window.DestinationBank(), 2);
}

} // namespace
