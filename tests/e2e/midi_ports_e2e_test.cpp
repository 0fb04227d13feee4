// The program's ports (MidiPorts on RtMidi) against tonewright-virtual-mopho
// over a real JACK server: awaited replies, faulty replies, controller thru,
// long sends, port changes.

#include "e2e_fixture.h"

#include "midi_ports.h"
#include "rtmidi_service.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

using namespace e2e;

class PortsOverJack : public VirtualMophoOverJack {
protected:
    // Opens the program's ports on the instrument, named as the port dialog would.
    void OpenPorts(const std::string& controller = {}) {
        service_ = std::make_unique<RtMidiService>(RtMidiService::Backend::Jack, name_ + "-app");
        ports_ = std::make_unique<MidiPorts>(
            *service_, MidiPorts::Reporter{[this](const std::string& s) { shown_.push_back(s); },
                                           [this](const std::string& s) { shown_.push_back(s); }});
        ports_->SetSysExHandler([this](Bytes message) {
            std::lock_guard lock(mutex_);
            ++replies_;
            received_ = std::move(message);
            arrived_.notify_all();
        });
        ports_->EnumerateMidiDevices();
        // The instrument's ports are named "<client>:<name>"; the keyboard's
        // client name starts with the same name, so the port name decides.
        ports_->SetMidiInDeviceName(NameContaining(ports_->MidiInDevices(), ":" + name_));
        ports_->SetMidiOutDeviceName(NameContaining(ports_->MidiOutDevices(), ":" + name_));
        ports_->SetControllerInDeviceName(
            controller.empty() ? "" : NameContaining(ports_->MidiInDevices(), controller));
        ports_->ResolveMidiDevices();
        ASSERT_TRUE(ports_->OpenMidiOut());
        ports_->OpenMidiIns();
        ASSERT_TRUE(ports_->MidiInOpen());
        EXPECT_TRUE(shown_.empty());
    }

    static std::string NameContaining(const std::vector<TMidiDeviceList>& devices,
                                      const std::string& part) {
        for (const auto& device : devices)
            if (device.Name.find(part) != std::string::npos)
                return device.Name;
        ADD_FAILURE() << "no port contains " << part;
        return {};
    }

    // Asks for a program until a reply is handed over or the tries run out.
    bool RequestUntilAnswered(int tries, std::chrono::milliseconds each) {
        for (int attempt = 0; attempt < tries; ++attempt) {
            ports_->ListenForSysEx();
            RequestProgramDump(*ports_, 0, 5);
            std::unique_lock lock(mutex_);
            if (arrived_.wait_for(lock, each, [this] { return replies_ > 0; }))
                return true;
        }
        return false;
    }

    // The log once it holds `lines` lines, or as it is when they do not come.
    static std::vector<std::string> LogOf(const fs::path& logFile, std::size_t lines) {
        std::vector<std::string> log;
        for (int attempt = 0; attempt < 200; ++attempt) {
            log = ReadLines(logFile);
            if (log.size() >= lines)
                break;
            std::this_thread::sleep_for(100ms);
        }
        return log;
    }

    Bytes Received() {
        std::lock_guard lock(mutex_);
        return received_;
    }

    std::unique_ptr<RtMidiService> service_;
    std::unique_ptr<MidiPorts> ports_;
    std::vector<std::string> shown_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    int replies_ = 0;
    Bytes received_;
};

TEST_F(PortsOverJack, ReplySplitByClockBytesArrivesWhole) {
    auto instrument = Start({"--fault", "clock-split"});
    OpenPorts();
    ASSERT_TRUE(RequestUntilAnswered(20, 250ms));
    // The clock bytes between the pieces never reach the receive buffer.
    EXPECT_EQ(Received(), ProgramDumpMessage(VirtualMopho::FactorySound(5), 0, 5));
    ports_.reset();
    EXPECT_EQ(instrument->Stop(), 0);
}

TEST_F(PortsOverJack, TruncatedRepliesNeverReachTheDispatch) {
    auto instrument = Start({"--fault", "truncated"});
    OpenPorts();
    EXPECT_FALSE(RequestUntilAnswered(4, 250ms));
    ports_.reset();
    EXPECT_EQ(instrument->Stop(), 0);
}

TEST_F(PortsOverJack, ControllerNotesPassThroughUnchanged) {
    const fs::path logFile = folder_ / "received.log";
    auto instrument = Start({"--log", logFile.string()});
    RtMidiOut keyboard(RtMidi::UNIX_JACK, name_ + "-keys");
    keyboard.openVirtualPort("keyboard");
    OpenPorts(name_ + "-keys");
    ASSERT_TRUE(ports_->ControllerInOpen());

    EXPECT_TRUE(PlayUntilHeard(keyboard, logFile, {0x92, 0x3C, 0x64}));
    ports_.reset();
    EXPECT_EQ(instrument->Stop(), 0);
    for (const std::string& line : ReadLines(logFile))
        EXPECT_TRUE(line == "92 3C 64") << line; // nothing else, nothing changed
}

