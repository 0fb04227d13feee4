// "Global settings" and "Copy Sound" from the main window, against the
// built-in instrument.

#include "app/scripted_dialogs.h"
#include "frm_copy_sounds.h"
#include "frm_global.h"
#include "library_list.h"
#include "main_window.h"
#include "midi_ports.h"
#include "support/main_window_probes.h"
#include "support/named_child.h"

#include "builtin_instrument_service.h"
#include "virtual_mopho.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

namespace {

class DeviceToolsCommandsTest : public ::testing::Test {
protected:
    DeviceToolsCommandsTest()
        : instrument(std::make_shared<VirtualMopho>()),
          midi(nullptr, [this](std::span<const std::uint8_t> message) {
              return instrument->Receive(message);
          }) {
        window = std::make_unique<TfrmMain>(&prompter, &chooser, &midi);
    }

    // Runs `command`, then `inWindow` on the first modal window of type W
    // that opens; returns how many opened (waiting up to five seconds).
    template <typename W>
    int RunWindow(const std::function<void()>& command, const std::function<void(W&)>& inWindow) {
        int opened = 0;
        QTimer watch;
        watch.setInterval(10);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* shown = qobject_cast<W*>(QApplication::activeModalWidget());
            if (!shown || shown->property("seen").toBool())
                return;
            shown->setProperty("seen", true);
            ++opened;
            inWindow(*shown);
        });
        watch.start();
        command();
        QElapsedTimer clock;
        clock.start();
        while (opened == 0 && clock.elapsed() < 5000)
            QTest::qWait(10);
        QTest::qWait(300); // a second window would have opened by now
        return opened;
    }

    std::shared_ptr<VirtualMopho> instrument;
    BuiltInInstrumentService midi;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    std::unique_ptr<TfrmMain> window;
};

TEST_F(DeviceToolsCommandsTest, GlobalSettingsShowsTheInstrumentsGlobalsAndChangesThemLive) {
    auto* command = Named<QAction>(*window, "actGlobalSettings");
    ASSERT_TRUE(command->isEnabled());
    int transposeShown = -99;
    const int opened =
        RunWindow<TfrmGlobal>([&] { command->trigger(); },
                              [&](TfrmGlobal& shown) {
                                  transposeShown = shown.trbTranspose->value();
                                  shown.trbTranspose->setValue(-3);
                                  shown.cmbAudioOut->setCurrentIndex(1);
                                  QTimer::singleShot(0, &shown, [&shown] { shown.close(); });
                              });
    ASSERT_EQ(opened, 1);
    EXPECT_EQ(transposeShown, 0); // the instrument's Transpose 12
    midi.WaitUntilIdle();
    EXPECT_EQ(instrument->Global(0), 9);
    EXPECT_EQ(instrument->Global(8), 1);
    EXPECT_FALSE(window->Ports().ReceiveArmed);
    EXPECT_TRUE(MemoLines(*window).contains("Global"));
    // Panic goes out before the globals are asked for.
    const auto& log = instrument->Log();
    const auto request = std::find(log.begin(), log.end(), "F0 01 25 0E F7");
    ASSERT_NE(request, log.end());
    ASSERT_GE(request - log.begin(), 3);
    EXPECT_EQ(std::vector<std::string>(request - 3, request),
              (std::vector<std::string>{"B0 7B 00", "B0 78 00", "B0 40 00"}));
}

TEST_F(DeviceToolsCommandsTest, CopySoundFillsLibraryRowsMarkedChanged) {
    auto* command = Named<QAction>(*window, "actCopySound");
    ASSERT_TRUE(command->isEnabled());
    const TSoundRecord source = window->Library().SoundBanks[4];
    const int opened = RunWindow<TfrmCopySounds>([&] { command->trigger(); },
                                                 [&](TfrmCopySounds& copy) {
                                                     copy.cmbPrograms->setCurrentIndex(4);
                                                     copy.cmbBanks2->setCurrentIndex(2);
                                                     copy.cmbPrograms2->setCurrentIndex(126);
                                                     copy.edtCount->setText("4");
                                                     copy.btnRandomSound->click();
                                                 });
    ASSERT_EQ(opened, 1);
    for (int slot : {Slots::Of(2, 126), Slots::Of(2, 127)}) {
        EXPECT_EQ(window->Library().SoundBanks[static_cast<std::size_t>(slot)], source);
        EXPECT_EQ(window->List().data(window->List().index(slot, LibraryList::StatusColumn)),
                  "Changed");
    }
    EXPECT_EQ(MemoLines(*window).last(),
              "Copy Sound: 2 copies not made, the library ends at C128.");
}

} // namespace
