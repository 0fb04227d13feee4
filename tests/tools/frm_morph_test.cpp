#include "frm_morph.h"

#include "random_generator.h"
#include "sound_library.h"
#include "support/named_child.h"
#include "support/nrpn_messages.h"
#include "support/recording_midi_output.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// The NRPN messages sent, as number -> value, in the order they came.
std::vector<std::pair<int, int>> TakeNrpns(RecordingMidiOutput& out) {
    const auto bytes = out.TakeShortMessageBytes();
    const auto nrpns = NrpnsIn(bytes);
    std::vector<ControllerMessage> whole;
    for (const auto& [number, value] : nrpns)
        for (const ControllerMessage& message : NrpnMessages(number, value))
            whole.push_back(message);
    EXPECT_EQ(bytes, whole) << "only whole NRPNs are sent";
    return nrpns;
}

// The value sent last for NRPN `number`, -1 when none was.
int ValueSent(const std::vector<std::pair<int, int>>& nrpns, int number) {
    int value = -1;
    for (auto [n, v] : nrpns)
        if (n == number)
            value = v;
    return value;
}

constexpr int LastStep = 183; // the last sequencer step, NRPN 183

class MorphWindowTest : public ::testing::Test {
protected:
    MorphWindowTest() {
        // Every parameter of slot s holds s mod 100; the names are "empty".
        for (int slot = 0; slot < Slots::Count; ++slot) {
            TSoundRecord sound;
            for (int p = 0; p < SoundLayout::ParameterCount; ++p)
                sound[SoundLayout::ParameterByte(p)] = static_cast<std::uint8_t>(slot % 100);
            library.StoreSound(slot, sound);
        }
        library.InitEmptyBanks();
        library.SetSoundName(0, "First");
        library.SetSoundName(Slots::Count - 1, "Last");
        window = std::make_unique<TfrmMorph>(library, out, nullptr, [this] { return now; });
        Named<QTimer>(*window, "Timer1")->stop(); // the tests run it themselves
    }

    QComboBox* List(const char* name) { return Named<QComboBox>(*window, name); }
    QSlider* Bar() { return Named<QSlider>(*window, "trbMorph"); }

    TSoundLibrary library;
    RecordingMidiOutput out;
    std::chrono::microseconds now{10'000'000};
    std::unique_ptr<TfrmMorph> window;
};

} // namespace

TEST_F(MorphWindowTest, OpensWithBothListsAndTheBarDisabled) {
    EXPECT_EQ(window->windowTitle(), "Quasi Morph");
    EXPECT_EQ(window->objectName(), "TfrmMorph");
    for (const char* name : {"cmbSound1", "cmbSound2"}) {
        QComboBox* list = List(name);
        ASSERT_EQ(list->count(), Slots::Count);
        EXPECT_EQ(list->itemText(0), "A001 First           ");
        EXPECT_EQ(list->itemText(128), "B001 empty           ");
        EXPECT_EQ(list->itemText(Slots::Count - 1), "C128 Last            ");
        EXPECT_EQ(list->currentIndex(), -1);
    }
    EXPECT_FALSE(Bar()->isEnabled());
    EXPECT_EQ(Bar()->minimum(), 0);
    EXPECT_EQ(Bar()->maximum(), 100);
    EXPECT_EQ(Named<QLabel>(*window, "lbkPercent")->text(), "0 %");
    EXPECT_EQ(Named<QCheckBox>(*window, "chbDetune")->text(), "Morph frequency, fine");
    EXPECT_FALSE(Named<QCheckBox>(*window, "chbDetune")->isChecked());
    EXPECT_EQ(Named<QPushButton>(*window, "btnRandomizeSounds")->text(),
              "Randomize Sound1 && Sound2");
    EXPECT_TRUE(out.Empty());

    List("cmbSound1")->setCurrentIndex(3);
    EXPECT_FALSE(Bar()->isEnabled());
    List("cmbSound2")->setCurrentIndex(7);
    EXPECT_TRUE(Bar()->isEnabled());
}

TEST_F(MorphWindowTest, BarSendsTheStepAndAFastDragWaitsForTheCable) {
    List("cmbSound1")->setCurrentIndex(0);  // all 0
    List("cmbSound2")->setCurrentIndex(50); // all 50
    Bar()->setValue(40);
    EXPECT_EQ(Named<QLabel>(*window, "lbkPercent")->text(), "40 %");
    const auto first = TakeNrpns(out);
    EXPECT_EQ(first.size(), 189u); // every parameter with a control
    EXPECT_EQ(window->Pacer().Wait(), 189 * 12 * 320us);

    // Moves while that step is on the cable: nothing goes out, the last waits.
    for (int position : {45, 60, 80}) {
        now += 10ms;
        Bar()->setValue(position);
        EXPECT_TRUE(out.shortMessages.empty());
    }
    EXPECT_EQ(Named<QLabel>(*window, "lbkPercent")->text(), "80 %");
    EXPECT_EQ(window->Pacer().Waiting(), 80);
    window->SendWaitingStep(); // too early
    EXPECT_TRUE(out.shortMessages.empty());
    now += window->Pacer().Wait();
    window->SendWaitingStep();
    const auto last = TakeNrpns(out);
    ASSERT_FALSE(last.empty());
    EXPECT_EQ(ValueSent(last, LastStep), 40); // 80 % of the way from 0 to 50
    EXPECT_EQ(ValueSent(last, 30), 40);
    EXPECT_EQ(window->Pacer().Waiting(), std::nullopt);

    // Closing sends a position still waiting.
    now += 5ms;
    Bar()->setValue(100);
    EXPECT_TRUE(out.shortMessages.empty());
    window->reject();
    EXPECT_EQ(ValueSent(TakeNrpns(out), LastStep), 50);
}

TEST_F(MorphWindowTest, TimerChoosesARandomPairAndPlaysSoundTwoThenSoundOne) {
    SharedGenerator().SetSeed(4242);
    RandomGenerator replay(4242);
    const int first = static_cast<int>(replay.Random(Slots::Count));
    const int second = static_cast<int>(replay.Random(Slots::Count));
    window->Timer1Timer();
    EXPECT_EQ(List("cmbSound1")->currentIndex(), first);
    EXPECT_EQ(List("cmbSound2")->currentIndex(), second);
    EXPECT_TRUE(Bar()->isEnabled());
    EXPECT_EQ(Bar()->value(), 0);

    // Sound 2 went out at once; sound 1 waits for the cable.
    EXPECT_EQ(ValueSent(TakeNrpns(out), LastStep), second % 100);
    EXPECT_EQ(window->Pacer().Waiting(), 0);
    now += window->Pacer().Wait();
    window->SendWaitingStep();
    EXPECT_EQ(ValueSent(TakeNrpns(out), LastStep), first % 100 == second % 100 ? -1 : first % 100);
}
