#include "app/scripted_dialogs.h"
#include "library_list.h"
#include "sound_library.h"
#include "sound_reorderer.h"

#include "support/library_contents.h"
#include "support/selected_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class FakeViewport : public ListViewport {
public:
    int top = 0;
    int visible = 20;
    std::vector<int> scrolls;
    int processed = 0;
    std::function<void()> onProcess;

    int TopVisibleRow() const override { return top; }
    int VisibleRowCount() const override { return visible; }
    void ScrollByPixels(int dy) override { scrolls.push_back(dy); }
    void ProcessPendingEvents() override {
        ++processed;
        if (onProcess)
            onProcess();
    }
};

// Every record carries the slot it started in (parameter bytes 6 and 7), so a
// test can follow whole records, not just names.
constexpr int TagLow = SoundLayout::ParameterByte(0);
constexpr int TagHigh = SoundLayout::ParameterByte(1);

class SoundReordererTest : public ::testing::Test {
protected:
    SoundReordererTest() {
        library.InitEmptyBanks();
        for (int slot = 0; slot < Slots::Count; ++slot)
            EditSound(library, slot, [slot](TSoundRecord& record) {
                record[TagLow] = static_cast<std::uint8_t>(slot % 128);
                record[TagHigh] = static_cast<std::uint8_t>(slot / 128);
            });
        list.RebuildList();
    }

    void Name(const std::vector<std::string>& names, int from = 0) {
        for (std::size_t n = 0; n < names.size(); ++n)
            library.SetSoundName(from + static_cast<int>(n), names[n]);
        list.RebuildList();
    }

    void Select(const std::vector<int>& rows) { list.SelectSlots(rows); }

    std::string NameOf(int slot) const {
        std::string name = library.GetSoundName(slot);
        name.erase(name.find_last_not_of(' ') + 1);
        return name;
    }

    std::vector<std::string> Names(int count) const {
        std::vector<std::string> names;
        for (int slot = 0; slot < count; ++slot)
            names.push_back(NameOf(slot));
        return names;
    }

    int Origin(int slot) const {
        const auto& record = library.Sound(slot);
        return record[TagLow] + 128 * record[TagHigh];
    }

    std::vector<int> Origins(int count) const {
        std::vector<int> origins;
        for (int slot = 0; slot < count; ++slot)
            origins.push_back(Origin(slot));
        return origins;
    }

    std::vector<int> ChangedSlots() const {
        std::vector<int> slots;
        for (int slot = 0; slot < Slots::Count; ++slot)
            if (library.IsChanged(slot))
                slots.push_back(slot);
        return slots;
    }

    std::vector<int> SelectedRows() { return SelectedRowsOf(*list.selectionModel()); }

    std::vector<int> CollectedSlots() const {
        return {library.SelectedSlots().begin(),
                library.SelectedSlots().begin() + library.SelectedCount()};
    }

    static std::vector<int> Range(int first, int last) {
        std::vector<int> rows;
        for (int row = first; row <= last; ++row)
            rows.push_back(row);
        return rows;
    }

    TSoundLibrary library;
    LibraryList list{library};
    FakeViewport viewport;
    ScriptedPrompter prompter;
    QStringList log;
    SoundReorderer reorderer{library, list, viewport, prompter,
                             [this](const QString& line) { log << line; }};
};

using NameList = std::vector<std::string>;
using Rows = std::vector<int>;

