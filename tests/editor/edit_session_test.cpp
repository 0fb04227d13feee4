#include "edit_session.h"
#include "parameter_tables.h"
#include "short_messages.h"
#include "support/recording_midi_output.h"

#include <gtest/gtest.h>

#include <string>

namespace {
using Nrpn = EditSession::Nrpn;
using Short = std::array<std::uint8_t, 3>;

int Row(std::string_view member) {
    const int index = BindingIndex(member);
    EXPECT_GE(index, 0) << member;
    return index;
}

int& Control(ControlValues& values, std::string_view member) {
    return values[static_cast<std::size_t>(Row(member))];
}

Nrpn Message(int parameter, int value) {
    return {parameter, NrpnNumbers[static_cast<std::size_t>(parameter)], value};
}

void SetParameter(TSoundRecord& sound, int parameter, int byte) {
    sound[SoundLayout::ParameterByte(parameter)] = static_cast<std::uint8_t>(byte);
}

void SetNameBytes(TSoundRecord& sound, std::string_view bytes) {
    for (int i = 0; i < SoundLayout::NameLength; ++i)
        sound[SoundLayout::NameOffset + i] =
            static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(i)]);
}

// A sound every control can show: a value inside each control's range, the
// name "Warm Bass", and bytes the editor never touches after the name.
TSoundRecord PlainSound() {
    TSoundRecord sound;
    sound.Bytes = {0xF0, 0x01, 0x25, 0x03, 0x00, 0x00};
    for (int i = 0; i < BoundControlCount; ++i) {
        const ParameterBinding& row = ParameterBindings[static_cast<std::size_t>(i)];
        const int value = row.min + (i * 37) % (row.max - row.min + 1);
        SetParameter(sound, row.parameter, ByteForValue(row, value));
    }
    SetParameter(sound, 2, ShapeByte(4, 50));
    SetParameter(sound, 8, ShapeByte(1, 0));
    SetParameter(sound, 98, 0);
    SetParameter(sound, 100, 0);
    SetNameBytes(sound, "Warm Bass       ");
    for (int p = 200; p < SoundLayout::ParameterCount; ++p)
        SetParameter(sound, p, p);
    sound[SoundLayout::EndByte] = 0xF7;
    return sound;
}

// The messages of a change, or a marker that it was refused.
std::vector<Nrpn> Sent(const std::optional<EditSession::Change>& change) {
    EXPECT_TRUE(change.has_value()) << "refused";
    return change ? change->messages : std::vector<Nrpn>{};
}
} // namespace

TEST(EditSession, AnOpenedSoundSendsNothingAndKeepsEveryByte) {
    TSoundRecord hostile = PlainSound();
    SetParameter(hostile, 95, 20);   // tempo below the knob's range
    SetParameter(hostile, 83, 45);   // beyond the 44 controller destinations
    SetParameter(hostile, 136, 126); // track 2 steps stop at 125
    SetParameter(hostile, 24, 2);    // LED byte neither off nor on
    SetParameter(hostile, 69, 2);    // repeat shows on for any non-zero byte
    SetParameter(hostile, 2, 110);   // a pulse width the knob refuses
    SetParameter(hostile, 8, 255);
    SetParameter(hostile, 105, 200); // beyond the assignables
    SetParameter(hostile, 110, 77);  // unused parameters have no control
    SetNameBytes(hostile, std::string("  Pad\x01\x1F"
                                      "x",
                                      8) +
                              std::string(8, '\x7F'));

    for (const TSoundRecord& sound : {PlainSound(), hostile}) {
        EditSession session(sound);
        // Writing back what every control shows changes nothing.
        EXPECT_EQ(Sent(session.SetValues(session.Values())), std::vector<Nrpn>{});
        EXPECT_EQ(Sent(session.Load(sound)), std::vector<Nrpn>{});
        EXPECT_EQ(session.Sound(), sound);
        for (int i = TSoundRecord::Size; i < EditSession::Size; ++i)
            EXPECT_EQ(session.EditedSound()[static_cast<std::size_t>(i)], 0);
    }
    EditSession session(hostile);
    EXPECT_EQ(session.Value(Row("CheckLedEnv3Repeat")), 1);
    EXPECT_EQ(session.Value(Row("cmbModWheelDestination")), NoSelection);
}

