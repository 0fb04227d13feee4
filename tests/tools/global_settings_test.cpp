// The global settings window: what loading a dump shows and sends back, and
// the one NRPN each change by hand sends.

#include "frm_global.h"
#include "nrpn_decoding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Changes = std::vector<std::pair<int, int>>;
using Globals = std::array<int, GlobalsCount>;

// In dump order: Transpose, Fine Tune, MIDI Channel, Clock, Parameter Send,
// Parameter Receive, MIDI Controller, MIDI SysEx, Audio Out, MIDI Out select.
constexpr Globals Centred = {12, 50, 0, 0, 0, 0, 0, 0, 0, 0};

class GlobalSettingsTest : public ::testing::Test {
protected:
    RecordingMidiOutput out;
    TfrmGlobal window{out};
};

TEST_F(GlobalSettingsTest, IsTheFixedSizeGlobalWindow) {
    EXPECT_EQ(window.windowTitle(), "Global");
    EXPECT_EQ(window.size(), QSize(436, 273));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.cmbMidiChannel->count(), 17);
    EXPECT_EQ(window.cmbMidiChannel->itemText(16), "16");
    EXPECT_EQ(window.cmbClock->itemText(3), "Use MIDI clock In, and retransmit MIDI clock out");
}

TEST_F(GlobalSettingsTest, CentredTrackBarsAndSwitchesOffSendNothing) {
    window.LoadGlobals(Centred);
    EXPECT_TRUE(TakeNrpns(out).empty());
    EXPECT_EQ(window.trbTranspose->value(), 0);
    EXPECT_EQ(window.trbFineTune->value(), 0);
    EXPECT_EQ(window.lblTranspose->text(), "0");
    EXPECT_EQ(window.lblFineTune->text(), "0");
}

TEST_F(GlobalSettingsTest, LoadingSendsBackTrackBarsAndSwitchesThatMovedInLoadOrder) {
    window.LoadGlobals({0, 100, 3, 2, 1, 2, 1, 1, 1, 1});
    // Transpose 0 is shown as -12 and sent as 0; the lists send nothing.
    EXPECT_EQ(TakeNrpns(out), (Changes{{384, 0}, {385, 100}, {394, 1}, {395, 1}}));
    EXPECT_EQ(window.lblTranspose->text(), "-12");
    EXPECT_EQ(window.lblFineTune->text(), "50");
    EXPECT_EQ(window.cmbMidiChannel->currentText(), "3");
    EXPECT_EQ(window.cmbClock->currentText(), "Use MIDI clock In");
    EXPECT_EQ(window.cmbParameterSend->currentText(), "CC");
    EXPECT_EQ(window.cmbParameterReceive->currentText(), "CC only");
    EXPECT_TRUE(window.chbMidiController->isChecked());
    EXPECT_TRUE(window.cmbMidiSysex->isChecked());
    EXPECT_EQ(window.cmbAudioOut->currentText(), "Mono");
    EXPECT_EQ(window.cmbMidiOut->currentText(), "MIDI Thru");
}

TEST_F(GlobalSettingsTest, ValuesOutsideTheirControlsLeaveThemAsTheyAreAndAreNotSentBack) {
    // Transpose 30 would clamp to +12 and send 24: a value the instrument never had.
    window.LoadGlobals({30, 101, 17, 4, 3, 4, 2, 5, 2, 2});
    EXPECT_TRUE(TakeNrpns(out).empty());
    EXPECT_EQ(window.trbTranspose->value(), 0);
    EXPECT_EQ(window.trbFineTune->value(), 0);
    EXPECT_EQ(window.lblTranspose->text(), "0");
    for (QComboBox* list : {window.cmbMidiChannel, window.cmbClock, window.cmbParameterSend,
                            window.cmbParameterReceive, window.cmbAudioOut, window.cmbMidiOut})
        EXPECT_EQ(list->currentIndex(), -1) << list->objectName().toStdString();
    EXPECT_FALSE(window.chbMidiController->isChecked());
    EXPECT_FALSE(window.cmbMidiSysex->isChecked());
}

TEST_F(GlobalSettingsTest, EachChangeByHandSendsOneParameterChange) {
    window.LoadGlobals(Centred);
    window.show();
    struct Case {
        QComboBox* list;
        int item;
        int nrpn;
    };
    for (const Case& change :
         {Case{window.cmbMidiChannel, 16, 386}, Case{window.cmbClock, 3, 388},
          Case{window.cmbParameterSend, 2, 390}, Case{window.cmbParameterReceive, 1, 391},
          Case{window.cmbAudioOut, 1, 305}, Case{window.cmbMidiOut, 1, 406}}) {
        change.list->setCurrentIndex(change.item);
        EXPECT_EQ(TakeNrpns(out), (Changes{{change.nrpn, change.item}}))
            << change.list->objectName().toStdString();
    }
    QTest::mouseClick(window.chbMidiController, Qt::LeftButton);
    EXPECT_EQ(TakeNrpns(out), (Changes{{394, 1}}));
    QTest::mouseClick(window.cmbMidiSysex, Qt::LeftButton);
    QTest::mouseClick(window.cmbMidiSysex, Qt::LeftButton);
    EXPECT_EQ(TakeNrpns(out), (Changes{{395, 1}, {395, 0}}));
    window.trbTranspose->setValue(5);
    EXPECT_EQ(TakeNrpns(out), (Changes{{384, 17}}));
    EXPECT_EQ(window.lblTranspose->text(), "5");
}

TEST_F(GlobalSettingsTest, FineTuneSweepSendsEveryPositionPassedAndClosingSendsNothing) {
    window.LoadGlobals({12, 0, 0, 0, 0, 0, 0, 0, 0, 0}); // opens at -50, sending 0
    window.show();
    window.trbFineTune->setFocus();
    for (int step = 0; step < 100; ++step)
        QTest::keyClick(window.trbFineTune, Qt::Key_Right);
    Changes expected;
    for (int value = 0; value <= 100; ++value)
        expected.emplace_back(385, value);
    EXPECT_EQ(TakeNrpns(out), expected);
    EXPECT_EQ(window.lblFineTune->text(), "50");
    window.close();
    EXPECT_TRUE(out.Empty());
}

} // namespace
