// The global settings window over JACK: a global changed in the window is
// the instrument's global afterwards, as its next globals dump shows.

#include "../support/main_window_probes.h"
#include "../support/modal_window.h"
#include "../support/program_folder.h"
#include "window_fixture.h"

#include "../app/scripted_dialogs.h"

#include "builtin_instrument_service.h"
#include "frm_global.h"
#include "instrument_commands.h"
#include "instrument_exchange.h"
#include "main_window.h"
#include "midi_ports.h"
#include "rtmidi_service.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

using namespace e2e;

class GlobalSettingsOverJack : public WindowOverJack {
protected:
    // "Global settings", then `inWindow` on the window the reply opens;
    // false when none opened within five seconds.
    static bool RunGlobalSettings(TfrmMain& window,
                                  const std::function<void(TfrmGlobal&)>& inWindow) {
        return WhenModalOpens<TfrmGlobal>(
                   [&] { Named<QAction>(window, "actGlobalSettings")->trigger(); },
                   [&](TfrmGlobal& globals) {
                       inWindow(globals);
                       QTimer::singleShot(0, &globals, [&globals] { globals.close(); });
                   }) > 0;
    }
};

TEST_F(GlobalSettingsOverJack, AGlobalChangedInTheWindowIsTheInstrumentsGlobal) {
    const fs::path logFile = folder_ / "received.log";
    auto instrument = Start({"--log", logFile.string()});
    auto window = OpenWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(AskDeviceVersion(*window).isEmpty()) << "the ports did not connect";

    int transposeShown = -99;
    ASSERT_TRUE(RunGlobalSettings(*window, [&](TfrmGlobal& globals) {
        transposeShown = globals.trbTranspose->value();
        globals.trbTranspose->setValue(5);
        globals.cmbParameterReceive->setCurrentIndex(2);
    }));
    EXPECT_EQ(transposeShown, 0) << "a fresh instrument's Transpose is 12";
    EXPECT_FALSE(window->Instrument().Exchange().Waiting());

    // Asked again, the instrument's dump holds the changes.
    int transposeAfter = -99;
    int receiveAfter = -99;
    ASSERT_TRUE(RunGlobalSettings(*window, [&](TfrmGlobal& globals) {
        transposeAfter = globals.trbTranspose->value();
        receiveAfter = globals.cmbParameterReceive->currentIndex();
    }));
    EXPECT_EQ(transposeAfter, 5);
    EXPECT_EQ(receiveAfter, 2);

    window.reset();
    midi_.reset();
    ASSERT_EQ(instrument->Stop(), 0);
    const auto log = ReadLines(logFile);
    // Panic first, then the request for the globals.
    const std::vector<std::string> ask = {"B0 7B 00", "B0 78 00", "B0 40 00", "F0 01 25 0E F7"};
    EXPECT_NE(std::search(log.begin(), log.end(), ask.begin(), ask.end()), log.end());
}

} // namespace