TEST_F(SoundReordererTest, MoveUpCarriesTheRunAndPutsTheSoundAboveBelowIt) {
    Name({"P", "Q", "R", "S", "T"});
    Select({1, 2});
    reorderer.MoveSelectionUp(true);

    EXPECT_EQ(Names(5), (NameList{"Q", "R", "P", "S", "T"}));
    EXPECT_EQ(Origins(5), (Rows{1, 2, 0, 3, 4}));
    EXPECT_EQ(SelectedRows(), (Rows{0, 1}));
    EXPECT_EQ(CollectedSlots(), (Rows{0, 1}));
    EXPECT_EQ(ChangedSlots(), (Rows{0, 1, 2, 3}));
    // The rows on screen follow the sounds.
    EXPECT_EQ(list.ShownName(2).trimmed(), "P");
    EXPECT_EQ(list.ShownStatus(2), "Changed");
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(SoundReordererTest, MoveDownCarriesTheRunAndPutsTheSoundBelowAboveIt) {
    Name({"P", "Q", "R", "S", "T"});
    Select({1, 2});
    reorderer.MoveSelectionDown(true);

    EXPECT_EQ(Names(5), (NameList{"P", "S", "Q", "R", "T"}));
    EXPECT_EQ(Origins(5), (Rows{0, 3, 1, 2, 4}));
    EXPECT_EQ(SelectedRows(), (Rows{2, 3}));
    EXPECT_EQ(ChangedSlots(), (Rows{0, 1, 2, 3}));
}

TEST_F(SoundReordererTest, TwoRunsMoveTogether) {
    Name({"P", "Q", "R", "S", "T"});
    Select({1, 3});
    reorderer.MoveSelectionUp(true);
    EXPECT_EQ(Names(5), (NameList{"Q", "P", "S", "R", "T"}));
    EXPECT_EQ(SelectedRows(), (Rows{0, 2}));

    Name({"P", "Q", "R", "S", "T"});
    Select({1, 3});
    reorderer.MoveSelectionDown(true);
    EXPECT_EQ(Names(5), (NameList{"P", "R", "Q", "T", "S"}));
    EXPECT_EQ(SelectedRows(), (Rows{2, 4}));

    // Runs touching the first and the last row.
    Name({"P", "Q", "R"});
    Name({"v", "w", "x", "y"}, 380);
    Select({0, 1, 381});
    reorderer.MoveSelectionDown(true);
    EXPECT_EQ(Names(3), (NameList{"R", "P", "Q"}));
    EXPECT_EQ(NameOf(381), "x");
    EXPECT_EQ(NameOf(382), "w");
    EXPECT_EQ(SelectedRows(), (Rows{1, 2, 382}));

    Name({"P", "Q", "R"});
    Name({"v", "w", "x", "y"}, 380);
    Select({1, 382, 383});
    reorderer.MoveSelectionUp(true);
    EXPECT_EQ(Names(3), (NameList{"Q", "P", "R"}));
    EXPECT_EQ(NameOf(380), "v");
    EXPECT_EQ(NameOf(381), "x");
    EXPECT_EQ(NameOf(382), "y");
    EXPECT_EQ(NameOf(383), "w");
    EXPECT_EQ(SelectedRows(), (Rows{0, 381, 382}));
}

TEST_F(SoundReordererTest, MoveUpMarksAroundEachRunButMoveDownMarksTheWholeSpan) {
    Name({"P", "Q", "R", "S", "T", "U", "V", "W"});
    Select({1, 5});
    reorderer.MoveSelectionUp(true);
    EXPECT_EQ(Names(8), (NameList{"Q", "P", "R", "S", "U", "T", "V", "W"}));
    EXPECT_EQ(ChangedSlots(), (Rows{0, 1, 2, 4, 5, 6}));

    library.ClearChangedMarks();
    Name({"P", "Q", "R", "S", "T", "U", "V", "W"});
    Select({1, 5});
    reorderer.MoveSelectionDown(true);
    EXPECT_EQ(Names(8), (NameList{"P", "R", "Q", "S", "T", "V", "U", "W"}));
    // Slots 3 and 4 keep their sounds but lie between the runs.
    EXPECT_EQ(ChangedSlots(), (Rows{0, 1, 2, 3, 4, 5, 6}));
}

TEST_F(SoundReordererTest, MovesPastTheEndsChangeNothing) {
    Name({"P", "Q", "R"});
    Name({"Y", "Z"}, 382);
    const auto before = library.Sounds();

    Select({0, 2});
    reorderer.MoveSelectionUp(true);
    Select({5, 383});
    reorderer.MoveSelectionDown(true);
    Select({});
    reorderer.MoveSelectionUp(true);
    reorderer.MoveSelectionDown(true);
    reorderer.MoveSelectionTo(7);

    EXPECT_EQ(library.Sounds(), before);
    EXPECT_TRUE(ChangedSlots().empty());
    EXPECT_TRUE(viewport.scrolls.empty());
}

TEST_F(SoundReordererTest, UserMovesScrollToFollowTheSelection) {
    viewport.top = 100;
    viewport.visible = 20; // a quarter is 5 rows

    Select({104});
    reorderer.MoveSelectionUp(true); // 4 rows below the top: near it
    Select({110});
    reorderer.MoveSelectionUp(true);
    EXPECT_EQ(viewport.scrolls, (std::vector<int>{-10}));

    viewport.scrolls.clear();
    Select({106});
    reorderer.MoveSelectionDown(true); // more than a quarter down
    Select({105});
    reorderer.MoveSelectionDown(true);
    EXPECT_EQ(viewport.scrolls, (std::vector<int>{10}));

    viewport.scrolls.clear();
    Select({104});
    reorderer.MoveSelectionTo(90);
    reorderer.MoveSelectionTo(130);
    EXPECT_TRUE(viewport.scrolls.empty());
}

TEST_F(SoundReordererTest, MoveToARowAboveBringsTheFirstSelectedRowThere) {
    Name({"a", "b", "c", "d", "e", "F", "G", "h", "i", "j"});
    Select({5, 6});
    reorderer.MoveSelectionTo(2);

    EXPECT_EQ(Names(10), (NameList{"a", "b", "F", "G", "c", "d", "e", "h", "i", "j"}));
    EXPECT_EQ(SelectedRows(), (Rows{2, 3}));
    EXPECT_EQ(viewport.processed, 3);
    EXPECT_EQ(ChangedSlots(), Range(2, 7));
    // The list shows the moved sounds, marks included.
    EXPECT_EQ(list.ShownName(2).trimmed(), "F");
    EXPECT_EQ(list.ShownStatus(6), "Changed");
}

TEST_F(SoundReordererTest, MoveToARowBelowBringsTheLastSelectedRowThere) {
    Name({"a", "b", "C", "D", "e", "f", "g", "h", "i", "j"});
    Select({2, 3});
    reorderer.MoveSelectionTo(7);

    EXPECT_EQ(Names(10), (NameList{"a", "b", "e", "f", "g", "h", "C", "D", "i", "j"}));
    EXPECT_EQ(SelectedRows(), (Rows{6, 7}));
    EXPECT_EQ(viewport.processed, 4);
}

TEST_F(SoundReordererTest, MoveToARowInsideTheSelectionStopsWhenTheFirstRowArrives) {
    Name({"a", "B", "C", "D", "E", "F", "g", "h", "i", "j"});
    Select({1, 2, 3, 4, 5});
    reorderer.MoveSelectionTo(2); // three steps allowed, one needed
    EXPECT_EQ(Names(10), (NameList{"a", "g", "B", "C", "D", "E", "F", "h", "i", "j"}));
    EXPECT_EQ(SelectedRows(), Range(2, 6));
    EXPECT_EQ(viewport.processed, 3);

    reorderer.MoveSelectionTo(6); // no step allowed
    reorderer.MoveSelectionTo(-1);
    reorderer.MoveSelectionTo(Slots::Count);
    EXPECT_EQ(Names(10), (NameList{"a", "g", "B", "C", "D", "E", "F", "h", "i", "j"}));
    EXPECT_EQ(SelectedRows(), Range(2, 6));
}

TEST_F(SoundReordererTest, SortingKeepsEqualKeysUnexchanged) {
    Name({"b", "A", "a"});
    Select({0, 1, 2});
    reorderer.SortSelection(SoundReorderer::SortByName);

    EXPECT_EQ(Names(3), (NameList{"a", "A", "b"}));
    EXPECT_EQ(Origins(3), (Rows{2, 1, 0}));
    EXPECT_EQ(ChangedSlots(), (Rows{0, 2}));
    EXPECT_EQ(SelectedRows(), (Rows{0, 1, 2}));
    EXPECT_TRUE(prompter.questions.isEmpty());
}

TEST_F(SoundReordererTest, SortKeyUpperCasesOnlyPlainLettersAndComparesBytes) {
    EXPECT_EQ(SoundReorderer::SortKey("aZ_{\xE9"
                                      "b1"),
              "AZ_{\xE9"
              "B1");

    // Names shorter than 16 bytes: bytes below 32 are not part of the name.
    library.StoreSound(20, TSoundRecord{});
    library.StoreSound(21, TSoundRecord{});
    library.SetSoundName(22, "_x");
    library.SetSoundName(23, "\xE9t\xE9");
    library.SetSoundName(24, "zeta");
    library.SetSoundName(25, "Alpha");
    EditSound(library, 20, [](TSoundRecord& abc) {
        abc[SoundLayout::NameOffset] = 'a';
        abc[SoundLayout::NameOffset + 1] = 'b';
        abc[SoundLayout::NameOffset + 2] = 'c';
    });
    EditSound(library, 21, [](TSoundRecord& ab) {
        ab[SoundLayout::NameOffset] = 'A';
        ab[SoundLayout::NameOffset + 1] = 'B';
    });
    Select(Range(20, 25));
    reorderer.SortSelection(SoundReorderer::SortByName);

    // A prefix is smaller; letters sort before '_' and bytes above 127.
    EXPECT_EQ(library.GetSoundName(20), "AB");
    EXPECT_EQ(library.GetSoundName(21), "abc");
    EXPECT_EQ(NameOf(22), "Alpha");
    EXPECT_EQ(NameOf(23), "zeta");
    EXPECT_EQ(NameOf(24), "_x");
    EXPECT_EQ(NameOf(25), "\xE9t\xE9");
}

TEST_F(SoundReordererTest, SortAllAnsweredNoChangesNothing) {
    Name({"z", "y", "x"});
    const auto before = library.Sounds();
    Select({1});
    reorderer.SortSelection(SoundReorderer::SortByName);

    EXPECT_EQ(prompter.questions, QStringList{"Sort all?"});
    EXPECT_EQ(library.Sounds(), before);
    EXPECT_TRUE(ChangedSlots().empty());
    EXPECT_EQ(SelectedRows(), (Rows{1}));
}

TEST_F(SoundReordererTest, SortAllAnsweredYesSortsTheWholeLibrary) {
    // Names that repeat and descend in parts, so the sort has real work.
    for (int slot = 0; slot < Slots::Count; ++slot)
        if (slot % 3 != 0)
            library.SetSoundName(slot, "n" + std::to_string((slot * 7919) % 97));
    list.RebuildList();
    const auto before = library.Sounds();
    prompter.answers = {Prompter::Answer::Yes};
    reorderer.SortSelection(SoundReorderer::SortByName);

    EXPECT_EQ(prompter.questions, QStringList{"Sort all?"});
    EXPECT_EQ(library.SelectedCount(), Slots::Count);
    EXPECT_EQ(SelectedRows().size(), std::size_t{Slots::Count});
    std::vector<int> origins;
    for (int slot = 0; slot < Slots::Count; ++slot) {
        origins.push_back(Origin(slot));
        if (slot > 0) {
            ASSERT_LE(SoundReorderer::SortKey(library.GetSoundName(slot - 1)),
                      SoundReorderer::SortKey(library.GetSoundName(slot)))
                << "at slot " << slot;
        }
        // A slot without a mark was never part of an exchange.
        if (!library.IsChanged(slot)) {
            ASSERT_EQ(library.Sound(slot), before[static_cast<std::size_t>(slot)]);
        }
    }
    std::sort(origins.begin(), origins.end());
    EXPECT_EQ(origins, Range(0, Slots::Count - 1)); // every sound is still there once
    EXPECT_EQ(list.ShownName(0).trimmed(), "empty");
    EXPECT_EQ(list.ShownName(383).trimmed(), "n96");
}

TEST_F(SoundReordererTest, DropExchangesTwoSoundsAndRewritesTheirLocations) {
    const int a003 = Slots::FromCaption("A003");
    const int b010 = Slots::FromCaption("B010");
    library.SetSoundName(a003, "Three");
    library.SetSoundName(b010, "Bten");
    // Locations as some file left them, not matching the slots.
    {
        TSoundRecord edited = library.Sound(a003);
        edited[SoundLayout::BankByte] = 2;
        library.StoreSound(a003, edited);
    }
    {
        TSoundRecord edited = library.Sound(a003);
        edited[SoundLayout::ProgramByte] = 77;
        library.StoreSound(a003, edited);
    }
    list.RebuildList();
    list.SetCurrentRow(a003);

    reorderer.DropSoundOnRow(a003, b010);

    const auto& atB010 = library.Sound(b010);
    const auto& atA003 = library.Sound(a003);
    EXPECT_EQ(NameOf(b010), "Three");
    EXPECT_EQ(Origin(b010), a003);
    EXPECT_EQ(atB010[SoundLayout::BankByte], 1);
    EXPECT_EQ(atB010[SoundLayout::ProgramByte], 9);
    EXPECT_EQ(NameOf(a003), "Bten");
    EXPECT_EQ(Origin(a003), b010);
    EXPECT_EQ(atA003[SoundLayout::BankByte], 0);
    EXPECT_EQ(atA003[SoundLayout::ProgramByte], 2);
    EXPECT_EQ(ChangedSlots(), (Rows{a003, b010}));
    EXPECT_EQ(list.ShownStatus(b010), "Changed");
    EXPECT_EQ(SelectedRows(), (Rows{a003}));

    reorderer.DropSoundOnRow(a003, -1); // no row under the drop point
    reorderer.DropSoundOnRow(-1, b010); // nothing dragged
    EXPECT_EQ(NameOf(b010), "Three");
    EXPECT_EQ(ChangedSlots(), (Rows{a003, b010}));
}

TEST_F(SoundReordererTest, AFailureIsLoggedAndKeepsWhatWasAlreadyMoved) {
    Name({"a", "b", "c", "d", "E"});
    Select({4});
    viewport.onProcess = [this] {
        if (viewport.processed == 2)
            throw std::runtime_error("list gone");
    };
    reorderer.MoveSelectionTo(0);

    EXPECT_EQ(log, QStringList{"list gone"});
    EXPECT_EQ(Names(5), (NameList{"a", "b", "E", "c", "d"}));

    reorderer.SwapSlots(0, Slots::Count);
    EXPECT_EQ(log.size(), 2);
    EXPECT_EQ(NameOf(0), "a");
    EXPECT_FALSE(library.IsChanged(0));
}

} // namespace
