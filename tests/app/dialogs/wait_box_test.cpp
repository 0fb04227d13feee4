#include "frm_sysex_receiver.h"
#include "instrument_exchange.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace std::chrono_literals;

// The box on an exchange whose replies may take 30 ms; the tests tick by hand.
class WaitBox : public ::testing::Test {
protected:
    WaitBox() {
        box.Timer1->stop();
        exchange.SetEndHandler([this](ExchangeEnd) { box.ExchangeEnded(); });
    }
    void AskForVersion() {
        ASSERT_EQ(exchange.AskFor(ReplyKind::DeviceVersion, {0xF0, 0xF7}), MidiError::None);
        box.show();
    }
    // Lets the reply time run out, then ticks.
    void SilentTick() {
        std::this_thread::sleep_for(40ms);
        box.Timer1Timer();
    }

    int requests = 0;
    InstrumentExchange exchange{[this](std::span<const std::uint8_t>) {
                                    ++requests;
                                    return MidiError::None;
                                },
                                30ms};
    TfrmSysExReceiver box{exchange};
};

TEST_F(WaitBox, ClosesTheMomentTheExchangeEnds) {
    AskForVersion();
    exchange.Answered();
    EXPECT_FALSE(box.isVisible());

    AskForVersion();
    SilentTick(); // asked once more
    EXPECT_TRUE(box.isVisible());
    SilentTick();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(exchange.LastEnd(), ExchangeEnd::Silent);
    EXPECT_EQ(requests, 3);
}

TEST_F(WaitBox, TimeInAWindowTheReplyOpenedIsNoSilence) {
    AskForVersion();
    QDialog globals;
    globals.setWindowModality(Qt::ApplicationModal);
    globals.show();
    for (int tick = 0; tick < 3; ++tick)
        SilentTick();
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(requests, 1);
    globals.close();
    SilentTick();
    EXPECT_EQ(requests, 2);
}

TEST_F(WaitBox, CloseAbandonsTheExchange) {
    AskForVersion();
    box.Button1->click();
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(exchange.Waiting());
    EXPECT_EQ(exchange.LastEnd(), ExchangeEnd::Abandoned);
}

TEST_F(WaitBox, ASendIsNeitherEndedNorGivenUpByTheTimerOnlyStoppedByClose) {
    box.BeginSendProgress();
    for (int tick = 0; tick < 3; ++tick)
        SilentTick();
    EXPECT_TRUE(box.isVisible());
    EXPECT_FALSE(box.SendStopped());
    box.Button1->click();
    EXPECT_TRUE(box.SendStopped());
    EXPECT_FALSE(box.isVisible());
    box.EndSendProgress();
    EXPECT_EQ(requests, 0);
}

TEST(WaitBoxLayout, CaptionSizeControlsAndTimer) {
    InstrumentExchange exchange{[](std::span<const std::uint8_t>) { return MidiError::None; }};
    TfrmSysExReceiver box{exchange};
    EXPECT_EQ(box.windowTitle(), "SysEx Communication");
    EXPECT_EQ(box.LabelText(), "Waiting for Mopho.");
    EXPECT_EQ(box.findChild<QPushButton*>("Button1")->text(), "&Close");
    EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(box.Timer1->isActive()) << "runs from creation";
    EXPECT_EQ(box.Timer1->interval(), 250);

    box.SetLabelText(QStringLiteral("Received globals."));
    box.show();
    EXPECT_EQ(box.size(), QSize(248, 86));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    EXPECT_EQ(box.LabelText(), "Received globals.") << "not reset when shown again";
    EXPECT_GE(box.Label1->width(), 225);
    EXPECT_GE(box.Label1->height(), 25);
    EXPECT_LE(box.layout()->minimumSize().height(), 86);
    if (const QString folder = qEnvironmentVariable("TW_DIALOG_SHOTS"); !folder.isEmpty())
        box.grab().save(QDir(folder).filePath(QStringLiteral("wait-box.png")));
}

} // namespace
