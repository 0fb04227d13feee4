// The randomize buttons' drawing order and the sound's history, without a
// window.

#include "edit_session.h"
#include "editor_sections.h"
#include "schema.h"
#include "section_randomizer.h"
#include "sound_history.h"
#include "support/sound_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using sound_builder::SoundWith;

int Row(std::string_view member) {
    const int row = BindingIndex(member);
    EXPECT_GE(row, 0) << member;
    return row;
}

const ParameterBinding& Binding(std::string_view member) {
    return ParameterBindings[static_cast<std::size_t>(Row(member))];
}

std::string Trimmed(const std::string& name) {
    return name.substr(0, name.find_last_not_of(' ') + 1);
}

// ---- Sections and composites ----------------------------------------------

TEST(SectionRandomizer, ControlsTakeOnlyValuesTheyCanShow) {
    struct Case {
        const char* member;
        int shown;
        int drawn;
        int applied;
    };
    const Case cases[] = {
        {"KnobFilterEnvAmount", 5, -127, -127}, // the lowest value
        {"KnobFilterEnvAmount", 5, 128, 5},     // beyond the range: kept
        {"knobOsc1Frequency", 60, 121, 60},
        {"SldSeq201", 3, 125, 125},
        {"SldSeq201", 3, 126, 3}, // tracks 2..4 end at 125
        {"cmbOsc1Shape", 2, 4, 4},
        {"cmbOsc1Shape", 2, 5, 2},  // no item 5
        {"cmbOsc1Shape", 2, -1, 2}, // nothing fits: the list stays
        {"CheckLedOsc1Keyboard", 0, 1, 1},
        {"CheckLedOsc1Keyboard", 1, 0, 0},
        {"CheckLedOsc1Keyboard", 1, 7, 0}, // only 1 is on
    };
    for (const Case& c : cases)
        EXPECT_EQ(AppliedValue(Binding(c.member), c.shown, c.drawn), c.applied)
            << c.member << " " << c.drawn;
}

// Draws each entry's value from a fixed table and notes the order.
struct ScriptedDraw {
    std::vector<std::string> order;
    int shape = 1;
    int operator()(SchemaEntry& entry) {
        order.push_back(Trimmed(entry.name));
        const ParameterBinding& binding = entry.Binding();
        if (binding.list == ValueList::OscillatorShape)
            return shape;
        return binding.max;
    }
};

TEST(SectionRandomizer, ThePulseWidthIsDrawnOnlyUnderAPulseWaveJustDrawn) {
    for (const int shape : {0, 1, 2, 3, 4}) {
        SchemaList schema;
        ControlValues values{};
        values[static_cast<std::size_t>(Row("cmbOsc1Shape"))] = 4; // before: Pulse Wave
        ScriptedDraw draw{{}, shape};
        const std::vector<int> rows =
            RandomizeSection(SectionIndex("btnRandomizeOsc1"), schema, values, std::ref(draw));
        std::vector<std::string> expected = {"knobOsc1Frequency", "knobOsc1Fine", "cmbOsc1Shape"};
        if (shape == 4)
            expected.push_back("knobOsc1Pulsewidth");
        expected.insert(expected.end(),
                        {"knobOsc1Glide", "knobSubOsc1Level", "CheckLedOsc1Keyboard"});
        EXPECT_EQ(draw.order, expected) << shape;
        EXPECT_EQ(rows.size(), expected.size());
        const int pulseWidth = values[static_cast<std::size_t>(Row("knobOsc1Pulsewidth"))];
        EXPECT_EQ(pulseWidth, shape == 4 ? Binding("knobOsc1Pulsewidth").max : 0);
    }
}

