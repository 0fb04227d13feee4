#include "frm_sysex_receiver.h"
#include "midi/fake_midi_service.h"
#include "midi_ports.h"
#include "receive_dispatch.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// The main window's ReplyReceived handler may tell the wait box before or
// after it runs the dispatch; the box must end the wait right in both cases.
enum class NoteOrder { BeforeDispatch, AfterDispatch };

class WaitBox : public ::testing::Test {
protected:
    WaitBox() { box.Timer1->stop(); } // the tests tick by hand

    // A bank read of `sounds` programs as the commands start it: all pairs
    // pushed so that program 0 pops first, the first one popped and requested.
    void StartBankRead(int sounds) {
        ports.Requests.ClearRequests();
        for (int program = sounds - 1; program >= 0; --program) {
            ports.Requests.PushRequestByte(0);
            ports.Requests.PushRequestByte(static_cast<std::uint8_t>(program));
        }
        ports.Requests.PopRequestByte();
        ports.Requests.PopRequestByte();
        StartSingleRequest();
    }
    void StartSingleRequest() {
        ports.StartReceive(300);
        box.show();
    }

    // The dispatch of a program dump: count it, chain the next request or end
    // the exchange, and re-arm the receive in both cases.
    void DispatchProgramDump() {
        ++ports.ReceivedCount;
        box.SetLabelText(QStringLiteral("Received %1 sound.").arg(ports.ReceivedCount));
        if (ports.Requests.RequestCount() > 0) {
            ports.Requests.PopRequestByte();
            ports.Requests.PopRequestByte();
        } else {
            ports.ReceiveArmed = false;
        }
        ports.ArmReceive(300);
    }
    // The dispatch of a single reply (device version, globals, edit buffer).
    void DispatchSingleReply() { ports.ReceiveArmed = false; }

    template <typename Dispatch> void ReplyArrives(Dispatch dispatch) {
        if (order == NoteOrder::BeforeDispatch)
            box.NoteReplyArrived();
        dispatch();
        if (order == NoteOrder::AfterDispatch)
            box.NoteReplyArrived();
        QCoreApplication::processEvents();
    }

    NoteOrder order = NoteOrder::BeforeDispatch;
    FakeMidiService service; // no devices: arming only sets the flag
    MidiPorts ports{service, {}};
    TfrmSysExReceiver box{ports};
};

class WaitBoxInEitherOrder : public WaitBox, public ::testing::WithParamInterface<NoteOrder> {
protected:
    WaitBoxInEitherOrder() { order = GetParam(); }
};

TEST_P(WaitBoxInEitherOrder, BankReadStaysUpUntilTheReplyToItsLastRequestIsHandled) {
    StartBankRead(3);
    box.Timer1Timer();
    EXPECT_TRUE(box.isVisible());

    ReplyArrives([this] { DispatchProgramDump(); });
    box.Timer1Timer();
    EXPECT_TRUE(box.isVisible()) << "one request left";

    ReplyArrives([this] { DispatchProgramDump(); });
    ASSERT_EQ(ports.Requests.RequestCount(), 0);
    box.Timer1Timer();
    box.Timer1Timer();
    EXPECT_TRUE(box.isVisible()) << "the stack is empty but the last reply is outstanding";

    ReplyArrives([this] { DispatchProgramDump(); });
    EXPECT_TRUE(ports.ReceiveArmed) << "the dispatch re-arms after every program dump";
    EXPECT_EQ(box.LabelText(), "Received 3 sound.");
    EXPECT_FALSE(box.isVisible()) << "the last reply ends the wait at once, not at the next tick";
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_EQ(ports.ReceivedCount, 0);
    EXPECT_EQ(box.LabelText(), "Received 3 sound.");
}

TEST_P(WaitBoxInEitherOrder, ReadOfTheCurrentSoundEndsAfterItsOneReply) {
    StartSingleRequest(); // a program dump with nothing on the stack
    box.Timer1Timer();
    EXPECT_TRUE(box.isVisible());
    ReplyArrives([this] { DispatchProgramDump(); });
    EXPECT_FALSE(box.isVisible());
}

