#include "builtin_instrument_service.h"
#include "fake_midi_service.h"
#include "midi_input_port.h"
#include "midi_ports.h"
#include "short_messages.h"
#include "support/documented_replies.h"
#include "sysex_messages.h"
#include "virtual_mopho.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <new>

// The largest single allocation made on this thread while one is watched:
// the test binary's own operator new.
namespace {
thread_local bool watchingAllocations = false;
thread_local std::size_t largestAllocation = 0;
} // namespace

void* operator new(std::size_t size) {
    if (watchingAllocations && size > largestAllocation)
        largestAllocation = size;
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

using Bytes = std::vector<std::uint8_t>;

std::size_t LargestAllocationDuring(const std::function<void()>& work) {
    largestAllocation = 0;
    watchingAllocations = true;
    work();
    watchingAllocations = false;
    return largestAllocation;
}

class PortsWithFakePlatform : public ::testing::Test {
protected:
    FakeMidiService platform;
    std::vector<std::string> shown;
    std::vector<std::string> logged;
    MidiPorts ports{platform,
                    {[this](const std::string& s) { shown.push_back(s); },
                     [this](const std::string& s) { logged.push_back(s); }}};
    std::vector<Bytes> handed;

    // One instrument on device 0 with its input open; keeps what is handed over.
    void OpenInstrumentInput() {
        platform.inputNames = {"Mopho"};
        platform.outputNames = {"Mopho"};
        ports.EnumerateMidiDevices();
        ports.SetSysExHandler([this](Bytes message) { handed.push_back(std::move(message)); });
        ports.OpenMidiIns();
    }
};

TEST_F(PortsWithFakePlatform, ResolvesTrimmedCaseSensitiveNamesAndTheLastMatchWins) {
    platform.inputNames = {"Keys", " Mopho ", "Mopho", "mopho"};
    platform.outputNames = {"Out A", "Mopho", "Mopho  "};
    ports.EnumerateMidiDevices();
    ASSERT_EQ(ports.MidiInDevices().size(), 4u);
    EXPECT_EQ(ports.MidiInDevices()[2].ID, 2);

    ports.SetMidiInDeviceName("Mopho");
    ports.SetControllerInDeviceName("  Keys");
    ports.SetMidiOutDeviceName("Mopho");
    ports.ResolveMidiDevices();
    EXPECT_EQ(ports.MidiInDevice(), 2);
    EXPECT_EQ(ports.ControllerInDevice(), 0);
    EXPECT_EQ(ports.MidiOutDevice(), 2);

    ports.SetMidiInDeviceName("Vanished");
    ports.ResolveMidiDevices();
    EXPECT_EQ(ports.MidiInDevice(), 2) << "an unknown name keeps the number resolved before";
}

TEST_F(PortsWithFakePlatform, ControllerThruPassesEveryShortMessageUnchanged) {
    platform.inputNames = {"Mopho", "Keys"};
    platform.outputNames = {"Mopho"};
    ports.EnumerateMidiDevices();
    ports.SetControllerInDeviceName("Keys");
    ports.ResolveMidiDevices();
    ASSERT_TRUE(ports.OpenMidiOut());
    ports.OpenMidiIns();
    platform.Feed(1, {0x93, 60, 100});
    platform.Feed(1, {0xE0, 0x00, 0x40});
    platform.Feed(1, {0xF8});
    platform.Feed(1, {0xF0, 0x01, 0xF7}); // controller SysEx is never passed on
    EXPECT_EQ(platform.sent, (std::vector<Bytes>{{0x93, 60, 100}, {0xE0, 0x00, 0x40}, {0xF8}}));
}

TEST_F(PortsWithFakePlatform, SameDeviceForBothInputsGivesNoThru) {
    platform.inputNames = {"Mopho"};
    platform.outputNames = {"Mopho"};
    ports.EnumerateMidiDevices();
    ASSERT_TRUE(ports.OpenMidiOut());
    ports.OpenMidiIns();
    EXPECT_TRUE(ports.MidiInOpen());
    EXPECT_FALSE(ports.ControllerInOpen());
    platform.Feed(0, {0x90, 60, 127});
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_TRUE(shown.empty()) << "a failed open is silent";
}

TEST_F(PortsWithFakePlatform, StartFailuresAreShownAndTheOutputFailureReported) {
    platform.inputNames = {"Mopho", "Keys"};
    EXPECT_FALSE(ports.OpenMidiOut()) << "no output device";
    platform.outputNames = {"Mopho", "Spare"};
    ports.EnumerateMidiDevices();
    ports.SetControllerInDeviceName("Keys");
    ports.ResolveMidiDevices();
    platform.failInputStart = true;
    ports.OpenMidiIns();
    EXPECT_EQ(shown,
              (std::vector<std::string>{"Midi IN Start error", "Midi Controller IN Start error"}));

    shown.clear();
    platform.failInputStart = false;
    platform.failOutputOpen = true;
    ports.SetMidiOutDeviceName("Spare");
    ports.ApplyMidiPorts(0);
    EXPECT_EQ(shown, std::vector<std::string>{"Midi Open error"});
    EXPECT_FALSE(logged.empty());
}

TEST_F(PortsWithFakePlatform, CompleteSysExIsHandedOverOneMessageAtATime) {
    OpenInstrumentInput();
    platform.Feed(0, {0x90, 60, 127});
    platform.Feed(0, {0xF0, 1, 2, 3});       // no end byte
    platform.Feed(0, {0xF0, 1, 0x90, 0xF7}); // cut short by a status byte
    EXPECT_TRUE(handed.empty());

    platform.Feed(0, {0xF0, 1, 0xF8, 2, 0xFE, 0xF7}); // clock and sensing inside
    EXPECT_EQ(handed, (std::vector<Bytes>{{0xF0, 1, 2, 0xF7}}));

    platform.Feed(0, {0xF0, 9, 0xF7});
    EXPECT_EQ(handed.size(), 1u) << "not ready again until the last one was taken";
    ports.ListenForSysEx();
    Bytes longer(400, 0x11);
    longer.front() = 0xF0;
    longer.back() = 0xF7;
    platform.Feed(0, longer);
    ASSERT_EQ(handed.size(), 2u);
    EXPECT_EQ(handed[1], Bytes(longer.begin(), longer.begin() + 300)) << "cut at 300 bytes";
}

TEST_F(PortsWithFakePlatform, EverySendSaysWhatCameOfIt) {
    platform.inputNames = {"Mopho"};
    platform.outputNames = {"Mopho"};
    ports.EnumerateMidiDevices();
    EXPECT_EQ(SendNrpn(ports, 20, 100), MidiError::InvalidHandle) << "no output is open";
    EXPECT_EQ(ports.SendLongMessage(Bytes{0xF0, 0xF7}), MidiError::InvalidHandle);
    ASSERT_TRUE(ports.OpenMidiOut());
    platform.sendFailure = MidiError::NotReady;
    EXPECT_EQ(SendNrpn(ports, 20, 100), MidiError::NotReady);
    EXPECT_EQ(ports.SendLongMessage(Bytes{0xF0, 0xF7}), MidiError::NotReady);
    EXPECT_TRUE(platform.sent.empty());
    platform.sendFailure = MidiError::None;
    EXPECT_EQ(SendNrpn(ports, 20, 100), MidiError::None);
    EXPECT_EQ(platform.sent.size(), 4u);
}

TEST(MidiInputPort, CopiesNoMoreOfAHugeSysExThanTheBufferHolds) {
    int handedBack = 0;
    MidiInputPort port([&](MidiService::InputEvent event, std::uint32_t) {
        handedBack += event == MidiService::InputEvent::LongData;
    });
    port.Start();
    std::array<std::uint8_t, MidiPorts::ReceiveBufferSize> buffer{};
    port.QueueBuffer(buffer.data(), buffer.size());
    Bytes huge(4 * 1024 * 1024, 0x11);
    huge.front() = 0xF0;
    huge[1] = 0x43;
    huge.back() = 0xF7;

    const std::size_t largest = LargestAllocationDuring([&] { port.Deliver(huge); });
    EXPECT_EQ(handedBack, 1);
    EXPECT_EQ(port.ReceivedBytes(), buffer.size());
    EXPECT_EQ(buffer[1], 0x43);
    EXPECT_EQ(buffer.back(), 0x11);
    EXPECT_LT(largest, buffer.size()) << "the message was copied whole before it was cut";
}

// The built-in instrument answers with the documented layouts: what it is
// sent from the hand-written dumps comes back byte for byte.
TEST(BuiltInInstrument, AnswersWithTheDocumentedLayouts) {
    using namespace DocumentedReplies;
    VirtualMopho instrument;
    const auto only = [](const VirtualMopho::Replies& replies) {
        return replies.size() == 1 ? replies.front() : Bytes{};
    };
    EXPECT_TRUE(instrument.Receive(ProgramDumpB006).empty());
    EXPECT_EQ(only(instrument.Receive(ProgramDumpRequestMessage(1, 5))),
              Bytes(ProgramDumpB006.begin(), ProgramDumpB006.end()));
    EXPECT_TRUE(instrument.Receive(EditBufferDump).empty());
    EXPECT_EQ(only(instrument.Receive(EditBufferRequestMessage())),
              Bytes(EditBufferDump.begin(), EditBufferDump.end()));

    const Bytes globals = only(instrument.Receive(GlobalsRequestMessage()));
    ASSERT_EQ(globals.size(), GlobalsDump.size());
    EXPECT_TRUE(std::equal(globals.begin(), globals.begin() + 4, GlobalsDump.begin()));
    EXPECT_EQ(globals.back(), 0xF7);
    for (std::size_t i = 4; i + 1 < globals.size(); ++i)
        EXPECT_LT(globals[i], 0x10) << "byte " << i << " is a nibble";

    const Bytes identity = only(instrument.Receive(DeviceInquiryMessage()));
    ASSERT_EQ(identity.size(), IdentityReply14.size());
    EXPECT_EQ(Bytes(identity.begin(), identity.begin() + 2), Bytes({0xF0, 0x7E}));
    EXPECT_EQ(Bytes(identity.begin() + 3, identity.begin() + 7), Bytes({0x06, 0x02, 0x01, 0x25}));
    EXPECT_EQ(identity.back(), 0xF7);
}

// Waits for hand-offs from the instrument's thread.
class HandOffCounter {
public:
    void Notify(Bytes message) {
        std::lock_guard lock(mutex_);
        ++count_;
        last_ = std::move(message);
        changed_.notify_all();
    }
    Bytes Last() {
        std::lock_guard lock(mutex_);
        return last_;
    }
    bool WaitFor(int count, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return count_ >= count; });
    }
    int Count() {
        std::lock_guard lock(mutex_);
        return count_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int count_ = 0;
    Bytes last_;
};

