#include "library_history.h"
#include "sound_library.h"
#include "support/library_contents.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// 384 sounds, each tagged with the slot it started in.
void Tag(TSoundLibrary& library) {
    library.InitEmptyBanks();
    for (int slot = 0; slot < Slots::Count; ++slot) {
        TSoundRecord record = library.Sound(slot);
        record[SoundLayout::ParameterByte(0)] = static_cast<std::uint8_t>(slot % 128);
        record[SoundLayout::ParameterByte(1)] = static_cast<std::uint8_t>(slot / 128);
        library.StoreSound(slot, record);
    }
}

int TagOf(const TSoundLibrary& library, int slot) {
    const auto& record = library.Sound(slot);
    return record[SoundLayout::ParameterByte(0)] + 128 * record[SoundLayout::ParameterByte(1)];
}

void Swap(TSoundLibrary& library, int a, int b) {
    const TSoundRecord first = library.Sound(a);
    library.StoreSound(a, library.Sound(b));
    library.StoreSound(b, first);
    library.MarkChanged(a, true);
    library.MarkChanged(b, true);
}

TEST(LibraryHistory, EachStepUndoesAndRedoesWithItsMarksAndRowCount) {
    TSoundLibrary library;
    LibraryHistory history(library);
    std::vector<LibraryContents> states{ContentsOf(library)};
    const auto step = [&](auto change) {
        LibraryHistory::Step open(history);
        change();
    };
    step([&] { Tag(library); }); // a load: the rows appear
    states.push_back(ContentsOf(library));
    step([&] { Swap(library, 3, 4); }); // a move
    states.push_back(ContentsOf(library));
    step([&] { library.SetSoundName(7, "Fat Bass"); }); // a rename
    states.push_back(ContentsOf(library));
    step([] {}); // a command that changed nothing is no step
    EXPECT_EQ(history.UndoCount(), 3u);

    for (int index = 2; index >= 0; --index) {
        const std::vector<int> slots = history.Undo();
        EXPECT_FALSE(slots.empty());
        EXPECT_EQ(ContentsOf(library), states[static_cast<std::size_t>(index)]) << index;
        EXPECT_EQ(history.RowCountChanged(), index == 0);
    }
    EXPECT_FALSE(history.CanUndo());
    EXPECT_TRUE(history.Undo().empty());
    for (std::size_t index = 1; index < states.size(); ++index) {
        history.Redo();
        EXPECT_EQ(ContentsOf(library), states[index]) << index;
    }
    EXPECT_FALSE(history.CanRedo());
    // Undoing a move reports the two slots it touched.
    history.Undo();
    const std::vector<int> moved = history.Undo();
    EXPECT_EQ(moved, (std::vector<int>{3, 4}));
    EXPECT_EQ(TagOf(library, 3), 3);
    EXPECT_FALSE(library.IsChanged(3));
}

TEST(LibraryHistory, NestedStepsAreOneAndANewStepDropsTheRedos) {
    TSoundLibrary library;
    Tag(library);
    LibraryHistory history(library);
    {
        LibraryHistory::Step read(history);
        for (int slot = 0; slot < Slots::Count; ++slot) {
            LibraryHistory::Step reply(history); // each reply taken during the read
            library.SetSoundName(slot, "Read");
            EXPECT_FALSE(history.CanUndo()); // nothing is undone while a step is open
        }
    }
    EXPECT_EQ(history.UndoCount(), 1u);
    history.Undo();
    EXPECT_EQ(library.GetSoundName(383), "empty           ");
    EXPECT_TRUE(history.CanRedo());
    {
        LibraryHistory::Step move(history);
        Swap(library, 0, 1);
    }
    EXPECT_FALSE(history.CanRedo());
}

TEST(LibraryHistory, ChangesAcceptedInAStepAreNotUndone) {
    TSoundLibrary library;
    Tag(library);
    LibraryHistory history(library);
    {
        LibraryHistory::Step move(history);
        Swap(library, 0, 1);
    }
    {
        LibraryHistory::Step send(history); // sending clears the marks
        library.ClearChangedMarks();
        history.AcceptChangesSoFar();
    }
    EXPECT_EQ(history.UndoCount(), 1u);
    history.Undo();
    EXPECT_EQ(TagOf(library, 0), 0);
    history.Redo(); // the redo brings back the state the undo left: sent, unmarked
    EXPECT_EQ(TagOf(library, 0), 1);
    EXPECT_FALSE(library.IsChanged(0));
}

TEST(LibraryHistory, ASplitStepUndoesItsPartsOneByOne) {
    TSoundLibrary library;
    Tag(library);
    LibraryHistory history(library);
    {
        LibraryHistory::Step session(history); // a long session holds a step open
        Swap(library, 0, 1);
        {
            LibraryHistory::Step keep(history);
            history.SplitStep();
            Swap(library, 5, 6);
            history.SplitStep();
        }
        Swap(library, 8, 9);
    }
    EXPECT_EQ(history.UndoCount(), 3u);
    history.Undo();
    EXPECT_EQ(TagOf(library, 8), 8);
    history.Undo();
    EXPECT_EQ(TagOf(library, 5), 5);
    EXPECT_EQ(TagOf(library, 0), 1);
}

TEST(LibraryHistory, KeepsItsDepthAndStoresOnlyTheChangedSlots) {
    TSoundLibrary library;
    Tag(library);
    LibraryHistory history(library);
    for (int step = 0; step < 150; ++step) {
        LibraryHistory::Step move(history);
        Swap(library, step % 300, step % 300 + 1);
    }
    EXPECT_EQ(history.UndoCount(), LibraryHistory::DefaultDepth);
    // Two records of 256 bytes and a little more per move.
    EXPECT_LT(history.StoredBytes(), LibraryHistory::DefaultDepth * 2 * 300);
    while (history.CanUndo())
        history.Undo();
    // The 50 oldest moves (the first sound carried to slot 50) stay; the
    // 100 newest are undone.
    EXPECT_EQ(TagOf(library, 49), 50);
    EXPECT_EQ(TagOf(library, 50), 0);
    for (int slot = 51; slot < Slots::Count; ++slot)
        ASSERT_EQ(TagOf(library, slot), slot);
}

TEST(LibraryHistory, AWholeLibraryStepIsBoundedByTheLibrarySize) {
    TSoundLibrary library;
    Tag(library);
    LibraryHistory history(library);
    for (int step = 0; step < 120; ++step) {
        LibraryHistory::Step read(history);
        for (int slot = 0; slot < Slots::Count; ++slot)
            library.StoreSound(slot, [&] {
                TSoundRecord record = library.Sound(slot);
                record[SoundLayout::ParameterByte(2)] = static_cast<std::uint8_t>(step);
                return record;
            }());
    }
    EXPECT_EQ(history.UndoCount(), 100u);
    // 100 steps of 384 slots: under 10 MiB.
    EXPECT_LT(history.StoredBytes(), 10u * 1024 * 1024);
}

} // namespace
