#include "note_player.h"

#include "support/note_messages.h"
#include "support/recording_midi_output.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Keys held down, by their letters.
struct HeldKeys {
    std::set<char> down;
    NotePlayer::KeyDownQuery Query() const {
        return [this](char key) { return down.count(key) > 0; };
    }
};

class NotePlayerTest : public ::testing::Test {
protected:
    RecordingMidiOutput output;
    NotePlayer player{output};
    HeldKeys keys;

    void Poll() { player.Poll(keys.Query()); }
    std::vector<NoteMessage> Sent() { return output.TakeShortMessageBytes(); }
};

TEST_F(NotePlayerTest, TwoKeysTogetherSoundTwoNotesAndReleaseBoth) {
    EXPECT_EQ(player.Octave(), 4);
    keys.down = {'A', 'W'};
    Poll();
    EXPECT_EQ(Sent(), (std::vector<NoteMessage>{NoteOn(60), NoteOn(61)}));
    Poll(); // held: nothing more
    EXPECT_TRUE(Sent().empty());
    keys.down.clear();
    Poll();
    EXPECT_EQ(Sent(), (std::vector<NoteMessage>{NoteOff(60), NoteOff(61)}));
    EXPECT_FALSE(player.AnyNoteOn());
}

TEST_F(NotePlayerTest, ANoteThatDoesNotGoOutIsReported) {
    output.failure = MidiError::NotReady;
    keys.down = {'A'};
    EXPECT_EQ(player.Poll(keys.Query()), MidiError::NotReady);
    EXPECT_EQ(player.ReleaseAllNotes(), MidiError::NotReady);
    output.failure = MidiError::None;
    keys.down.clear();
    EXPECT_EQ(player.Poll(keys.Query()), MidiError::None);
}

TEST_F(NotePlayerTest, EveryKeyOfTheTablePlaysItsSemitone) {
    player.SetOctave(0);
    for (const KeyboardKey& key : KeyboardKeys)
        keys.down.insert(key.Key);
    Poll();
    std::vector<NoteMessage> expected;
    for (int note = 12; note < 28; ++note)
        expected.push_back(NoteOn(note));
    EXPECT_EQ(Sent(), expected);
    EXPECT_STREQ(KeyboardKeys[11].Label, "H");
    EXPECT_EQ(KeyboardKeys[15].Key, 'P');
}

// A held key keeps the note it started; its release ends that note, also when
// the octave changed meanwhile (by a click, or by X held down and repeating).
TEST_F(NotePlayerTest, OctaveChangeWhileHeldEndsTheNoteTheKeyStarted) {
    keys.down = {'A'};
    Poll();
    for (int i = 0; i < 3; ++i) {
        player.RaiseOctave();
        Poll();
    }
    EXPECT_EQ(Sent(), (std::vector<NoteMessage>{NoteOn(60)})) << "no new note while held";
    keys.down.clear();
    Poll();
    EXPECT_EQ(Sent(), (std::vector<NoteMessage>{NoteOff(60)}));
    EXPECT_FALSE(player.AnyNoteOn());

    // The next press plays at the new octave; lowering it before the release
    // still ends that note.
    keys.down = {'A'};
    Poll();
    player.LowerOctave();
    keys.down.clear();
    Poll();
    EXPECT_EQ(Sent(), (std::vector<NoteMessage>{NoteOn(96), NoteOff(96)}));
}

TEST_F(NotePlayerTest, OctaveStopsAtItsLimits) {
    for (int i = 0; i < 8; ++i)
        player.LowerOctave();
    EXPECT_EQ(player.Octave(), 0);
    EXPECT_EQ(player.OctaveCaption(), "Octave 0");
    for (int i = 0; i < 15; ++i)
        player.RaiseOctave();
    EXPECT_EQ(player.Octave(), 10);
    EXPECT_EQ(player.OctaveCaption(), "Octave 10");
}

TEST_F(NotePlayerTest, KeysAboveNote127DoNothing) {
    for (const KeyboardKey& key : KeyboardKeys)
        keys.down.insert(key.Key);
    player.SetOctave(10);
    Poll();
    EXPECT_TRUE(Sent().empty());
    EXPECT_FALSE(player.AnyNoteOn());

    // Octave 9: the first eight keys reach 120..127, the rest are silent.
    player.SetOctave(9);
    Poll();
    std::vector<NoteMessage> expected;
    for (int note = 120; note <= 127; ++note)
        expected.push_back(NoteOn(note));
    EXPECT_EQ(Sent(), expected);
    keys.down.clear();
    Poll();
    EXPECT_EQ(Sent().size(), 8u);
}

TEST_F(NotePlayerTest, ReleaseAllNotesEndsEveryNoteStillOn) {
    keys.down = {'A', 'W'};
    Poll();
    player.RaiseOctave(); // the first two notes stay on as they are
    keys.down = {'A', 'W', 'P'};
    Poll();
    Sent();
    player.ReleaseAllNotes();
    EXPECT_EQ(Sent(), (std::vector<NoteMessage>{NoteOff(60), NoteOff(61), NoteOff(87)}));
    EXPECT_FALSE(player.AnyNoteOn());
    player.ReleaseAllNotes();
    EXPECT_TRUE(Sent().empty()) << "nothing is ended twice";
}

TEST(NotesPlayableIn, OnlyThePlayingWindows) {
    for (const char* name : {"TfrmMain", "TfrmPatchEdit", "TfrmMorph", "TfrmLocker", "TfrmBreeder"})
        EXPECT_TRUE(NotesPlayableIn(name)) << name;
    for (const char* name : {"", "TfrmSettings", "tfrmmain", "TfrmMain2"})
        EXPECT_FALSE(NotesPlayableIn(name)) << name;
}

} // namespace