class PortsOnBuiltInInstrument : public ::testing::Test {
protected:
    PortsOnBuiltInInstrument() {
        ports.SetSysExHandler([this](Bytes message) { handOffs.Notify(std::move(message)); });
        ports.EnumerateMidiDevices();
        EXPECT_TRUE(ports.OpenMidiOut());
        ports.OpenMidiIns();
    }

    VirtualMopho instrument;
    BuiltInInstrumentService service{nullptr, [this](std::span<const std::uint8_t> message) {
                                         return instrument.Receive(message);
                                     }};
    MidiPorts ports{service, {}};
    HandOffCounter handOffs;
};

TEST_F(PortsOnBuiltInInstrument, IsListedAsOneInputAndOneOutput) {
    ASSERT_EQ(ports.MidiInDevices().size(), 1u);
    EXPECT_EQ(ports.MidiInDevices()[0].Name, "Tonewright Virtual Mopho");
    EXPECT_EQ(ports.MidiOutDevices()[0].Name, "Tonewright Virtual Mopho");
}

TEST_F(PortsOnBuiltInInstrument, AProgramDumpRequestIsAnsweredWithTheWholeDump) {
    ASSERT_EQ(RequestProgramDump(ports, 1, 9), MidiError::None);
    ASSERT_TRUE(handOffs.WaitFor(1));
    EXPECT_EQ(handOffs.Last(), ProgramDumpMessage(instrument.Program(137), 1, 9));
}

