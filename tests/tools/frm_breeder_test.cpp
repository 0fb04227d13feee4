#include "frm_breeder.h"

#include "sound_catalogue.h"
#include "sound_library.h"
#include "support/control_sounds.h"
#include "support/named_child.h"
#include "support/recording_midi_output.h"
#include "sysex_messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

class BreederWindowTest : public ::testing::Test {
protected:
    BreederWindowTest() {
        library.InitEmptyBanks();
        library.StoreSound(3, RandomSound(3, "Fat Bass"));
        library.StoreSound(7, RandomSound(7, "Glass"));
    }
    void Open() {
        window = std::make_unique<TfrmBreeder>(
            BreederContext{library,
                           out,
                           history,
                           locked,
                           {},
                           40,
                           [this](int slot, const TSoundRecord& sound) {
                               kept.emplace_back(slot, sound);
                               return true;
                           },
                           {},
                           {},
                           [this] { return keyboardOn; },
                           [this](bool on) { keyboardOn = on; },
                           [this] { return catalogue.get(); }},
            nullptr, [this] { return now; });
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void AddParent(int slot) {
        Named<QComboBox>(*window, "cmbLibrarySound")->setCurrentIndex(slot);
        Named<QPushButton>(*window, "btnAddParent")->click();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window.get(), key, modifiers);
    }
    std::vector<TSoundRecord> DumpsSent() {
        std::vector<TSoundRecord> sounds;
        for (const auto& message : std::exchange(out.longMessages, {}))
            for (const BredChild& child : window->Shown()->children)
                if (message == EditBufferDumpMessage(child.sound))
                    sounds.push_back(child.sound);
        return sounds;
    }
    const TSoundRecord& ChildSound(int index) const {
        return window->Shown()->children[static_cast<std::size_t>(index)].sound;
    }

    TSoundLibrary library;
    RecordingMidiOutput out;
    BreedingHistory history;
    LockedGroups locked{};
    std::vector<std::pair<int, TSoundRecord>> kept;
    std::chrono::microseconds now{1'000'000};
    bool keyboardOn = true;
    std::unique_ptr<SoundCatalogue> catalogue; // none unless a test opens one
    std::unique_ptr<TfrmBreeder> window;
};

TEST_F(BreederWindowTest, KeysFasterThanTheCablePlayTheLatestChild) {
    Open();
    AddParent(3);
    AddParent(7);
    Named<QPushButton>(*window, "btnBreed")->click();
    ASSERT_EQ(window->Shown()->children.size(), static_cast<std::size_t>(DefaultChildCount));

    // 1 goes out; 2 waits for the cable and 3 takes its place.
    for (const Qt::Key key : {Qt::Key_1, Qt::Key_2, Qt::Key_3})
        Key(key);
    EXPECT_EQ(DumpsSent(), std::vector{ChildSound(0)});
    EXPECT_EQ(window->HeardChild(), 2);
    now += 96ms; // one dump's time on a DIN cable
    QTest::qWait(5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !out.longMessages.empty(); }, 1000));
    EXPECT_EQ(DumpsSent(), std::vector{ChildSound(2)});

    // Key 0 is the tenth child, beyond the eight; a click plays a tile.
    Key(Qt::Key_0);
    Named<QPushButton>(*window, "btnChild5")->click();
    EXPECT_EQ(window->HeardChild(), 4);
    // Closing sends the one still waiting.
    window->reject();
    EXPECT_EQ(DumpsSent(), std::vector{ChildSound(4)});
}

