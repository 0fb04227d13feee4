// Undo and redo of the library, finding sounds by name and selecting
// duplicate sounds, as a musician runs them against the built-in instrument.

#include "frm_copy_sounds.h"
#include "frm_patch_edit_simple.h"
#include "instrument_commands.h"
#include "library_list.h"
#include "library_table_view.h"
#include "main_window.h"
#include "scripted_dialogs.h"
#include "support/library_contents.h"
#include "support/main_window_on_instrument.h"
#include "support/main_window_probes.h"
#include "support/modal_window.h"
#include "support/named_child.h"
#include "support/selected_rows.h"
#include "test_files.h"

#include "bank_file.h"
#include "builtin_instrument_service.h"
#include "virtual_mopho.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

class LibraryUndoFindTest : public ::testing::Test, protected MainWindowOnInstrument {
protected:
    LibraryUndoFindTest() { window->Instrument().SetSendDelay(0); }

    void Trigger(const char* action) { Named<QAction>(*window, action)->trigger(); }
    LibraryTableView* View() { return Named<LibraryTableView>(*window, "ListView1"); }
    std::vector<int> Selected() { return SelectedRowsOf(*window->List().selectionModel()); }
    LibraryContents Now() { return ContentsOf(window->Library()); }
    // The list on screen shows what a list built afresh shows: the names and
    // "Changed" marks of the library.
    void ExpectListShowsTheLibrary() {
        LibraryList fresh(window->Library());
        fresh.RebuildList();
        ASSERT_EQ(window->List().rowCount(), fresh.rowCount());
        for (int row = 0; row < fresh.rowCount(); ++row) {
            ASSERT_EQ(window->List().ShownName(row), fresh.ShownName(row)) << row;
            ASSERT_EQ(window->List().ShownStatus(row), fresh.ShownStatus(row)) << row;
        }
    }
    void Rename(int row, const QString& name) {
        window->List().SetCurrentRow(row);
        WhenShown<TfrmPatchEditSimple>([name](TfrmPatchEditSimple& dialog) {
            dialog.findChild<QLineEdit*>("edtName")->setText(name);
            dialog.accept();
        });
        Q_EMIT View()->doubleClicked(window->List().index(row, 0));
    }
};

TEST_F(LibraryUndoFindTest, EveryKindOfChangeIsOneStepUndoneAndRedoneWithTheList) {
    QTemporaryDir folder;
    const QString bankPath = folder.filePath("two.syx");
    TSoundRecord loaded = VirtualMopho::FactorySound(3);
    SetSoundName(loaded, "Loaded Lead");
    const std::vector<std::pair<int, TSoundRecord>> fileSounds{{0, loaded}, {200, loaded}};
    const auto bytes = BankFileBytes(fileSounds);
    WriteAll(bankPath, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                  static_cast<qsizetype>(bytes.size())));

    std::vector<std::pair<QString, LibraryContents>> states{{"start", Now()}};
    const auto step = [&](const QString& what, const std::function<void()>& command) {
        command();
        ASSERT_TRUE(Now() != states.back().second) << what.toStdString();
        states.emplace_back(what, Now());
        ASSERT_EQ(window->History().UndoCount(), states.size() - 1) << what.toStdString();
    };
    step("read all", [&] { Trigger("actReadAllBanks"); }); // 384 sounds, one step
    step("move down", [&] {
        window->List().SetCurrentRow(3);
        Named<QPushButton>(*window, "btnDown")->click();
    });
    step("drag swap", [&] { Q_EMIT View()->SoundDropped(10, 20); });
    step("move to", [&] {
        window->List().SetCurrentRow(30);
        Q_EMIT View()->MoveTargetClicked(33);
    });
    step("rename", [&] { Rename(7, "Zebra"); });
    step("sort", [&] {
        window->List().SelectSlots({5, 6, 7, 8});
        Trigger("actOrderByName");
    });
    step("read one in the middle", [&] {
        window->List().SetCurrentRow(8);
        Trigger("actReadCurrentSound");
    });
    step("move up", [&] {
        window->List().SetCurrentRow(50);
        QTest::keyClick(View(), Qt::Key_Minus, Qt::KeypadModifier | Qt::ControlModifier);
    });
    step("copy", [&] {
        WhenShown<TfrmCopySounds>([](TfrmCopySounds& copy) {
            copy.cmbPrograms2->setCurrentIndex(60); // A001 into A061..A063
            copy.edtCount->setText(QStringLiteral("3"));
            copy.btnRandomSound->click();
        });
        Trigger("actCopySound");
    });
    prompter.answers = {Prompter::Answer::No}; // "Save changes ?"
    step("new", [&] { Trigger("actNewEmptyBanks"); });
    chooser.paths = {bankPath};
    step("load", [&] { Trigger("actLoadBankFile"); });
    ASSERT_EQ(window->Library().GetSoundName(200), "Loaded Lead     ");

    // Sending is no step: it only rewrites location bytes and clears marks.
    window->List().SelectSlots({200});
    Trigger("actSendSelectedSounds");
    EXPECT_EQ(window->History().UndoCount(), states.size() - 1);
    states.back().second = Now();

    for (std::size_t index = states.size() - 1; index-- > 0;) {
        Trigger("actUndo");
        ASSERT_TRUE(Now() == states[index].second)
            << "undo to " << states[index].first.toStdString();
        ExpectListShowsTheLibrary();
    }
    EXPECT_FALSE(Named<QAction>(*window, "actUndo")->isEnabled());
    for (std::size_t index = 1; index < states.size(); ++index) {
        Trigger("actRedo");
        ASSERT_TRUE(Now() == states[index].second)
            << "redo to " << states[index].first.toStdString();
        ExpectListShowsTheLibrary();
    }
    EXPECT_FALSE(Named<QAction>(*window, "actRedo")->isEnabled());
    EXPECT_TRUE(Named<QAction>(*window, "actUndo")->isEnabled());
}