TEST_P(WaitBoxInEitherOrder, SingleRequestKeepsWaitingWhileArmedAndEndsOnceHandled) {
    QSignalSpy gaveUp(&box, &TfrmSysExReceiver::GaveUp);
    StartSingleRequest();
    for (int tick = 1; tick < ReplyWait::SilenceTicks; ++tick)
        box.Timer1Timer();
    EXPECT_TRUE(box.isVisible());

    ReplyArrives([this] { DispatchSingleReply(); });
    box.Timer1Timer();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(gaveUp.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(NoteOrders, WaitBoxInEitherOrder,
                         ::testing::Values(NoteOrder::BeforeDispatch, NoteOrder::AfterDispatch),
                         [](const ::testing::TestParamInfo<NoteOrder>& info) {
                             return info.param == NoteOrder::BeforeDispatch ? "NotedBeforeDispatch"
                                                                            : "NotedAfterDispatch";
                         });

TEST_F(WaitBox, CloseEmptiesTheStackDisarmsAndZeroesTheCount) {
    StartBankRead(10);
    Await(ports, ReplyKind::ProgramDump);
    ReplyArrives([this] { DispatchProgramDump(); });
    box.Button1->click();
    EXPECT_EQ(AwaitedReply(ports), ReplyKind::None) << "no reply is awaited any more";
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Rejected);
    EXPECT_EQ(ports.Requests.RequestCount(), 0);
    EXPECT_FALSE(ports.ReceiveArmed);
    EXPECT_EQ(ports.ReceivedCount, 0);
    EXPECT_FALSE(box.Waiting());
}

TEST_F(WaitBox, TitleBarCloseAbandonsTheWaitLikeClose) {
    StartBankRead(10);
    box.close();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(ports.Requests.RequestCount(), 0);
    EXPECT_FALSE(ports.ReceiveArmed);
}

TEST_F(WaitBox, GivesUpOnSilenceWithOneMemoLine) {
    QSignalSpy gaveUp(&box, &TfrmSysExReceiver::GaveUp);
    StartBankRead(5);
    for (int tick = 1; tick < ReplyWait::SilenceTicks; ++tick)
        box.Timer1Timer();
    ReplyArrives([this] { DispatchProgramDump(); }); // a reply restarts the count
    for (int tick = 1; tick < ReplyWait::SilenceTicks; ++tick)
        box.Timer1Timer();
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(gaveUp.count(), 0);

    box.Timer1Timer();
    EXPECT_FALSE(box.isVisible());
    ASSERT_EQ(gaveUp.count(), 1);
    EXPECT_EQ(gaveUp.at(0).at(0).toString(), "No reply from the instrument within 5 seconds.");
    EXPECT_EQ(AwaitedReply(ports), ReplyKind::None);
    EXPECT_EQ(ports.Requests.RequestCount(), 0);
    EXPECT_FALSE(ports.ReceiveArmed);
    EXPECT_EQ(ports.ReceivedCount, 0);

    box.Timer1Timer();
    box.Timer1Timer();
    EXPECT_EQ(gaveUp.count(), 1);
}

TEST_F(WaitBox, TimeInAWindowTheReplyOpenedIsNoSilence) {
    QSignalSpy gaveUp(&box, &TfrmSysExReceiver::GaveUp);
    StartSingleRequest();
    QDialog globals; // opened modally by the dispatch of a globals reply
    globals.setWindowModality(Qt::ApplicationModal);
    globals.show();
    for (int tick = 0; tick < 2 * ReplyWait::SilenceTicks; ++tick)
        box.Timer1Timer();
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(gaveUp.count(), 0);

    globals.close();
    DispatchSingleReply();
    box.Timer1Timer();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(gaveUp.count(), 0);
}

TEST_F(WaitBox, EachWaitStartsItsSilenceAndReplyCountAfresh) {
    QSignalSpy gaveUp(&box, &TfrmSysExReceiver::GaveUp);
    StartSingleRequest();
    ReplyArrives([this] { DispatchProgramDump(); });
    box.Timer1Timer();
    ASSERT_FALSE(box.isVisible());

    // A later wait neither ends at once on the earlier reply nor gives up early.
    StartSingleRequest();
    for (int tick = 1; tick < ReplyWait::SilenceTicks; ++tick)
        box.Timer1Timer();
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(gaveUp.count(), 0);
}

TEST_F(WaitBox, ASendIsNeitherEndedNorGivenUpByTheTimerOnlyStoppedByClose) {
    QSignalSpy gaveUp(&box, &TfrmSysExReceiver::GaveUp);
    box.BeginSendProgress();
    for (int tick = 0; tick < 4 * ReplyWait::SilenceTicks; ++tick)
        box.Timer1Timer();
    EXPECT_TRUE(box.isVisible());
    EXPECT_FALSE(box.SendStopped());
    EXPECT_EQ(gaveUp.count(), 0);

    box.Button1->click();
    EXPECT_TRUE(box.SendStopped());
    EXPECT_FALSE(box.isVisible());
    box.EndSendProgress();

    // The next wait for a reply works as before.
    ports.Requests.ClearRequests();
    StartSingleRequest();
    for (int tick = 0; tick < ReplyWait::SilenceTicks; ++tick)
        box.Timer1Timer();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(gaveUp.count(), 1);
}

TEST(WaitBoxWhileHidden, TicksEmptyTheStackAndZeroTheCountOnly) {
    FakeMidiService service;
    MidiPorts ports{service, {}};
    TfrmSysExReceiver box{ports};
    box.Timer1->stop();
    ports.Requests.PushRequestByte(1);
    ports.Requests.PushRequestByte(2);
    ports.ReceivedCount = 4;
    ports.ReceiveArmed = true;
    box.NoteReplyArrived(); // a late reply outside any wait
    QCoreApplication::processEvents();

    box.Timer1Timer();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(ports.Requests.RequestCount(), 0);
    EXPECT_EQ(ports.ReceivedCount, 0);
    EXPECT_TRUE(ports.ReceiveArmed) << "a late reply is still handled while armed";
}

TEST(WaitBoxLayout, CaptionSizeControlsAndTimer) {
    FakeMidiService service;
    MidiPorts ports{service, {}};
    TfrmSysExReceiver box{ports};
    EXPECT_EQ(box.windowTitle(), "SysEx Communication");
    EXPECT_EQ(box.LabelText(), "Waiting for Mopho.");
    EXPECT_EQ(box.findChild<QPushButton*>("Button1")->text(), "&Close");
    EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(box.Timer1->isActive()) << "runs from creation";
    EXPECT_EQ(box.Timer1->interval(), 1000);

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