TEST(SectionRandomizer, CompositesRunTheirSectionsInOrderAndTouchNothingElse) {
    struct Case {
        const char* composite;
        std::vector<const char*> sections;
    };
    const Case cases[] = {
        {"btnRandomizeOscillators", {"btnRandomizeOsc1", "btnRandomizeOsc2", "btnRandomizeCommon"}},
        {"btnRandomizeFilters", {"btnRandomizeFilter"}},
        {"btnRandomizeEnvelopes", {"btnRandomizeVCA", "btnRandomizeEnv3"}},
        {"btnRandomizeLFOs", {"btnRandomizeLFO"}},
        {"btnRandomizeMatrix", {"btnRandomizeMod"}},
        {"btnRandomizeArpeggiator",
         {"btnRandomizeArp", "btnRandomizeSeq1", "btnRandomizeSeq2", "btnRandomizeSeq3",
          "btnRandomizeSeq4"}},
        {"btnRandomizeSound",
         {"btnRandomizeOsc1", "btnRandomizeOsc2", "btnRandomizeCommon", "btnRandomizeFilter",
          "btnRandomizeVCA", "btnRandomizeEnv3", "btnRandomizeLFO", "btnRandomizeMod"}},
    };
    for (std::size_t composite = 0; composite < std::size(cases); ++composite) {
        const Case& c = cases[composite];
        ASSERT_EQ(CompositeRandomizers[composite].button, c.composite);
        std::vector<std::string> expected;
        for (const char* button : c.sections)
            for (const ControlRef control :
                 SectionRandomizers[static_cast<std::size_t>(SectionIndex(button))].controls)
                if (!control.pulseWidth) // shapes drawn as Sawtooth
                    expected.emplace_back(
                        ParameterBindings[static_cast<std::size_t>(RowOf(control))].key);
        SchemaList schema;
        ControlValues values{};
        ScriptedDraw draw;
        const std::vector<int> rows =
            RandomizeComposite(static_cast<int>(composite), schema, values, std::ref(draw));
        EXPECT_EQ(draw.order, expected) << c.composite;
        for (int row = 0; row < BoundControlCount; ++row) {
            const bool drawn = std::find(rows.begin(), rows.end(), row) != rows.end();
            if (!drawn) {
                EXPECT_EQ(values[static_cast<std::size_t>(row)], 0)
                    << c.composite << " touched " << ParameterBindings[row].key;
            }
        }
    }
}

// ---- History ----------------------------------------------------------------

TEST(SoundHistory, UndoAndRedoWalkTheRecordedStates) {
    const TSoundRecord a = SoundWith({{0, 1}}), b = SoundWith({{0, 2}}), c = SoundWith({{0, 3}}),
                       d = SoundWith({{0, 4}});
    SoundHistory history(a);
    EXPECT_FALSE(history.Undo());
    history.Record(b);
    history.Record(b); // no change: no step
    history.Record(c);
    EXPECT_EQ(history.Undo(), b);
    EXPECT_EQ(history.Undo(), a);
    EXPECT_FALSE(history.Undo());
    EXPECT_EQ(history.Redo(), b);
    EXPECT_EQ(history.Redo(), c);
    EXPECT_FALSE(history.Redo());
    // A new state after an undo drops the states undone.
    history.Undo();
    history.Record(d);
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.Present(), d);
    EXPECT_EQ(history.Undo(), b);
}

TEST(SoundHistory, KeepsAHundredStepsAndDropsTheOldest) {
    SoundHistory history(SoundWith({{1, 0}}));
    for (int step = 1; step <= 150; ++step)
        history.Record(SoundWith({{1, step}}));
    int undone = 0;
    std::optional<TSoundRecord> state;
    while (auto previous = history.Undo()) {
        state = previous;
        ++undone;
    }
    EXPECT_EQ(undone, 100);
    EXPECT_EQ(state, SoundWith({{1, 50}}));
}

TEST(SoundHistory, ParametersToSendAreTheDifferencesWithTheSwitchedOnSwitchLast) {
    struct Case {
        const char* what;
        TSoundRecord playing, target;
        std::vector<int> sent;
    };
    const Case cases[] = {
        {"none", SoundWith({{5, 1}}), SoundWith({{5, 1}}), {}},
        {"ascending", SoundWith({{5, 1}, {0, 2}}), SoundWith({{0, 9}}), {0, 5}},
        {"the name goes too", SoundWith({}), SoundWith({{184, 'A'}, {199, 'z'}}), {184, 199}},
        {"beyond 199 nothing", SoundWith({}), SoundWith({{200, 1}, {248, 1}}), {}},
        {"arpeggiator on", SoundWith({{100, 1}}), SoundWith({{98, 1}, {3, 1}}), {3, 100, 98}},
        {"sequencer on", SoundWith({{98, 1}}), SoundWith({{100, 1}}), {98, 100}},
        {"both off", SoundWith({{98, 1}}), SoundWith({}), {98}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParametersToSend(c.playing, c.target), c.sent) << c.what;
}

} // namespace