TEST(EditSession, AKeptByteFollowsItsControlOnceChanged) {
    TSoundRecord sound = PlainSound();
    SetParameter(sound, 95, 20);
    SetParameter(sound, 24, 2);
    SetParameter(sound, 2, 110);
    EditSession session(sound);
    EXPECT_EQ(session.Value(Row("KnobBPMTempo")), 0); // the knob kept its place

    ControlValues values = session.Values();
    Control(values, "KnobBPMTempo") = 120;
    Control(values, "CheckLedFilterPoles") = 1;
    EXPECT_EQ(Sent(session.SetValues(values)),
              (std::vector<Nrpn>{Message(24, 1), Message(95, 120)}));
    EXPECT_EQ(Sent(session.SetValue(Row("CheckLedFilterPoles"), 0)),
              std::vector<Nrpn>{Message(24, 0)});

    // The shape follows as soon as either of its controls changes.
    EXPECT_EQ(Sent(session.SetValue(Row("knobOsc1Pulsewidth"), 7)),
              std::vector<Nrpn>{Message(2, 11)});
    EXPECT_EQ(Sent(session.SetValue(Row("cmbOsc1Shape"), 2)), std::vector<Nrpn>{Message(2, 2)});
    // A value the control cannot take changes nothing.
    EXPECT_EQ(Sent(session.SetValue(Row("KnobBPMTempo"), 251)), std::vector<Nrpn>{});
}

TEST(EditSession, ShapesAndPulseWidthsShareOneByte) {
    TSoundRecord sound = PlainSound();
    SetParameter(sound, 2, 54);
    SetParameter(sound, 8, 2);
    EditSession session(sound);
    EXPECT_EQ(session.Value(Row("cmbOsc1Shape")), 4);
    EXPECT_EQ(session.Value(Row("knobOsc1Pulsewidth")), 50);
    EXPECT_EQ(session.Value(Row("cmbOsc2Shape")), 2);

    // Hidden under "Triangle": the byte stays the shape's.
    EXPECT_EQ(Sent(session.SetValue(Row("knobOsc2Pulsewidth"), 30)), std::vector<Nrpn>{});
    EXPECT_EQ(Sent(session.SetValue(Row("cmbOsc2Shape"), 4)), std::vector<Nrpn>{Message(8, 34)});
}

TEST(EditSession, ValuesAbove127GoOutAsTheirByte) {
    EditSession session(PlainSound());
    ControlValues values = session.Values();
    Control(values, "KnobMod2Amount") = 127;
    Control(values, "KnobFilterFrequency") = 164;
    const auto messages = Sent(session.SetValues(values));
    ASSERT_EQ(messages, (std::vector<Nrpn>{Message(20, 164), Message(74, 254)}));

    RecordingMidiOutput out;
    SendNrpn(out, static_cast<unsigned>(messages[1].number),
             static_cast<unsigned>(messages[1].value));
    EXPECT_EQ(out.ShortMessageBytes(),
              (std::vector<Short>{
                  {0xB0, 0x63, 0x00}, {0xB0, 0x62, 69}, {0xB0, 0x06, 0x01}, {0xB0, 0x26, 126}}));
}

TEST(EditSession, TheSwitchedOnArpeggiatorOrSequencerGoesLast) {
    struct Case {
        const char* what;
        int loadedArp, loadedGated, arp, gated;
        std::vector<Nrpn> sent;
    };
    const Case cases[] = {
        {"arpeggiator on, gated off", 0, 1, 1, 0, {Message(100, 0), Message(98, 1)}},
        {"both loaded on, arpeggiator off", 1, 1, 0, 1, {Message(98, 0), Message(100, 1)}},
        {"gated on", 0, 0, 0, 1, {Message(98, 0), Message(100, 1)}},
        {"arpeggiator off", 1, 0, 0, 0, {Message(98, 0)}},
        {"gated off", 0, 1, 0, 0, {Message(100, 0)}},
        {"both off", 1, 1, 0, 0, {Message(98, 0), Message(100, 0)}},
        {"nothing changed", 1, 1, 1, 1, {}},
    };
    for (const Case& c : cases) {
        TSoundRecord sound = PlainSound();
        SetParameter(sound, 98, c.loadedArp);
        SetParameter(sound, 100, c.loadedGated);
        TSoundRecord target = sound;
        SetParameter(target, 98, c.arp);
        SetParameter(target, 100, c.gated);
        SetParameter(target, 183, 0); // another change goes first
        std::vector<Nrpn> expected;
        if (sound[SoundLayout::ParameterByte(183)] != 0)
            expected.push_back(Message(183, 0));
        expected.insert(expected.end(), c.sent.begin(), c.sent.end());
        EXPECT_EQ(MessagesBetween(sound, target), expected) << c.what;
    }
    // A user's switch turns the other one off.
    TSoundRecord sound = PlainSound();
    SetParameter(sound, 100, 1);
    EditSession session(sound);
    EXPECT_EQ(Sent(session.SetValue(Row("CheckLedApreggiator"), 1)),
              (std::vector<Nrpn>{Message(100, 0), Message(98, 1)}));
    EXPECT_EQ(session.Value(Row("CheckLedGatedSequencer")), 0);
}

