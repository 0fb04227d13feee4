// The program's ports (MidiPorts on RtMidi) against tonewright-virtual-mopho
// over a real JACK server: awaited replies, faulty replies, controller thru.

#include "e2e_fixture.h"

#include "midi_ports.h"
#include "rtmidi_service.h"

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
        ports_->OnReplyReceived = [this] {
            std::lock_guard lock(mutex_);
            ++replies_;
            arrived_.notify_all();
        };
        ports_->EnumerateMidiDevices();
        // The instrument's ports are named "<client>:<name>"; the keyboard's
        // client name starts with the same name, so the port name decides.
        ports_->MidiInDeviceName = NameContaining(ports_->MidiInDevices, ":" + name_);
        ports_->MidiOutDeviceName = NameContaining(ports_->MidiOutDevices, ":" + name_);
        ports_->ControllerInDeviceName =
            controller.empty() ? "" : NameContaining(ports_->MidiInDevices, controller);
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
            ports_->StartReceive(300);
            RequestProgramDump(*ports_, 0, 5);
            std::unique_lock lock(mutex_);
            if (arrived_.wait_for(lock, each, [this] { return replies_ > 0; }))
                return true;
        }
        return false;
    }

    Bytes Received() {
        const std::size_t size = ports_->ReceivedBytes();
        return Bytes(ports_->ReceiveBuffer.begin(),
                     ports_->ReceiveBuffer.begin() + static_cast<std::ptrdiff_t>(size));
    }

    std::unique_ptr<RtMidiService> service_;
    std::unique_ptr<MidiPorts> ports_;
    std::vector<std::string> shown_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    int replies_ = 0;
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

    // Connections settle within a cycle or two; the note is played again until
    // the instrument has heard it.
    const std::vector<unsigned char> noteOn{0x92, 0x3C, 0x64};
    bool heard = false;
    for (int attempt = 0; attempt < 40 && !heard; ++attempt) {
        keyboard.sendMessage(&noteOn);
        std::this_thread::sleep_for(50ms);
        const auto log = ReadLines(logFile);
        heard = std::find(log.begin(), log.end(), "92 3C 64") != log.end();
    }
    EXPECT_TRUE(heard);
    ports_.reset();
    EXPECT_EQ(instrument->Stop(), 0);
    for (const std::string& line : ReadLines(logFile))
        EXPECT_TRUE(line == "92 3C 64") << line; // nothing else, nothing changed
}

} // namespace
