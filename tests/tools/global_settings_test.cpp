// The global settings window: what loading a dump shows and sends back, and
// the one NRPN each change by hand sends.

#include "frm_global.h"
#include "support/recording_midi_output.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Changes = std::vector<std::pair<int, int>>;

class GlobalSettingsTest : public ::testing::Test {
protected:
    // The (parameter, value) pairs of the NRPNs sent since last asked.
    Changes Sent() {
        const auto bytes = out.TakeShortMessageBytes();
        Changes sent;
        for (std::size_t i = 0; i + 3 < bytes.size(); i += 4)
            sent.emplace_back(bytes[i][2] * 128 + bytes[i + 1][2],
                              bytes[i + 2][2] * 128 + bytes[i + 3][2]);
        return sent;
    }
    RecordingMidiOutput out;
    TfrmGlobal window{out};
};

// Dump order: Transpose, Fine Tune, MIDI Channel, Clock, Parameter Send,
// Parameter Receive, MIDI Controller, MIDI SysEx, Audio Out, MIDI Out select.
TEST_F(GlobalSettingsTest, LoadingSendsBackOnlyTrackBarsAndSwitchesThatMoved) {
    EXPECT_EQ(window.size(), QSize(436, 273));
    window.LoadGlobals({12, 50, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(window.lblTranspose->text(), "0");
    EXPECT_EQ(window.lblFineTune->text(), "0");

    TfrmGlobal moved(out);
    moved.LoadGlobals({0, 100, 3, 2, 1, 2, 1, 1, 1, 1});
    EXPECT_EQ(Sent(), (Changes{{384, 0}, {385, 100}, {394, 1}, {395, 1}})) << "lists send nothing";
    EXPECT_EQ(moved.lblTranspose->text(), "-12");
    EXPECT_EQ(moved.cmbMidiChannel->currentText(), "3");
    EXPECT_EQ(moved.cmbClock->currentText(), "Use MIDI clock In");
    EXPECT_EQ(moved.cmbParameterReceive->currentText(), "CC only");
    EXPECT_EQ(moved.cmbMidiOut->currentText(), "MIDI Thru");
}

TEST_F(GlobalSettingsTest, ValuesOutsideTheirControlsLeaveThemAsTheyAreAndAreNotSentBack) {
    // Transpose 30 would clamp to +12 and send 24: a value the instrument never had.
    window.LoadGlobals({30, 101, 17, 4, 3, 4, 2, 5, 2, 2});
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(window.trbTranspose->value(), 0);
    EXPECT_EQ(window.trbFineTune->value(), 0);
    for (QComboBox* list : {window.cmbMidiChannel, window.cmbClock, window.cmbParameterSend,
                            window.cmbParameterReceive, window.cmbAudioOut, window.cmbMidiOut})
        EXPECT_EQ(list->currentIndex(), -1) << list->objectName().toStdString();
    EXPECT_FALSE(window.chbMidiController->isChecked());
}

TEST_F(GlobalSettingsTest, EachChangeByHandSendsOneParameterChange) {
    window.show();
    const std::tuple<QComboBox*, int, int> lists[] = {
        {window.cmbMidiChannel, 16, 386},  {window.cmbClock, 3, 388},
        {window.cmbParameterSend, 2, 390}, {window.cmbParameterReceive, 1, 391},
        {window.cmbAudioOut, 1, 305},      {window.cmbMidiOut, 1, 406}};
    for (const auto& [list, item, nrpn] : lists) {
        list->setCurrentIndex(item);
        EXPECT_EQ(Sent(), (Changes{{nrpn, item}})) << list->objectName().toStdString();
    }
    QTest::mouseClick(window.chbMidiController, Qt::LeftButton);
    QTest::mouseClick(window.cmbMidiSysex, Qt::LeftButton);
    QTest::mouseClick(window.cmbMidiSysex, Qt::LeftButton);
    EXPECT_EQ(Sent(), (Changes{{394, 1}, {395, 1}, {395, 0}}));
}

TEST_F(GlobalSettingsTest, FineTuneSweepSendsEveryPositionPassedAndClosingSendsNothing) {
    window.LoadGlobals({12, 0, 0, 0, 0, 0, 0, 0, 0, 0}); // opens at -50, sending 0
    window.show();
    for (int step = 0; step < 100; ++step)
        QTest::keyClick(window.trbFineTune, Qt::Key_Right);
    Changes expected;
    for (int value = 0; value <= 100; ++value)
        expected.emplace_back(385, value);
    EXPECT_EQ(Sent(), expected);
    EXPECT_EQ(window.lblFineTune->text(), "50");
    window.close();
    EXPECT_TRUE(out.Empty());
}

} // namespace

namespace {

TEST_F(GlobalSettingsTest, AChangeThatDoesNotGoOutIsReportedOncePerRunOfFailures) {
    QStringList log;
    window.SetFailureLog([&log](const QString& line) { log << line; });
    out.failure = MidiError::NotReady;
    window.trbTranspose->setValue(3);
    window.trbTranspose->setValue(4);
    EXPECT_EQ(log, QStringList{"A global setting did not reach the instrument: the port is not "
                               "ready."});
    out.failure = MidiError::None;
    window.trbTranspose->setValue(5);
    out.failure = MidiError::DestinationGone;
    window.trbTranspose->setValue(6);
    EXPECT_EQ(log.size(), 2);
}

} // namespace
