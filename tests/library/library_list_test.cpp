#include "library_list.h"
#include "sound_library.h"

#include <gtest/gtest.h>

namespace {

class LibraryListTest : public ::testing::Test {
protected:
    LibraryListTest() {
        library.InitEmptyBanks();
        list.RebuildList();
    }

    std::vector<int> SelectedRows() const {
        std::vector<int> rows;
        for (int row = 0; row < list.rowCount(); ++row)
            if (const_cast<LibraryList&>(list).selectionModel()->isRowSelected(row))
                rows.push_back(row);
        return rows;
    }

    QString Text(int row, int column) const {
        return list.data(list.index(row, column)).toString();
    }

    TSoundLibrary library;
    LibraryList list{library};
};

TEST_F(LibraryListTest, StartsWith384EmptyUnchangedRows) {
    ASSERT_EQ(list.rowCount(), 384);
    EXPECT_EQ(Text(0, LibraryList::IndexColumn), "A001");
    EXPECT_EQ(Text(383, LibraryList::IndexColumn), "C128");
    for (int row = 0; row < 384; ++row) {
        ASSERT_EQ(Text(row, LibraryList::NameColumn), "empty           ");
        ASSERT_EQ(Text(row, LibraryList::StatusColumn), "");
    }
    EXPECT_EQ(list.headerData(1, Qt::Horizontal).toString(), "Name");
}

TEST_F(LibraryListTest, InitEmptyBanksKeepsParametersHeadersAndMarks) {
    TSoundRecord edited = library.Sound(7);
    edited[6] = 42;
    edited[0] = 0xF0;
    library.StoreSound(7, edited, true);
    library.SetSoundName(7, "Lead");
    library.InitEmptyBanks();
    EXPECT_EQ(library.Sound(7)[6], 42);
    EXPECT_EQ(library.Sound(7)[0], 0xF0);
    EXPECT_TRUE(library.IsChanged(7));
    EXPECT_EQ(library.GetSoundName(7), "empty           ");
}

TEST_F(LibraryListTest, RebuildListRestoresTheCollectedSelection) {
    library.SetSelection({5, 6, 200});
    list.RebuildList();
    EXPECT_EQ(SelectedRows(), (std::vector<int>{5, 6, 200}));
}

TEST_F(LibraryListTest, CollectSelectionIsAscendingWhateverTheClickOrder) {
    list.SelectSlots({300, 2, 17});
    list.CollectSelection();
    ASSERT_EQ(library.SelectedCount(), 3);
    EXPECT_EQ(library.SelectedSlots()[0], 2);
    EXPECT_EQ(library.SelectedSlots()[1], 17);
    EXPECT_EQ(library.SelectedSlots()[2], 300);
    EXPECT_EQ(list.CurrentRow(), 2);
}

TEST_F(LibraryListTest, RowsFollowEveryWriteToTheLibrary) {
    std::vector<int> redrawn;
    QObject::connect(
        &list, &QAbstractItemModel::dataChanged,
        [&](const QModelIndex& from, const QModelIndex&) { redrawn.push_back(from.row()); });
    library.MarkChanged(3, true);
    library.SetSoundName(4, "Bass");
    library.StoreSound(5, library.Sound(5)); // the same sound: nothing to redraw
    EXPECT_EQ(redrawn, (std::vector<int>{3, 4}));
    EXPECT_EQ(Text(3, LibraryList::StatusColumn), "Changed");
    EXPECT_EQ(Text(4, LibraryList::NameColumn), "Bass            ");

    library.SetSelection({9, 10});
    library.SetSlotCount(12);
    EXPECT_EQ(list.rowCount(), 12);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{9, 10})) << "a rebuild keeps the selection";
    library.SetSoundName(200, "Pad"); // a slot below the rows shown
    EXPECT_EQ(list.rowCount(), 12);
}

TEST_F(LibraryListTest, CurrentRowFollowsSelection) {
    EXPECT_EQ(list.CurrentRow(), -1);
    list.SetCurrentRow(137);
    EXPECT_EQ(list.CurrentRow(), 137);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{137}));
    list.SetCurrentRow(400);
    EXPECT_EQ(list.CurrentRow(), 137);
}

TEST_F(LibraryListTest, HighNameBytesShowAsWindows1252) {
    library.SetSoundName(0, "Caf\xE9 \x80");
    EXPECT_EQ(Text(0, LibraryList::NameColumn), QString::fromUtf8("Caf\u00E9 \u20AC          "));
}

TEST_F(LibraryListTest, EmptyLibraryHasNoRowsAndNoCurrentRow) {
    library.SetSlotCount(0);
    EXPECT_EQ(list.rowCount(), 0);
    list.SelectAll();
    EXPECT_EQ(list.CurrentRow(), -1);
}

} // namespace
