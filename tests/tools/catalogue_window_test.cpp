// The Sound Catalogue window: finding as the user types, hearing each sound
// as the arrows move, and putting sounds into the library; and the main
// window's side: its menu item, a catalogue that cannot be opened, drops.

#include "app/scripted_dialogs.h"
#include "bank_file.h"
#include "catalogue_list_model.h"
#include "catalogue_location.h"
#include "file_io.h"
#include "frm_catalogue.h"
#include "library_list.h"
#include "library_table_view.h"
#include "main_window.h"
#include "sound_library.h"
#include "support/recording_midi_output.h"
#include "support/sound_builder.h"
#include "sysex_messages.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using sound_builder::Sound;

namespace {

class NoImports : public ImportChooser {
public:
    QStringList BankFiles() override { return {}; }
    QString Folder() override { return {}; }
};

class CatalogueWindowTest : public testing::Test {
protected:
    CatalogueWindowTest() {
        auto made = SoundCatalogue::Open(folder.filePath("catalogue.sqlite").toStdString());
        catalogue = std::move(std::get<std::unique_ptr<SoundCatalogue>>(made));
        const std::string bank = folder.filePath("bank.syx").toStdString();
        sound_builder::WriteBank(bank, sounds);
        catalogue->ImportPaths(std::vector{bank});
        library.InitEmptyBanks();
        library.SetSlotCount(Slots::Count);
        window = std::make_unique<TfrmCatalogue>(
            CatalogueContext{*catalogue, library, out, prompter, files, imports,
                             [this] { return currentRow; }, [this] { return selectedRows; },
                             [this](const std::vector<LibraryPlacement>& p) { placed = p; },
                             [this](const TSoundRecord& sound) { opened = sound; }},
            nullptr, [this] { return now; });
        window->show();
    }

