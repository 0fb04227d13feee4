#include "library_list.h"
#include "library_table_view.h"
#include "sound_library.h"

#include "support/selected_rows.h"

#include <QApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class LibraryTableViewTest : public ::testing::Test {
protected:
    LibraryTableViewTest() {
        library.InitEmptyBanks();
        list.RebuildList();
        view.setModel(&list);
        view.setSelectionModel(list.selectionModel());
        view.setSelectionBehavior(QAbstractItemView::SelectRows);
        view.setSelectionMode(QAbstractItemView::ExtendedSelection);
        view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view.verticalHeader()->setDefaultSectionSize(20);
        view.resize(400, 300);
        view.show();
    }

    QPoint RowCenter(int row) { return view.visualRect(list.index(row, 1)).center(); }

    // Sends the enter, move and drop of one drag to the list; returns whether
    // the drop was accepted.
    bool DropAt(QPoint position, const QMimeData& data) {
        QDragEnterEvent enter(position, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &enter);
        QDragMoveEvent move(position, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &move);
        QDropEvent drop(QPointF(position), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &drop);
        return drop.isAccepted();
    }

    std::vector<int> SelectedRows() { return SelectedRowsOf(*list.selectionModel()); }

    TSoundLibrary library;
    LibraryList list{library};
    LibraryTableView view;
};

TEST_F(LibraryTableViewTest, ADropOfItsOwnDragNamesTheCurrentRowAndTheRowUnderThePoint) {
    list.SelectSlots({2, 5});
    QSignalSpy dropped(&view, &LibraryTableView::SoundDropped);
    std::unique_ptr<QMimeData> data(view.CreateRowDragData());

    EXPECT_TRUE(DropAt(RowCenter(9), *data));
    ASSERT_EQ(dropped.count(), 1);
    EXPECT_EQ(dropped.at(0).at(0).toInt(), 2);
    EXPECT_EQ(dropped.at(0).at(1).toInt(), 9);
}

TEST_F(LibraryTableViewTest, DragsFromElsewhereAreRefused) {
    list.SelectSlots({2});
    QSignalSpy dropped(&view, &LibraryTableView::SoundDropped);

    QMimeData text;
    text.setText(QStringLiteral("B010"));
    EXPECT_FALSE(DropAt(RowCenter(4), text));

    // A row dragged from another list of the program.
    LibraryTableView other;
    std::unique_ptr<QMimeData> fromOther(other.CreateRowDragData());
    EXPECT_FALSE(DropAt(RowCenter(4), *fromOther));
    EXPECT_EQ(dropped.count(), 0);
}

TEST_F(LibraryTableViewTest, ADropWithNoRowUnderItOrNothingSelectedDoesNothing) {
    QSignalSpy dropped(&view, &LibraryTableView::SoundDropped);
    std::unique_ptr<QMimeData> data(view.CreateRowDragData());
    EXPECT_FALSE(DropAt(RowCenter(4), *data)); // nothing selected

    library.SetSlotCount(3); // leaves room below the last row
    list.RebuildList();
    list.SelectSlots({1});
    EXPECT_FALSE(DropAt(QPoint(50, 250), *data));
    EXPECT_EQ(dropped.count(), 0);
}

TEST_F(LibraryTableViewTest, RightPressNamesTheRowAndKeepsTheSelection) {
    list.SelectSlots({1, 2});
    QSignalSpy target(&view, &LibraryTableView::MoveTargetClicked);
    QTest::mousePress(view.viewport(), Qt::RightButton, {}, RowCenter(7));
    QTest::mouseRelease(view.viewport(), Qt::RightButton, {}, RowCenter(7));

    ASSERT_EQ(target.count(), 1);
    EXPECT_EQ(target.at(0).at(0).toInt(), 7);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 2}));
}

TEST_F(LibraryTableViewTest, ALeftDragFromARowDragsInsteadOfSelecting) {
    list.SelectSlots({1, 3});
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, RowCenter(3));
    QMouseEvent move(QEvent::MouseMove, QPointF(RowCenter(6)),
                     view.viewport()->mapToGlobal(QPointF(RowCenter(6))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &move);
    // The selection the drag started from is still there.
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 3}));
    EXPECT_EQ(view.DraggedRow(), 1);
}

TEST_F(LibraryTableViewTest, ViewportReportsAndScrollsByWholeRows) {
    TableViewport viewport(view);
    EXPECT_EQ(viewport.TopVisibleRow(), 0);
    EXPECT_EQ(viewport.VisibleRowCount(), view.viewport()->height() / 20);

    viewport.ScrollByPixels(10);
    EXPECT_EQ(viewport.TopVisibleRow(), 1);
    viewport.ScrollByPixels(45);
    EXPECT_EQ(viewport.TopVisibleRow(), 3);
    viewport.ScrollByPixels(-10);
    EXPECT_EQ(viewport.TopVisibleRow(), 2);
    viewport.ProcessPendingEvents();
}

} // namespace
