#include "frm_compare_sounds.h"
#include "library_list.h"
#include "main_window.h"
#include "sound_library.h"
#include "support/modal_window.h"
#include "support/sound_builder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using sound_builder::SoundWith;

constexpr int Osc1Frequency = 0;
constexpr int Lfo1Shape = 42;

TSoundRecord Sound(std::string_view name, std::uint8_t note, std::uint8_t lfoShape) {
    return SoundWith(name, {{Osc1Frequency, note}, {Lfo1Shape, lfoShape}});
}

QStringList Row(const QTableWidget& grid, int row) {
    QStringList texts;
    for (int column = 0; column < grid.columnCount(); ++column)
        texts << grid.item(row, column)->text();
    return texts;
}

TEST(CompareSounds, ListsTheDifferencesFirstAndEveryParameterOnRequest) {
    TfrmCompareSounds compare(3, Sound("Bass", 36, 0), 130, Sound("Bass Two", 38, 3));
    EXPECT_EQ(compare.windowTitle(), "Compare Sounds");
    QTableWidget& grid = *compare.grdParameters;
    EXPECT_EQ(grid.horizontalHeaderItem(1)->text(), "A004 Bass");
    EXPECT_EQ(grid.horizontalHeaderItem(2)->text(), "B003 Bass Two");
    EXPECT_TRUE(compare.chbOnlyDifferences->isChecked());
    EXPECT_EQ(compare.lblSummary->text(), "3 parameters differ.");
    ASSERT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(Row(grid, 0), (QStringList{"Oscillator 1 Frequency", "C3", "D3"}));
    EXPECT_EQ(Row(grid, 1), (QStringList{"LFO 1 Shape", "Triangle", "Pulse (square)"}));
    EXPECT_EQ(Row(grid, 2), (QStringList{"Name", "Bass", "Bass Two"}));

    compare.chbOnlyDifferences->setChecked(false);
    EXPECT_EQ(grid.rowCount(), 174);              // every shown parameter and the name
    EXPECT_TRUE(grid.item(0, 0)->font().bold());  // differs
    EXPECT_FALSE(grid.item(1, 0)->font().bold()); // equal
    compare.chbOnlyDifferences->setChecked(true);
    EXPECT_EQ(grid.rowCount(), 3);
}

TEST(CompareSounds, TheMenuItemWantsTwoSelectedRowsAndOpensTheWindowOnThem) {
    TfrmMain window;
    auto* compare = window.findChild<QAction*>("actCompareSounds");
    ASSERT_NE(compare, nullptr);
    EXPECT_EQ(compare->text(), "Compare Sounds");
    window.Library().StoreSound(5, Sound("Lead", 60, 1));
    window.Library().StoreSound(9, Sound("Lead", 60, 1));
    auto* view = window.findChild<QTableView*>("ListView1");
    QItemSelectionModel& selection = *view->selectionModel();
    const auto select = [&](int row, QItemSelectionModel::SelectionFlags how) {
        selection.select(view->model()->index(row, 0), how | QItemSelectionModel::Rows);
    };

    EXPECT_FALSE(compare->isEnabled());
    select(5, QItemSelectionModel::ClearAndSelect);
    EXPECT_FALSE(compare->isEnabled());
    select(9, QItemSelectionModel::Select);
    EXPECT_TRUE(compare->isEnabled());
    select(12, QItemSelectionModel::Select);
    EXPECT_FALSE(compare->isEnabled());
    select(12, QItemSelectionModel::Deselect);
    ASSERT_TRUE(compare->isEnabled());

    QString summary;
    QString secondHeading;
    WhenShown<TfrmCompareSounds>([&](TfrmCompareSounds& dialog) {
        summary = dialog.lblSummary->text();
        secondHeading = dialog.grdParameters->horizontalHeaderItem(2)->text();
        dialog.accept();
    });
    compare->trigger();
    EXPECT_EQ(summary, "The sounds are equal.");
    EXPECT_EQ(secondHeading, "A010 Lead");
}

} // namespace
