#include "edit_session.h"
#include "parameter_tables.h"
#include "short_messages.h"
#include "support/recording_midi_output.h"
#include "support/sound_builder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using sound_builder::PlainSound;
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

// What a window does when it shows the sound: controls that can show their
// byte take it, the others keep the position of a new window (0).
ControlValues Load(EditSession& session) {
    ControlValues values{};
    const auto shown = session.ValuesToShow();
    for (std::size_t i = 0; i < values.size(); ++i)
        if (shown[i])
            values[i] = *shown[i];
    session.Loaded(values);
    return values;
}
} // namespace

TEST(EditSession, ALoadedSoundSendsNothingAndKeepsEveryByte) {
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
        const ControlValues values = Load(session);
        EXPECT_EQ(session.ReadBack(values, session.NameToShow()), std::vector<Nrpn>{});
        EXPECT_EQ(session.ReadBack(values, session.NameToShow()), std::vector<Nrpn>{});
        EXPECT_EQ(session.Sound(), sound);
        for (int i = TSoundRecord::Size; i < EditSession::Size; ++i)
            EXPECT_EQ(session.EditedSound()[static_cast<std::size_t>(i)], 0);
    }
}

TEST(EditSession, AKeptByteFollowsItsControlOnceMoved) {
    TSoundRecord sound = PlainSound();
    SetParameter(sound, 95, 20);
    SetParameter(sound, 24, 2);
    SetParameter(sound, 2, 110);
    EditSession session(sound);
    ControlValues values = Load(session);
    EXPECT_EQ(Control(values, "KnobBPMTempo"), 0); // the knob kept its place

    Control(values, "KnobBPMTempo") = 120;
    Control(values, "CheckLedFilterPoles") = 1;
    EXPECT_EQ(session.ReadBack(values, ""), (std::vector<Nrpn>{Message(24, 1), Message(95, 120)}));

    // Moving back does not pin the old byte again.
    Control(values, "KnobBPMTempo") = 0;
    Control(values, "CheckLedFilterPoles") = 0;
    EXPECT_EQ(session.ReadBack(values, ""), (std::vector<Nrpn>{Message(24, 0), Message(95, 0)}));

    // The shape follows as soon as either of its controls moves.
    Control(values, "knobOsc1Pulsewidth") = 7;
    EXPECT_EQ(session.ReadBack(values, ""), std::vector<Nrpn>{Message(2, 11)});
    Control(values, "cmbOsc1Shape") = 2;
    EXPECT_EQ(session.ReadBack(values, ""), std::vector<Nrpn>{Message(2, 2)});
}

TEST(EditSession, ShapesAndPulseWidthsShareOneByte) {
    TSoundRecord sound = PlainSound();
    SetParameter(sound, 2, 54);
    SetParameter(sound, 8, 2);
    EditSession session(sound);
    const auto shown = session.ValuesToShow();
    EXPECT_EQ(shown[static_cast<std::size_t>(Row("cmbOsc1Shape"))], 4);
    EXPECT_EQ(shown[static_cast<std::size_t>(Row("knobOsc1Pulsewidth"))], 50);
    EXPECT_EQ(shown[static_cast<std::size_t>(Row("cmbOsc2Shape"))], 2);
    EXPECT_EQ(shown[static_cast<std::size_t>(Row("knobOsc2Pulsewidth"))], std::nullopt);

    ControlValues values = Load(session);
    Control(values, "knobOsc2Pulsewidth") = 30; // hidden under "Triangle"
    EXPECT_EQ(session.ReadBack(values, ""), std::vector<Nrpn>{});
    Control(values, "cmbOsc2Shape") = 4;
    EXPECT_EQ(session.ReadBack(values, ""), std::vector<Nrpn>{Message(8, 34)});
}

TEST(EditSession, ManyChangesBeforeAReadBackSendTheLastValue) {
    EditSession session(PlainSound());
    ControlValues values = Load(session);
    for (int step = 0; step < 20; ++step)
        Control(values, "KnobFilterResonance") = step * 3;
    EXPECT_EQ(session.ReadBack(values, ""), std::vector<Nrpn>{Message(21, 57)});
    EXPECT_EQ(session.Parameter(21), 57);
}

TEST(EditSession, ValuesAbove127GoOutAsTheirByte) {
    EditSession session(PlainSound());
    ControlValues values = Load(session);
    Control(values, "KnobMod2Amount") = 127;
    Control(values, "KnobFilterFrequency") = 164;
    const auto messages = session.ReadBack(values, "");
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
        {"arpeggiator on, gated switched off by the window",
         0,
         1,
         1,
         0,
         {Message(100, 0), Message(98, 1)}},
        {"both loaded on, arpeggiator clicked off", 1, 1, 0, 1, {Message(98, 0), Message(100, 1)}},
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
        EditSession session(sound);
        ControlValues values = Load(session);
        Control(values, "CheckLedApreggiator") = c.arp;
        Control(values, "CheckLedGatedSequencer") = c.gated;
        Control(values, "SldSeq416") = 0; // another change goes first
        std::vector<Nrpn> expected;
        if (sound[SoundLayout::ParameterByte(183)] != 0)
            expected.push_back(Message(183, 0));
        expected.insert(expected.end(), c.sent.begin(), c.sent.end());
        EXPECT_EQ(session.ReadBack(values, ""), expected) << c.what;
    }
}

TEST(EditSession, TheNameIsWrittenOnlyOnceEdited) {
    TSoundRecord sound = PlainSound();
    SetNameBytes(sound, std::string("  Caf\xE9\x01\x80", 8) + std::string(8, ' '));
    EditSession session(sound);
    EXPECT_EQ(session.NameToShow(), "Caf\xC3\xA9 \xE2\x82\xAC");
    const ControlValues values = Load(session);
    EXPECT_EQ(session.ReadBack(values, "anything"), std::vector<Nrpn>{});

    // The trimmed text moves two places to the left: every character that
    // moved goes out, the blanks that stay do not.
    session.NameEdited();
    EXPECT_EQ(session.ReadBack(values, "Caf\xC3\xA9 \xE2\x82\xAC"),
              (std::vector<Nrpn>{Message(184, 'C'), Message(185, 'a'), Message(186, 'f'),
                                 Message(187, 0xE9), Message(188, ' '), Message(189, 0x80),
                                 Message(190, ' '), Message(191, ' ')}));
    EXPECT_EQ(session.ReadBack(values, "Caf\xC3\xA9 \xE2\x82\xAC"), std::vector<Nrpn>{});

    EXPECT_EQ(session.ReadBack(values, "Cafe \xE2\x82\xAC"), std::vector<Nrpn>{Message(187, 'e')});
    // Longer text is cut at 16 characters; a character without a byte is '?'.
    session.ReadBack(values, "0123456789abcdef\xE2\x82\xAC");
    EXPECT_EQ(GetSoundName(session.Sound()), "0123456789abcdef");
    session.ReadBack(values, "\xE4\xB8\x80\xC0\x80"
                             "A\xC3");
    EXPECT_EQ(GetSoundName(session.Sound()), "??A?            ");
}