    template <typename T> T* Child(const char* name) {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QTableView* List() { return Child<QTableView>("tblSounds"); }
    std::vector<std::uint8_t> Heard(const TSoundRecord& sound) {
        return EditBufferDumpMessage(sound);
    }
    // Sound i as the catalogue keeps it: with the header the bank file gave it.
    TSoundRecord Stored(int i) const {
        TSoundRecord sound = sounds[static_cast<std::size_t>(i)];
        sound[SoundLayout::ProgramByte] = static_cast<std::uint8_t>(i);
        return sound;
    }

    QTemporaryDir folder;
    const std::vector<TSoundRecord> sounds = {Sound("Fat Bass", 1), Sound("Warm Pad", 2),
                                              Sound("Acid Bass", 3), Sound("Sub BASS", 4)};
    std::unique_ptr<SoundCatalogue> catalogue;
    TSoundLibrary library;
    RecordingMidiOutput out;
    ScriptedPrompter prompter;
    ScriptedFileChooser files;
    NoImports imports;
    int currentRow = -1;
    std::vector<int> selectedRows;
    std::vector<LibraryPlacement> placed;
    std::optional<TSoundRecord> opened;
    std::chrono::microseconds now{1'000'000};
    std::unique_ptr<TfrmCatalogue> window;
};

TEST_F(CatalogueWindowTest, ArrowsPlayEachFoundSoundAndAFastRunSendsOnlyTheLast) {
    QTest::keyClicks(Child<QLineEdit>("edtSearch"), "bass");
    EXPECT_EQ(List()->model()->rowCount(), 3); // Acid Bass, Fat Bass, Sub BASS
    EXPECT_EQ(Child<QLabel>("lblStatus")->text(), "3 of 4 sounds");
    EXPECT_TRUE(out.longMessages.empty()); // typing plays nothing

    QTest::keyClick(Child<QLineEdit>("edtSearch"), Qt::Key_Down);
    ASSERT_EQ(out.longMessages.size(), 1u);
    EXPECT_EQ(out.longMessages[0], Heard(sounds[2]));

    // Faster than the cable: the sounds passed over never go out.
    now += 10ms;
    QTest::keyClick(List(), Qt::Key_Down);
    QTest::keyClick(List(), Qt::Key_Down);
    window->SendWaitingSound(); // the cable is still busy
    EXPECT_EQ(out.longMessages.size(), 1u);
    now += window->Pacer().Wait();
    window->SendWaitingSound();
    ASSERT_EQ(out.longMessages.size(), 2u);
    EXPECT_EQ(out.longMessages[1], Heard(sounds[3]));

    QTest::keyClick(List(), Qt::Key_Return);
    EXPECT_EQ(opened, Stored(3));
}

TEST_F(CatalogueWindowTest, PutsTheChosenSoundsIntoTheLibraryAndIntoABankFile) {
    // The list is by name: Acid Bass, Fat Bass, Sub BASS, Warm Pad.
    List()->selectionModel()->select(List()->model()->index(0, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    List()->selectionModel()->select(List()->model()->index(3, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selectedRows = {10, 11, 12};
    Child<QPushButton>("btnFillSelectedRows")->click();
    EXPECT_EQ(placed, (std::vector<LibraryPlacement>{{10, Stored(2)}, {11, Stored(1)}}));

    Child<QPushButton>("btnCopyToCurrentRow")->click(); // no library row chosen
    EXPECT_THAT(prompter.messages.back().toStdString(), testing::HasSubstr("Choose a row"));
    currentRow = 5;
    List()->setCurrentIndex(List()->model()->index(1, 1));
    Child<QPushButton>("btnCopyToCurrentRow")->click();
    EXPECT_EQ(placed, (std::vector<LibraryPlacement>{{5, Stored(0)}}));

    List()->selectAll();
    const QString bank = folder.filePath("export.syx");
    files.paths = {bank};
    Child<QPushButton>("btnExportBank")->click();
    const FileBytes written = ReadWholeFile(bank.toStdString());
    const BankFileContents contents = ParseBankFile(written.bytes, "export.syx");
    ASSERT_EQ(contents.records.size(), 4u);
    EXPECT_EQ(contents.records[3].slot, 3);
    EXPECT_EQ(GetSoundName(contents.records[3].record), GetSoundName(sounds[1]));
}

TEST_F(CatalogueWindowTest, CategoryFavouriteAndTagsChangeFromTheList) {
    CatalogueListModel& model = window->Model();
    model.SetCategory(3, SoundCategory::Strings); // Warm Pad
    model.setData(model.index(3, CatalogueListModel::FavouriteColumn), Qt::Checked,
                  Qt::CheckStateRole);
    model.setData(model.index(3, CatalogueListModel::TagsColumn), "soft, evening", Qt::EditRole);
    EXPECT_EQ(model.index(3, CatalogueListModel::TagsColumn).data(), "evening, soft");
    EXPECT_EQ(model.index(3, CatalogueListModel::CategoryColumn).data(), "Strings");

    Child<QCheckBox>("chbFavourites")->setChecked(true);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.index(0, CatalogueListModel::NameColumn).data(), "Warm Pad");
}

TEST(CatalogueSources, NameTheirFolderOnlyWhereTwoFilesShareAName) {
    SoundSummary summary;
    summary.sources = {{"/music/old/bank.syx", 0, ""},
                       {"/music/new/bank.syx", 5, ""},
                       {"/music/other.syx", 383, ""},
                       {"Library", 2, ""}};
    EXPECT_EQ(SourcesText(summary),
              "old/bank.syx A001, new/bank.syx A006, other.syx C128, Library A003");
}

// The main window with its data folder in a temporary one.
class CatalogueCommandTest : public testing::Test {
protected:
    CatalogueCommandTest() { qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit()); }
    ~CatalogueCommandTest() override { qunsetenv("XDG_DATA_HOME"); }

    QTemporaryDir dataHome;
    ScriptedPrompter prompter;
    ScriptedFileChooser files;
};

TEST_F(CatalogueCommandTest, ADamagedCatalogueIsSetAsideOnYesAndTheWindowOpensOnAFreshOne) {
    TfrmMain window(&prompter, &files);
    const QString path = QString::fromStdString(DefaultCataloguePath());
    ASSERT_TRUE(path.startsWith(dataHome.path()));
    QDir().mkpath(QFileInfo(path).path());
    const std::vector<std::uint8_t> garbage(1000, 0x42);
    ASSERT_FALSE(WriteWholeFile(path.toStdString(), garbage));

    prompter.answers = {Prompter::Answer::Yes};
    window.findChild<QAction*>("actSoundCatalogue")->trigger();
    ASSERT_EQ(prompter.questions.size(), 1);
    EXPECT_THAT(prompter.questions[0].toStdString(), testing::HasSubstr("cannot be read"));
    auto* catalogueWindow = window.findChild<TfrmCatalogue*>("TfrmCatalogue");
    ASSERT_NE(catalogueWindow, nullptr);
    EXPECT_TRUE(catalogueWindow->isVisible());
    const QStringList aside =
        QDir(QFileInfo(path).path()).entryList({"catalogue.sqlite.unreadable-*"});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(ReadWholeFile(QFileInfo(path).dir().filePath(aside[0]).toStdString()).bytes, garbage);
}

TEST_F(CatalogueCommandTest, SoundsDroppedOnTheListFillRowsAsOneUndoStep) {
    TfrmMain window(&prompter, &files);
    window.Library().InitEmptyBanks();
    window.List().RebuildList();
    const int last = window.Library().SlotCount() - 1;
    const TSoundRecord before = window.Library().Sound(last);
    auto* list = window.findChild<LibraryTableView*>();
    // Two sounds on the last row: only one fits.
    Q_EMIT list->SoundsDropped({Sound("Dropped", 1), Sound("Left Out", 2)}, last);
    EXPECT_EQ(window.List().ShownName(last).trimmed(), "Dropped");
    EXPECT_EQ(window.List().data(window.List().index(last, LibraryList::StatusColumn)), "Changed");
    EXPECT_EQ(window.Library().Sound(last)[SoundLayout::BankByte], 2);
    window.History().Undo();
    EXPECT_EQ(window.Library().Sound(last), before);
    EXPECT_FALSE(window.History().CanUndo());
}

} // namespace