TEST_F(BreederWindowTest, StarsLocksAndTheTypedSeedReachTheBreeding) {
    locked[3] = true;
    Open();
    EXPECT_TRUE(Named<QCheckBox>(*window, "ckbFilter")->isChecked());
    Named<QCheckBox>(*window, "ckbLFO1")->setChecked(true);
    EXPECT_TRUE(locked[5]);
    AddParent(3);
    auto* seed = Named<QLineEdit>(*window, "edtSeed");
    QTest::keyClicks(seed, "4711");
    Named<QPushButton>(*window, "btnBreed")->click();
    EXPECT_EQ(window->Shown()->seed, 4711u);
    const std::vector<BredChild> first = window->Shown()->children;

    // "*" likes the heard child, the star button another.
    Key(Qt::Key_2);
    Key(Qt::Key_Asterisk);
    Named<QToolButton>(*window, "btnStar4")->click();
    Key(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(window->Shown()->parents, (std::vector{first[1].sound, first[3].sound}));

    Key(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(window->Shown()->number, 1);
    EXPECT_EQ(seed->text(), "4711");

    // A seed that is no number breeds nothing and says why.
    seed->clear();
    QTest::keyClicks(seed, "12x");
    Named<QPushButton>(*window, "btnBreed")->click();
    EXPECT_EQ(window->Shown()->number, 1);
    EXPECT_EQ(Named<QLabel>(*window, "lblStatus")->text(),
              "The seed is a whole number from 0 to 4294967295.");
}

TEST_F(BreederWindowTest, KeepStoresTheRenamedChildRowAfterRowAndEditHandsItOver) {
    Open();
    AddParent(7);
    Named<QPushButton>(*window, "btnBreed")->click();
    Key(Qt::Key_3);
    auto* name = Named<QLineEdit>(*window, "edtName");
    EXPECT_EQ(name->text(), "Glass 1-3");
    name->setFocus(); // typing plays no notes
    EXPECT_FALSE(keyboardOn);
    name->selectAll();
    QTest::keyClicks(name, "Glass Shard ");
    QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QStringLiteral("\u00e9"), {});
    Key(Qt::Key_K, Qt::ControlModifier);
    Named<QPushButton>(*window, "btnBreed")->setFocus();
    EXPECT_TRUE(keyboardOn);
    Key(Qt::Key_4);
    Named<QPushButton>(*window, "btnKeep")->click();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].first, 40);
    EXPECT_EQ(GetSoundName(kept[0].second), "Glass Shard \xE9   ");
    EXPECT_EQ(kept[1].first, 41);
    EXPECT_EQ(kept[1].second, ChildSound(3));

    Named<QPushButton>(*window, "btnEdit")->click();
    EXPECT_EQ(window->result(), TfrmBreeder::EditResult);
    EXPECT_EQ(window->ChildToEdit(), ChildSound(3));
}

TEST_F(BreederWindowTest, CatalogueSoundsBecomeParentsAndChildrenAreKeptThere) {
    QTemporaryDir folder;
    auto opened = SoundCatalogue::Open(folder.filePath("catalogue.sqlite").toStdString());
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<SoundCatalogue>>(opened));
    catalogue = std::move(std::get<std::unique_ptr<SoundCatalogue>>(opened));
    catalogue->AddSound(RandomSound(20, "Deep Bass"), "test.syx", 4);
    catalogue->AddSound(RandomSound(21, "Bright Lead"), "test.syx", 5);
    Open();

    QTest::keyClicks(Named<QLineEdit>(*window, "edtCatalogueFind"), "bass");
    auto* found = Named<QComboBox>(*window, "cmbCatalogueSound");
    ASSERT_EQ(found->count(), 1);
    EXPECT_EQ(found->itemText(0), "Deep Bass");
    Named<QPushButton>(*window, "btnAddCatalogueSound")->click();
    ASSERT_EQ(history.Parents().size(), 1u);
    EXPECT_EQ(history.Parents()[0].sound, RandomSound(20, "Deep Bass"));

    Named<QPushButton>(*window, "btnBreed")->click();
    Key(Qt::Key_1);
    Named<QPushButton>(*window, "btnKeepInCatalogue")->click();
    EXPECT_EQ(catalogue->SoundCount(), 3);
    CatalogueSearch search;
    search.text = "Deep Bass 1-1";
    const std::vector<SoundId> kept = catalogue->Search(search);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(catalogue->Summary(kept[0])->sources.at(0).file, "Sound Breeder");
}

} // namespace