TEST_F(PortsOverJack, NotesJoinALongSend) {
    const fs::path logFile = folder_ / "received.log";
    auto instrument = Start({"--log", logFile.string()});
    RtMidiOut keyboard(RtMidi::UNIX_JACK, name_ + "-keys");
    keyboard.openVirtualPort("keyboard");
    OpenPorts(name_ + "-keys");
    ASSERT_TRUE(ports_->ControllerInOpen());
    ASSERT_TRUE(PlayUntilHeard(keyboard, logFile, {0x80, 0x00, 0x00}));
    const std::size_t before = ReadLines(logFile).size();

    // Two banks of program dumps take seconds to leave; a note every 10 ms
    // is played all the while.
    Bytes banks = TestBank();
    banks.insert(banks.end(), banks.begin(), banks.end());
    std::atomic<bool> sent{false};
    std::thread sender([&] {
        ports_->SendLongMessage(banks);
        sent = true;
    });
    std::vector<std::string> played;
    for (int i = 0; !sent; ++i) {
        const std::vector<unsigned char> note{0x90, static_cast<unsigned char>(i % 128),
                                              static_cast<unsigned char>(1 + i / 128 % 127)};
        keyboard.sendMessage(&note);
        played.push_back(HexLine(note));
        std::this_thread::sleep_for(10ms);
    }
    sender.join();

    const auto log = LogOf(logFile, before + played.size() + 2 * Slots::Count);
    std::vector<std::string> notes;
    std::vector<std::string> dumps;
    std::size_t notesAmidTheDumps = 0;
    for (std::size_t line = before; line < log.size(); ++line) {
        if (log[line].starts_with("F0")) {
            dumps.push_back(log[line]);
        } else {
            notes.push_back(log[line]);
            if (!dumps.empty() && dumps.size() < 2 * Slots::Count)
                ++notesAmidTheDumps;
        }
    }
    EXPECT_EQ(notes, played) << "every note arrives, in order";
    ASSERT_EQ(dumps.size(), 2u * Slots::Count);
    for (int slot = 0; slot < 2 * Slots::Count; ++slot)
        EXPECT_EQ(dumps[static_cast<std::size_t>(slot)], HexLine(Block(banks, slot))) << slot;
    EXPECT_GT(notesAmidTheDumps, 0u) << "notes go out between the dumps, not after all of them";
    ports_.reset();
    EXPECT_EQ(instrument->Stop(), 0);
}

TEST_F(PortsOverJack, HugeSysExArrivesWhole) {
    const fs::path logFile = folder_ / "received.log";
    auto instrument = Start({"--log", logFile.string()});
    OpenPorts();
    Bytes message(17007, 0x55);
    message.front() = 0xF0;
    message[1] = 0x7D; // for non-commercial use: the instrument only logs it
    message.back() = 0xF7;
    ports_->SendLongMessage(message);
    ports_->SendShortMessage(0xC0); // after the message, never inside it
    const auto log = LogOf(logFile, 2);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], HexLine(message));
    EXPECT_EQ(log[1], "C0 00");
    ports_.reset();
    EXPECT_EQ(instrument->Stop(), 0);
}

// Under ThreadSanitizer this finds the platform's input thread still calling
// into a port object that a port change has already destroyed.
TEST_F(PortsOverJack, PortChangesAmidClock) {
    auto instrument = Start({});
    RtMidiOut keyboard(RtMidi::UNIX_JACK, name_ + "-keys");
    keyboard.openVirtualPort("keyboard");
    OpenPorts(name_ + "-keys");
    ASSERT_TRUE(ports_->ControllerInOpen());
    std::atomic<bool> streaming{true};
    std::thread clock([&] {
        const std::vector<unsigned char> tick{0xF8};
        while (streaming) {
            keyboard.sendMessage(&tick);
            std::this_thread::sleep_for(1ms);
        }
    });
    for (int change = 0; change < 20; ++change) {
        ports_->ApplyMidiPorts(ports_->MidiOutDevice());
        EXPECT_TRUE(ports_->ControllerInOpen());
        EXPECT_TRUE(ports_->MidiOutOpen());
    }
    streaming = false;
    clock.join();
    EXPECT_TRUE(RequestUntilAnswered(20, 250ms)) << "the ports still work";
    ports_.reset();
    EXPECT_EQ(instrument->Stop(), 0);
}

} // namespace
