// Q-Morph and the parameter locker from the main window, against the
// built-in instrument: the locker opens on the instrument's edit buffer, and
// "Keep in library" stores its sound in the current row.

#include "frm_locker.h"
#include "frm_morph.h"
#include "library_list.h"
#include "main_window.h"
#include "scripted_dialogs.h"
#include "support/named_child.h"

#include "builtin_instrument_service.h"
#include "sysex_messages.h"
#include "virtual_mopho.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

namespace {

class SoundToolsTest : public ::testing::Test {
protected:
    SoundToolsTest()
        : instrument(std::make_shared<VirtualMopho>()),
          midi(nullptr, [this](std::span<const std::uint8_t> message) {
              return instrument->Receive(message);
          }) {
        window = std::make_unique<TfrmMain>(&prompter, &chooser, &midi);
        editBuffer = VirtualMopho::FactorySound(9);
        SetSoundName(editBuffer, "Edit Buffer");
        instrument->Receive(EditBufferDumpMessage(editBuffer));
        for (int slot = 0; slot < Slots::Count; ++slot)
            window->Library().SoundBanks[static_cast<std::size_t>(slot)] =
                VirtualMopho::FactorySound(slot);
    }

    // Runs `command`, then `inWindow` on the first window of type W that
    // opens modally; returns how many opened.
    template <typename W>
    int RunTool(const std::function<void()>& command, const std::function<void(W&)>& inWindow) {
        int opened = 0;
        QTimer watch;
        watch.setInterval(10);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* tool = qobject_cast<W*>(QApplication::activeModalWidget());
            if (!tool || tool->property("seen").toBool())
                return;
            tool->setProperty("seen", true);
            ++opened;
            inWindow(*tool);
        });
        watch.start();
        command();
        QElapsedTimer clock;
        clock.start();
        while (opened == 0 && clock.elapsed() < 5000)
            QTest::qWait(10);
        QTest::qWait(300);
        return opened;
    }

    std::shared_ptr<VirtualMopho> instrument;
    BuiltInInstrumentService midi;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    std::unique_ptr<TfrmMain> window;
    TSoundRecord editBuffer;
};

} // namespace

TEST_F(SoundToolsTest, CommandsAreEnabledWithTheirCaptions) {
    EXPECT_EQ(Named<QAction>(*window, "actLocker")->text(), "Sound Parameter Locker - Randomizer");
    EXPECT_EQ(Named<QAction>(*window, "actLocker")->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(Named<QAction>(*window, "actQMorph")->text(), "Q-Morph");
    for (const char* name : {"actLocker", "actQMorph"})
        EXPECT_TRUE(Named<QAction>(*window, name)->isEnabled()) << name;
    for (const char* name : {"btnLocker", "btnQMorph"})
        EXPECT_TRUE(Named<QPushButton>(*window, name)->isEnabled()) << name;
}

TEST_F(SoundToolsTest, QMorphOpensModally) {
    const int opened = RunTool<TfrmMorph>(
        [&] { Named<QPushButton>(*window, "btnQMorph")->click(); },
        [](TfrmMorph& morph) { QTimer::singleShot(0, &morph, [&morph] { morph.reject(); }); });
    EXPECT_EQ(opened, 1);
}

TEST_F(SoundToolsTest, KeepInLibraryStoresTheLockersSoundInTheCurrentRow) {
    const int row = 20;
    window->List().SetCurrentRow(row);
    TSoundRecord kept;
    const int opened =
        RunTool<TfrmLocker>([&] { Named<QAction>(*window, "actLocker")->trigger(); },
                            [&](TfrmLocker& locker) {
                                EXPECT_EQ(locker.WorkingSound()[SoundLayout::ParameterByte(20)],
                                          editBuffer[SoundLayout::ParameterByte(20)]);
                                Named<QCheckBox>(locker, "ckbFilter")->setChecked(true);
                                locker.btnNextSoundClick(); // A2
                                locker.Timer1Timer();
                                kept = locker.WorkingSound();
                                QTimer::singleShot(0, &locker, [&locker] {
                                    Named<QPushButton>(locker, "btnKeep")->click();
                                });
                            });
    ASSERT_EQ(opened, 1);
    const TSoundRecord& a2 = window->Library().SoundBanks[1];
    EXPECT_EQ(kept[SoundLayout::ParameterByte(20)], editBuffer[SoundLayout::ParameterByte(20)]);
    EXPECT_EQ(kept[SoundLayout::ParameterByte(0)], a2[SoundLayout::ParameterByte(0)]);
    EXPECT_EQ(GetSoundName(kept), "Edit Buffer     ");

    // The instrument plays it, and the library keeps it as program A021.
    midi.WaitUntilIdle();
    for (int p = 0; p < 184; ++p)
        EXPECT_EQ(instrument->EditBuffer()[SoundLayout::ParameterByte(p)],
                  kept[SoundLayout::ParameterByte(p)])
            << p;
    const TSoundRecord& stored = window->Library().SoundBanks[row];
    for (int p = 0; p < SoundLayout::ParameterCount; ++p)
        EXPECT_EQ(stored[SoundLayout::ParameterByte(p)], kept[SoundLayout::ParameterByte(p)]) << p;
    EXPECT_EQ(stored[SoundLayout::ProgramByte], row);
    EXPECT_TRUE(window->Library().IsChanged(row));
    EXPECT_TRUE(window->List().ShownName(row).contains("Edit Buffer"));
}

TEST_F(SoundToolsTest, ClosingTheLockerOtherwiseLeavesTheLibrary) {
    window->List().SetCurrentRow(3);
    const auto before = window->Library().SoundBanks;
    const int opened =
        RunTool<TfrmLocker>([&] { Named<QPushButton>(*window, "btnLocker")->click(); },
                            [&](TfrmLocker& locker) {
                                locker.btnRandomSoundClick();
                                locker.Timer1Timer();
                                QTimer::singleShot(0, &locker, [&locker] { locker.close(); });
                            });
    ASSERT_EQ(opened, 1);
    EXPECT_EQ(window->Library().SoundBanks, before);
    EXPECT_FALSE(window->Library().IsChanged(3));
}