TEST(EditSession, TheNameIsWrittenOnlyOnceEdited) {
    TSoundRecord sound = PlainSound();
    SetNameBytes(sound, std::string("  Caf\xE9\x01\x80", 8) + std::string(8, ' '));
    EditSession session(sound);
    EXPECT_EQ(session.NameToShow(), "Caf\xC3\xA9 \xE2\x82\xAC");

    // The trimmed text moves two places to the left: every character that
    // moved goes out, the blanks that stay do not.
    EXPECT_EQ(Sent(session.SetName("Caf\xC3\xA9 \xE2\x82\xAC")),
              (std::vector<Nrpn>{Message(184, 'C'), Message(185, 'a'), Message(186, 'f'),
                                 Message(187, 0xE9), Message(188, ' '), Message(189, 0x80),
                                 Message(190, ' '), Message(191, ' ')}));
    EXPECT_EQ(Sent(session.SetName("Caf\xC3\xA9 \xE2\x82\xAC")), std::vector<Nrpn>{});
    EXPECT_EQ(Sent(session.SetName("Cafe \xE2\x82\xAC")), std::vector<Nrpn>{Message(187, 'e')});
    // Longer text is cut at 16 characters; a character without a byte is '?'.
    session.SetName("0123456789abcdef\xE2\x82\xAC");
    EXPECT_EQ(GetSoundName(session.Sound()), "0123456789abcdef");
    session.SetName("\xE4\xB8\x80\xC0\x80"
                    "A\xC3");
    EXPECT_EQ(GetSoundName(session.Sound()), "??A?            ");
}

TEST(EditSession, TheInstrumentsChangesAreShownAndNeverSentBack) {
    EditSession session(PlainSound());
    const EditSession::Change change = session.FromInstrument(20, 140);
    EXPECT_EQ(change.rows, std::vector<int>{Row("KnobFilterFrequency")});
    EXPECT_TRUE(change.messages.empty());
    EXPECT_EQ(session.Parameter(20), 140);
    // A byte its control cannot show is kept, the control stays.
    const int tempo = session.Value(Row("KnobBPMTempo"));
    EXPECT_TRUE(session.FromInstrument(95, 10).rows.empty());
    EXPECT_EQ(session.Value(Row("KnobBPMTempo")), tempo);
    EXPECT_EQ(session.Parameter(95), 10);
}

TEST(EditSession, ComparingPlaysTheOriginalByItsDifferencesAndRefusesEdits) {
    const TSoundRecord opened = PlainSound();
    EditSession session(opened);
    ASSERT_TRUE(session.SetValue(Row("KnobFilterResonance"), 3));
    session.SetName("Edited");
    const TSoundRecord edited = session.Sound();

    const EditSession::Change start = session.StartCompare();
    EXPECT_EQ(start.messages, MessagesBetween(edited, opened));
    EXPECT_EQ(start.rows, std::vector<int>{Row("KnobFilterResonance")});
    EXPECT_TRUE(start.name);
    EXPECT_EQ(session.Values(), EditSession(opened).Values());
    EXPECT_EQ(session.NameToShow(), "Warm Bass");
    EXPECT_FALSE(session.SetValue(Row("KnobFilterResonance"), 9));
    EXPECT_FALSE(session.Load(opened));
    EXPECT_TRUE(session.FromInstrument(21, 9).Empty());

    EXPECT_EQ(session.StopCompare().messages, MessagesBetween(opened, edited));
    EXPECT_EQ(session.Sound(), edited);
    EXPECT_EQ(Sent(session.Revert()), MessagesBetween(edited, opened));
    EXPECT_EQ(session.Sound(), opened);
}
