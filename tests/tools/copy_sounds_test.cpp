// "Copy Sounds": the count box and copies made in the library through the
// window.

#include "frm_copy_sounds.h"
#include "library_list.h"
#include "main_window.h"
#include "sound_library.h"
#include "support/library_contents.h"
#include "support/modal_window.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class CopySoundsTest : public ::testing::Test {
protected:
    CopySoundsTest() {
        library.InitEmptyBanks();
        for (int slot = 0; slot < Slots::Count; ++slot) {
            TSoundRecord sound = library.Sound(slot);
            sound[SoundLayout::BankByte] = static_cast<std::uint8_t>(Slots::BankOf(slot));
            sound[SoundLayout::ProgramByte] = static_cast<std::uint8_t>(Slots::ProgramOf(slot));
            sound[SoundLayout::ParameterByte(0)] = static_cast<std::uint8_t>(slot % 120);
            SetSoundName(sound, "Sound " + Slots::Caption(slot));
            library.StoreSound(slot, sound);
        }
        original = library.Sounds();
        refreshed.slots.clear(); // what the copy window changes, not the set-up
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

    static const TSoundRecord& At(const TSoundLibrary& in, const char* caption) {
        return in.Sound(Slots::FromCaption(caption));
    }
    const TSoundRecord& At(const std::array<TSoundRecord, Slots::Count>&,
                           const char* caption) const {
        return original[static_cast<std::size_t>(Slots::FromCaption(caption))];
    }
    // Slots whose sound or mark differ from the start.
    std::vector<std::string> Touched() const {
        std::vector<std::string> touched;
        for (int slot = 0; slot < Slots::Count; ++slot) {
            if (library.Sound(slot) != original[static_cast<std::size_t>(slot)] ||
                library.IsChanged(slot))
                touched.push_back(Slots::Caption(slot));
        }
        return touched;
    }

    TSoundLibrary library;
    std::array<TSoundRecord, Slots::Count> original;
    SlotsToldOf refreshed{library};
    QStringList memo;
    TfrmCopySounds window{{library, [this](const QString& line) { memo << line; }}};
};

TEST_F(CopySoundsTest, CopiesTheWholeRecordIntoTheRunMarkedAndRefreshed) {
    EXPECT_EQ(Copy("A005", "B010", "3"), QDialog::Accepted);
    for (const char* copy : {"B010", "B011", "B012"})
        EXPECT_EQ(At(library, copy), At(original, "A005")) << copy << ": header bytes included";
    EXPECT_EQ(Touched(), (std::vector<std::string>{"B010", "B011", "B012"}));
    EXPECT_EQ(refreshed.slots,
              (std::vector<int>{Slots::Of(1, 9), Slots::Of(1, 10), Slots::Of(1, 11)}));
    EXPECT_TRUE(memo.isEmpty());
}

TEST_F(CopySoundsTest, ZeroCopiesNothingAndARunFromTheSourceRewritesItWithItself) {
    EXPECT_EQ(Copy("A005", "B010", "0"), QDialog::Accepted);
    EXPECT_TRUE(Touched().empty());
    Copy("A005", "A005", "2");
    EXPECT_EQ(At(library, "A006"), At(original, "A005"));
    EXPECT_EQ(Touched(), (std::vector<std::string>{"A005", "A006"})) << "A005 marked changed";
}

TEST_F(CopySoundsTest, ARunThatWouldPassC128StopsThereAndSaysHowManyWereNotMade) {
    Copy("B001", "C127", "5");
    EXPECT_EQ(Touched(), (std::vector<std::string>{"C127", "C128"}));
    EXPECT_EQ(memo, QStringList{"Copy Sound: 3 copies not made, the library ends at C128."});
}

// The count is corrected when the box is left or the count used, never while
// typing: the last digit can be removed and another typed.
TEST_F(CopySoundsTest, CountBoxTakesDigitsOnlyAndIsCorrectedWhenLeftOrUsed) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.edtCount->setFocus();
    window.edtCount->selectAll();
    QTest::keyClicks(window.edtCount, "3a-0.0 ");
    EXPECT_EQ(window.edtCount->text(), "300") << "digits only";
    QTest::keyClick(window.edtCount, Qt::Key_Tab);
    EXPECT_EQ(window.edtCount->text(), "128") << "corrected on leaving";

    window.edtCount->setFocus();
    window.edtCount->end(false);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(window.edtCount, Qt::Key_Backspace);
    EXPECT_EQ(window.edtCount->text(), "");
    QTest::keyClicks(window.edtCount, "3");
    EXPECT_EQ(window.edtCount->text(), "3");
    window.edtCount->clear();
    QTest::keyClick(window.edtCount, Qt::Key_Tab);
    EXPECT_EQ(window.edtCount->text(), "1") << "an empty box reads 1";

    // Used without leaving the box: "300" copies 128 and shows it.
    EXPECT_EQ(Copy("A001", "A001", "300"), QDialog::Accepted);
    EXPECT_EQ(window.edtCount->text(), "128");
    EXPECT_EQ(Touched().size(), 128u);
}

TEST_F(CopySoundsTest, RebuiltListsShowTheLibraryAndKeepEachSidesProgram) {
    window.cmbPrograms->setCurrentIndex(4);
    window.cmbPrograms2->setCurrentIndex(9);
    window.cmbBanks2->setCurrentIndex(2);
    EXPECT_EQ(window.cmbPrograms2->currentText(), QString("10 Sound C010").leftJustified(3 + 16))
        << "the destination program stays";

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

TEST(CopySoundCommand, OpensTheCopyWindowOnTheLibraryAndShowsTheCopiesChanged) {
    TfrmMain window;
    window.Library().SetSoundName(0, "Source");
    auto* command = window.findChild<QAction*>("actCopySound");
    ASSERT_TRUE(command->isEnabled());
    bool opened = false;
    WhenShown<TfrmCopySounds>([&](TfrmCopySounds& copy) {
        opened = true;
        copy.cmbPrograms2->setCurrentIndex(7);
        copy.btnRandomSound->click();
    });
    command->trigger();
    ASSERT_TRUE(opened);
    EXPECT_EQ(window.List().ShownName(7).trimmed(), "Source");
    EXPECT_EQ(window.List().data(window.List().index(7, LibraryList::StatusColumn)), "Changed");
}

} // namespace