TEST_F(PortsOnBuiltInInstrument, FaultyRepliesNeverReachTheHandOff) {
    instrument.SetFault(VirtualMopho::Fault::Truncated);
    RequestProgramDump(ports, 0, 0);
    service.WaitUntilIdle();
    EXPECT_EQ(handOffs.Count(), 0);

    instrument.SetFault(VirtualMopho::Fault::ClockSplit);
    RequestProgramDump(ports, 0, 1);
    ASSERT_TRUE(handOffs.WaitFor(1));
    service.WaitUntilIdle();
    EXPECT_EQ(handOffs.Last(), ProgramDumpMessage(instrument.Program(1), 0, 1))
        << "clock bytes inside the reply are taken out, the reply is whole";
}

TEST_F(PortsOnBuiltInInstrument, DinTimingDelaysTheReplyByTheWireTime) {
    service.SetDinTiming(true);
    const auto start = std::chrono::steady_clock::now();
    RequestProgramDump(ports, 2, 127);
    ASSERT_TRUE(handOffs.WaitFor(1));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::microseconds(320 * 307)) << "7 bytes out, 300 back";
}

TEST_F(PortsOnBuiltInInstrument, SysExFileBytesReachTheInstrumentAsSeparateMessages) {
    TSoundRecord a;
    SetSoundName(a, "First");
    TSoundRecord b;
    SetSoundName(b, "Second");
    Bytes file = ProgramDumpMessage(a, 0, 3);
    const Bytes second = ProgramDumpMessage(b, 2, 5);
    file.insert(file.end(), second.begin(), second.end());
    ports.SendLongMessage(file);
    service.WaitUntilIdle();
    EXPECT_EQ(GetSoundName(instrument.Program(3)), "First           ");
    EXPECT_EQ(GetSoundName(instrument.Program(261)), "Second          ");
}

} // namespace