TEST_F(LibraryUndoFindTest, FindSelectsNamesInWindows1252AndF3MovesOnAndWraps) {
    TSoundLibrary& library = window->Library();
    library.SetSoundName(12, "Caf\xE9 Lead"); // é as one byte
    library.SetSoundName(140, "CAF\xC9 Pad"); // É
    library.SetSoundName(300, "M\xFC"
                              "de Bass"); // ü
    window->List().RebuildList();
    const QStringList memoBefore = MemoLines(*window);

    Trigger("actFind");
    auto* bar = Named<QWidget>(*window, "pnlFind");
    auto* text = Named<QLineEdit>(*window, "edtFind");
    auto* status = Named<QLabel>(*window, "lblFindStatus");
    ASSERT_FALSE(bar->isHidden());
    text->setText(QStringLiteral("café"));
    EXPECT_EQ(Selected(), std::vector<int>{12});
    EXPECT_EQ(status->text(), "1 of 2");
    Trigger("actFindNext");
    EXPECT_EQ(Selected(), std::vector<int>{140});
    Trigger("actFindNext"); // wraps to the first
    EXPECT_EQ(Selected(), std::vector<int>{12});

    text->setText(QStringLiteral("MÜDE"));
    EXPECT_EQ(Selected(), std::vector<int>{300});

    // The matches selected are what the described commands act on.
    text->setText(QStringLiteral("CAF"));
    Named<QPushButton>(*window, "btnSelectAllMatches")->click();
    EXPECT_EQ(Selected(), (std::vector<int>{12, 140}));
    QTemporaryDir folder;
    chooser.paths = {folder.filePath("cafe.syx")};
    Trigger("actSaveSelectedSounds");
    EXPECT_EQ(ReadAll(folder.filePath("cafe.syx")).size(), 2 * 300);

    // An empty text selects nothing and says nothing; no match selects nothing.
    text->setText(QString());
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(status->text(), "");
    text->setText(QStringLiteral("cafe"));
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(status->text(), "Not found");
    EXPECT_EQ(MemoLines(*window).size(), memoBefore.size() + 1); // the save's line only

    QTest::keyClick(text, Qt::Key_Escape);
    EXPECT_TRUE(bar->isHidden());
}

TEST_F(LibraryUndoFindTest, LettersTypedIntoTheFindBarAreTextNotNotes) {
    window->Library().SetSoundName(40, "Faded Bass");
    window->List().RebuildList();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    Trigger("actFind");
    auto* text = Named<QLineEdit>(*window, "edtFind");
    ASSERT_TRUE(text->hasFocus());
    // Keys as the window system delivers them: into the window first.
    for (const char key : std::string("fade"))
        QTest::keyClick(window->windowHandle(), key);
    EXPECT_EQ(text->text(), "fade");
    EXPECT_EQ(Selected(), std::vector<int>{40});
}

TEST_F(LibraryUndoFindTest, DuplicatesUnderOtherNamesAreSelectedAndListed) {
    TSoundLibrary& library = window->Library();
    for (int slot = 0; slot < Slots::Count; ++slot) { // every sound different
        TSoundRecord record = VirtualMopho::FactorySound(slot);
        record[SoundLayout::ParameterByte(0)] = static_cast<std::uint8_t>(slot % 128);
        record[SoundLayout::ParameterByte(1)] = static_cast<std::uint8_t>(slot / 128);
        library.StoreSound(slot, record);
    }
    library.SetSoundName(2, "Fat Bass");
    library.StoreSound(144, library.Sound(2));
    library.SetSoundName(144, "Copy of Bass");
    {
        TSoundRecord edited = library.Sound(144);
        edited[SoundLayout::BankByte] = 1;
        library.StoreSound(144, edited);
    }
    {
        TSoundRecord edited = library.Sound(144);
        edited[SoundLayout::ProgramByte] = 16;
        library.StoreSound(144, edited);
    }
    window->List().RebuildList();

    Trigger("actSelectDuplicates");
    EXPECT_EQ(Selected(), std::vector<int>{144});
    const QStringList memo = MemoLines(*window);
    EXPECT_EQ(
        memo.mid(memo.size() - 2),
        (QStringList{"B017 = A003 Fat Bass", "1 sound selected: each repeats an earlier sound."}));
}

} // namespace
