// tonewright-syx sending while the other end goes away: the instrument
// crashes, or the MIDI server itself stops. Neither is reported as success,
// and neither leaves the command waiting.

#include "e2e_fixture.h"

#include <cstdlib>
#include <future>
#include <thread>

namespace {

using namespace e2e;

class SendFailuresOverJack : public VirtualMophoOverJack {
protected:
    // Sends a file of several banks in the background: seconds of sending.
    std::future<ProgramRun> StartSending(int banks) {
        Bytes bytes;
        for (int bank = 0; bank < banks; ++bank) {
            const Bytes one = TestBank();
            bytes.insert(bytes.end(), one.begin(), one.end());
        }
        WriteFile(folder_ / "banks.syx", bytes);
        return std::async(std::launch::async, [this] {
            return RunProgram(TW_SYX_TOOL,
                              {"send", "--out", name_, (folder_ / "banks.syx").string()},
                              folder_.string());
        });
    }
};

TEST_F(SendFailuresOverJack, AnInstrumentGoneMidSendIsAnError) {
    auto instrument = Start({});
    auto sending = StartSending(8);
    std::this_thread::sleep_for(1s);
    // Ended, not killed: a client killed outright stalls the test server, which
    // waits for every client each cycle.
    EXPECT_EQ(instrument->Stop(), 0);
    const ProgramRun run = sending.get();
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("the port it was connected to went away"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

// A server of its own, so the shared one stays up for the other tests.
class PrivateJackServer {
public:
    explicit PrivateJackServer(const std::string& state)
        : state_(state), name_("tw-stop-" + std::to_string(getpid())) {
        const char* previous = std::getenv("JACK_DEFAULT_SERVER");
        previous_ = previous ? previous : "";
        started_ =
            std::system(
                ("'" TW_JACK_SCRIPT "' start " + name_ + " '" + state_ + "' >/dev/null").c_str()) ==
            0;
        setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1); // for the programs started next
    }
    ~PrivateJackServer() {
        std::system(("'" TW_JACK_SCRIPT "' stop '" + state_ + "'").c_str());
        setenv("JACK_DEFAULT_SERVER", previous_.c_str(), 1);
    }
    bool Started() const { return started_; }
    void Kill() const {
        const auto pid = ReadLines(fs::path(state_) / "jackd.pid");
        if (!pid.empty())
            kill(std::stoi(pid.front()), SIGKILL);
    }

private:
    std::string state_;
    std::string name_;
    std::string previous_;
    bool started_ = false;
};

TEST_F(SendFailuresOverJack, AServerStoppedMidSendEndsTheCommand) {
    PrivateJackServer server((folder_ / "jack").string());
    ASSERT_TRUE(server.Started());
    const fs::path saved = folder_ / "saved.syx";
    auto instrument = Start({"--save", saved.string()});
    auto sending = StartSending(8);
    std::this_thread::sleep_for(1s);
    server.Kill();
    ASSERT_EQ(sending.wait_for(30s), std::future_status::ready) << "the send hangs";
    const ProgramRun run = sending.get();
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("the MIDI server stopped"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    // The instrument ends too, keeping what it received.
    EXPECT_EQ(instrument->WaitForEnd(10s), 1);
    EXPECT_EQ(ReadFile(saved).size(), static_cast<std::size_t>(Slots::Count) * 300);
}

} // namespace
