#include "instrument_commands.h"
#include "instrument_exchange.h"
#include "library_list.h"
#include "library_table_view.h"
#include "main_window.h"
#include "message_memo.h"
#include "midi_ports.h"
#include "support/main_window_probes.h"
#include "support/named_child.h"

#include <QAccessible>
#include <QAction>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString AccessibleName(QObject* object) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Name) : QString();
}

TEST(MainWindow, OpensWith384EmptyRows) {
    TfrmMain window;
    window.show();
    EXPECT_EQ(window.windowTitle(), "Tonewright - Sound Editor - Sound Restrictioned Randomizer");
    EXPECT_EQ(window.size(), QSize(787, 535));

    auto* view = window.findChild<QTableView*>("ListView1");
    ASSERT_NE(view, nullptr);
    QAbstractItemModel* model = view->model();
    ASSERT_EQ(model->rowCount(), 384);
    for (int row = 0; row < 384; ++row) {
        ASSERT_EQ(model->index(row, 0).data().toString().toStdString(), Slots::Caption(row));
        ASSERT_EQ(model->index(row, 1).data().toString(), "empty           ");
        ASSERT_NE(model->index(row, 2).data().toString(), "Changed");
    }
    // The name takes the free width.
    EXPECT_GE(view->columnWidth(1), 150);
    EXPECT_EQ(view->columnWidth(2), 70);
    EXPECT_EQ(view->columnWidth(0) + view->columnWidth(1) + view->columnWidth(2),
              view->viewport()->width());
    EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(view->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(view->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST(MainWindow, MemoStartsWithTonewrightAndKeepsAtMost1000Lines) {
    TfrmMain window;
    auto* memo = window.findChild<MessageMemo*>("Memo1");
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Lines(), QStringList{"Tonewright"});

    for (int i = 1; i <= 999; ++i)
        window.LogMessage(QString::number(i));
    EXPECT_EQ(memo->LineCount(), 1000);
    EXPECT_EQ(memo->Lines().first(), "Tonewright");

    window.LogMessage("1000");
    EXPECT_EQ(memo->LineCount(), 1000);
    EXPECT_EQ(memo->Lines().first(), "1");
    EXPECT_EQ(memo->Lines().last(), "1000");
}

TEST(MainWindow, MemoShowsTheNewestLineUnlessTheUserScrolledUp) {
    TfrmMain window;
    window.show();
    auto* memo = window.findChild<MessageMemo*>("Memo1");
    QScrollBar* bar = memo->verticalScrollBar();
    const auto newestInView = [&] { return bar->value() == bar->maximum(); };
    // Lines come one by one while the window goes on painting, as during a read.
    const auto log = [&](const QString& line) {
        window.LogMessage(line);
        QCoreApplication::processEvents();
    };
    for (int sound = 0; sound < 128; ++sound)
        log(QStringLiteral("DSIM Bank: 3 Sound:%1").arg(sound));
    EXPECT_TRUE(newestInView());
    // A long line (a file error with its path) wraps; no sideways scrolling.
    log(QStringLiteral("Cannot read /home/musician/sounds/a-rather-long-folder-name/"
                       "and-a-long-file-name-too.syx: No such file or directory"));
    log(QStringLiteral("Sending stopped after 15 of 384 sounds."));
    EXPECT_FALSE(memo->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(newestInView());
    // Lines laid out again later (the window resized, long lines wrapped
    // anew) still end with the newest in view.
    window.resize(window.width() - 60, window.height() - 80);
    QCoreApplication::processEvents();
    EXPECT_TRUE(newestInView());

    // Scrolled up to read, the memo stays there; back at the end, it follows again.
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCoreApplication::processEvents();
    const int reading = bar->value();
    window.LogMessage(QStringLiteral("one more"));
    EXPECT_EQ(bar->value(), reading);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    QCoreApplication::processEvents();
    window.LogMessage(QStringLiteral("and another"));
    EXPECT_TRUE(newestInView());
}

TEST(MainWindow, DoubleClickClearsTheMemo) {
    TfrmMain window;
    window.show();
    auto* memo = window.findChild<MessageMemo*>("Memo1");
    window.LogMessage("something");
    QTest::mouseDClick(memo->viewport(), Qt::LeftButton);
    EXPECT_EQ(memo->LineCount(), 0);
    window.LogMessage("after");
    EXPECT_EQ(memo->Lines(), QStringList{"after"});
}

TEST(MainWindow, EveryCommandIsPresentWithItsKeyAndWorking) {
    TfrmMain window;
    struct Item {
        const char* name;
        const char* caption;
        QKeySequence shortcut;
    };
    const Item items[] = {
        {"EditEditBuffer1", "Edit \"Edit Buffer\"", QKeySequence("F4")},
        {"actLocker", "Sound Parameter Locker - Randomizer", QKeySequence("Ctrl+O")},
        {"actQMorph", "Q-Morph", QKeySequence()},
        {"actCopySound", "Copy Sound", QKeySequence()},
        {"actGlobalSettings", "Global settings", QKeySequence()},
        {"actShortHelp", "Short help", QKeySequence("F1")},
        {"actReadCurrentSound", nullptr, QKeySequence("Ctrl+R")},
        {"actSendSelectedSounds", nullptr, QKeySequence("Ctrl+W")},
        {"actPanic", "Panic", QKeySequence("F12")},
        {"actLoadBankFile", nullptr, QKeySequence("Ctrl+L")},
        {"actSaveBankFile", nullptr, QKeySequence("Ctrl+S")}, // the list has rows
        {"actAbout", "About", QKeySequence()},
        {"actDeviceVersion", "Device Version", QKeySequence()},
        {"actTonewrightSettings", nullptr, QKeySequence()},
        {"actOrderByName", "Order by name", QKeySequence()},
        {"actExit", nullptr, QKeySequence()},
        {"actSelectAllSounds", nullptr, QKeySequence()},
    };
    for (const Item& item : items) {
        auto* action = window.findChild<QAction*>(item.name);
        ASSERT_NE(action, nullptr) << item.name;
        if (item.caption) {
            EXPECT_EQ(action->text(), item.caption);
        }
        if (!item.shortcut.isEmpty()) {
            EXPECT_EQ(action->shortcut(), item.shortcut) << item.name;
        }
        EXPECT_TRUE(action->isEnabled()) << item.name;
    }
    for (const char* button : {"btnEditSound", "btnQMorph", "btnLocker"})
        EXPECT_TRUE(Named<QPushButton>(window, button)->isEnabled()) << button;
}

TEST(MainWindow, MenusAreInOrder) {
    TfrmMain window;
    QStringList titles;
    for (QAction* menu : window.menuBar()->actions())
        titles << menu->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&System", "&Tools", "&Help"}));
}

TEST(MainWindow, SelectAllAndSelectAllChanged) {
    TfrmMain window;
    window.Library().MarkChanged(10, true);
    window.Library().MarkChanged(300, true);
    window.List().SetCurrentRow(5);
    Named<QAction>(window, "actSelectAllChangedSounds")->trigger();
    window.List().CollectSelection();
    ASSERT_EQ(window.Library().SelectedCount(), 3) << "changed rows are added to the selection";
    EXPECT_EQ(window.Library().SelectedSlots()[1], 10);
    EXPECT_EQ(window.Library().SelectedSlots()[2], 300);

    Named<QAction>(window, "actSelectAllSounds")->trigger();
    window.List().CollectSelection();
    EXPECT_EQ(window.Library().SelectedCount(), 384);
}

TEST(MainWindow, ExposesNamesToAssistiveTechnology) {
    TfrmMain window;
    window.show();
    EXPECT_EQ(AccessibleName(Named<MessageMemo>(window, "Memo1")), "Messages");
    EXPECT_EQ(AccessibleName(Named<QTableView>(window, "ListView1")), "Sound library");
    EXPECT_EQ(AccessibleName(Named<QPushButton>(window, "btnPanic")), "PanicF12");

    QAccessibleInterface* table =
        QAccessible::queryAccessibleInterface(Named<QTableView>(window, "ListView1"));
    ASSERT_NE(table, nullptr);
    QAccessibleTableInterface* cells = table->tableInterface();
    ASSERT_NE(cells, nullptr);
    EXPECT_EQ(cells->rowCount(), 384);
    EXPECT_EQ(cells->cellAt(137, 0)->text(QAccessible::Name), "B010");
}

} // namespace

namespace {

// The whole request cycle against the built-in instrument: request, wait box,
// reply on the instrument's thread, dispatch on the GUI thread.
TEST(MainWindow, DeviceVersionShowsTheInstrumentsVersion) {
    TfrmMain window;
    Named<QAction>(window, "actDeviceVersion")->trigger(); // returns when the wait box has closed
    EXPECT_EQ(MemoLines(window).last(), "Software version: 1.4");
    EXPECT_FALSE(window.Instrument().Exchange().Waiting());
}

} // namespace
