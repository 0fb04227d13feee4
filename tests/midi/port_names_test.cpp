#include "rtmidi_service.h"

#include <RtMidi.h>

#include <gtest/gtest.h>

namespace {

// A port keeps its name when devices come and go, so the stored choice finds
// it again.
TEST(PortNames, NumbersThatMoveWithOtherDevicesAreLeftOut) {
    struct Case {
        const char* platformName;
        int api;
        unsigned portNumber;
        const char* expected;
    };
    const Case cases[] = {
        {"Mopho:Mopho MIDI 1 20:0", RtMidi::LINUX_ALSA, 1, "Mopho:Mopho MIDI 1"},
        {"system:midi_capture_1", RtMidi::UNIX_JACK, 0, "system:midi_capture_1"},
        {"USB MIDI Interface 2", RtMidi::WINDOWS_MM, 2, "USB MIDI Interface"},
        {"USB MIDI Interface 0", RtMidi::WINDOWS_MM, 0, "USB MIDI Interface"},
        {"MIDIOUT2 (Mopho) 3", RtMidi::WINDOWS_MM, 3, "MIDIOUT2 (Mopho)"},
        {"Synth 12", RtMidi::WINDOWS_MM, 2, "Synth 12"}, // not its port number
        {" 4", RtMidi::WINDOWS_MM, 4, " 4"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RtMidiService::StablePortName(c.platformName, c.api, c.portNumber), c.expected)
            << c.platformName;
}

TEST(PortNames, TheProgramsOwnPortsAreKnown) {
    for (const char* name :
         {"Tonewright:Tonewright out", "Tonewright:Tonewright in", "Tonewright-01:Tonewright out"})
        EXPECT_TRUE(RtMidiService::IsOwnPort(name, "Tonewright")) << name;
    for (const char* name : {"Tonewright Virtual Mopho", "Mopho:Mopho", "Tonewright:keyboard",
                             "Tonewrightx:Tonewright out", "Tonewright-a:Tonewright in",
                             "Other:Tonewright out", "Tonewright out"})
        EXPECT_FALSE(RtMidiService::IsOwnPort(name, "Tonewright")) << name;
}

} // namespace
