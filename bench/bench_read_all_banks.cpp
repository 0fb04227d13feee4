// A full read of all three banks through the main window's "read all banks"
// command (offscreen), against the built-in instrument in-process and against
// tonewright-virtual-mopho over JACK, each with and without DIN cable timing.
// Prints the wall time next to the time the same bytes take on a DIN cable,
// and where the time of each request/reply round trip goes.

#include "instrument_process.h"

#include "builtin_instrument_service.h"
#include "main_window.h"
#include "midi_service.h"
#include "rtmidi_service.h"
#include "sound_record.h"
#include "sysex_codec.h"
#include "virtual_mopho.h"

#include <jack/jack.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int Replies = Slots::Count;
constexpr std::size_t RequestBytes = 7;
constexpr std::size_t RoundTripBytes = RequestBytes + ProgramDumpSize;

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// Passes everything on to the service the window would use, noting when each
// SysEx message leaves the program and when each one arrives complete. Both
// are taken at the service boundary: what lies between an arrival and the
// next send is the program's own work. It also notes when the GUI thread
// takes up an arrival: a marker posted just before the window's own
// notification runs just before the window's handler.
class TimedMidiService : public MidiService {
public:
    explicit TimedMidiService(MidiService& inner) : inner_(inner) {}

    void Clear() {
        std::lock_guard lock(mutex_);
        sends_.clear();
        arrivals_.clear();
        takenUp_.clear();
    }
    std::vector<Clock::time_point> TakenUp() {
        std::lock_guard lock(mutex_);
        return takenUp_;
    }
    std::vector<Clock::time_point> Sends() {
        std::lock_guard lock(mutex_);
        return sends_;
    }
    std::vector<Clock::time_point> Arrivals() {
        std::lock_guard lock(mutex_);
        return arrivals_;
    }

    int InputDeviceCount() override { return inner_.InputDeviceCount(); }
    std::string InputDeviceName(int device) override { return inner_.InputDeviceName(device); }
    int OutputDeviceCount() override { return inner_.OutputDeviceCount(); }
    std::string OutputDeviceName(int device) override { return inner_.OutputDeviceName(device); }

    MidiError OpenInput(int device, InputCallback callback, Handle& handle) override {
        return inner_.OpenInput(
            device,
            [this, callback = std::move(callback)](InputEvent event, std::uint32_t message) {
                if (event == InputEvent::LongData) {
                    {
                        std::lock_guard lock(mutex_);
                        arrivals_.push_back(Clock::now());
                    }
                    QMetaObject::invokeMethod(
                        qApp,
                        [this] {
                            std::lock_guard lock(mutex_);
                            takenUp_.push_back(Clock::now());
                        },
                        Qt::QueuedConnection);
                }
                callback(event, message);
            },
            handle);
    }
    MidiError StartInput(Handle handle) override { return inner_.StartInput(handle); }
    MidiError StopInput(Handle handle) override { return inner_.StopInput(handle); }
    MidiError CloseInput(Handle handle) override { return inner_.CloseInput(handle); }
    MidiError QueueReceiveBuffer(Handle handle, std::uint8_t* buffer, std::size_t size) override {
        return inner_.QueueReceiveBuffer(handle, buffer, size);
    }
    MidiError ReleaseReceiveBuffer(Handle handle) override {
        return inner_.ReleaseReceiveBuffer(handle);
    }
    std::size_t ReceivedBytes(Handle handle) override { return inner_.ReceivedBytes(handle); }

    MidiError OpenOutput(int device, Handle& handle) override {
        return inner_.OpenOutput(device, handle);
    }
    MidiError CloseOutput(Handle handle) override { return inner_.CloseOutput(handle); }
    MidiError SendShort(Handle handle, std::uint32_t message) override {
        return inner_.SendShort(handle, message);
    }
    MidiError SendShorts(Handle handle, std::span<const std::uint32_t> messages) override {
        return inner_.SendShorts(handle, messages);
    }
    MidiError SendLong(Handle handle, std::span<const std::uint8_t> bytes) override {
        {
            std::lock_guard lock(mutex_);
            sends_.push_back(Clock::now());
        }
        return inner_.SendLong(handle, bytes);
    }
    MidiError ResetOutput(Handle handle) override { return inner_.ResetOutput(handle); }

private:
    MidiService& inner_;
    std::mutex mutex_;
    std::vector<Clock::time_point> sends_;
    std::vector<Clock::time_point> arrivals_;
    std::vector<Clock::time_point> takenUp_;
};

struct Spread {
    double mean = 0;
    double min = 0;
    double max = 0;
};

Spread SpreadOf(const std::vector<double>& values) {
    if (values.empty())
        return {};
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return {std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size()),
            *low, *high};
}

// The window on the ports named in its settings file, in a program folder of its own.
class BenchWindow {
public:
    BenchWindow(MidiService& midi, const std::string& inName, const std::string& outName)
        : timed_(midi) {
        qputenv("TONEWRIGHT_PROGRAM_FOLDER", folder_.path().toLocal8Bit());
        std::ofstream(QDir(folder_.path()).filePath("dsi_mopho.ini").toStdString())
            << "[Midi]\nMidiInDeviceID=" << inName << "\nMidiOutDeviceID=" << outName << "\n";
        window_ = std::make_unique<TfrmMain>(nullptr, nullptr, &timed_);
        window_->show();
    }

    bool Opened() const { return !window_->MidiOpenFailed(); }

    // Asks for the software version until it is answered: JACK connects the
    // ports a cycle or two after they open, and the first ask may go unheard.
    bool WaitUntilAnswering() {
        for (int attempt = 0; attempt < 5; ++attempt) {
            const std::size_t before = timed_.TakenUp().size();
            window_->findChild<QAction*>(QStringLiteral("actDeviceVersion"))->trigger();
            if (timed_.TakenUp().size() > before)
                return true;
        }
        return false;
    }

    // Reads all banks and prints the figures against the DIN wire time.
    // `cycleMs`: the JACK server's cycle, when the instrument is reached through it.
    void ReadAllBanks(std::optional<double> cycleMs = std::nullopt) {
        timed_.Clear();
        const auto start = Clock::now();
        // The trigger returns once the wait box has closed.
        window_->findChild<QAction*>(QStringLiteral("actReadAllBanks"))->trigger();
        const auto returned = Clock::now();
        // The GUI thread takes up each reply just before the window handles it.
        const auto takenUp = timed_.TakenUp();
        Report(start, returned, takenUp, timed_.Sends(), timed_.Arrivals(), takenUp, cycleMs);
    }

private:
    static void Report(Clock::time_point start, Clock::time_point returned,
                       const std::vector<Clock::time_point>& handled,
                       const std::vector<Clock::time_point>& sends,
                       const std::vector<Clock::time_point>& arrivals,
                       const std::vector<Clock::time_point>& takenUp,
                       std::optional<double> cycleMs) {
        const double wireMs = Milliseconds(VirtualMopho::WireTime(RoundTripBytes * Replies));
        const double roundTripWireMs = Milliseconds(VirtualMopho::WireTime(RoundTripBytes));
        if (handled.size() != static_cast<std::size_t>(Replies) ||
            sends.size() != static_cast<std::size_t>(Replies) ||
            arrivals.size() != static_cast<std::size_t>(Replies) ||
            takenUp.size() != static_cast<std::size_t>(Replies)) {
            std::printf("  incomplete: %zu requests sent, %zu replies arrived, %zu handled\n",
                        sends.size(), arrivals.size(), handled.size());
            return;
        }
        const double lastReplyMs = Milliseconds(handled.back() - start);
        const double returnedMs = Milliseconds(returned - start);
        std::printf("  384th reply handled after  %10.1f ms   %6.3f x the DIN wire time\n",
                    lastReplyMs, lastReplyMs / wireMs);
        std::printf("  command returned after     %10.1f ms   %6.3f x the DIN wire time\n",
                    returnedMs, returnedMs / wireMs);
        std::printf("  DIN wire time              %10.1f ms   (384 x %zu bytes x 320 us)\n", wireMs,
                    RoundTripBytes);

        // Request sent -> reply complete at the input: cable or server, and the instrument.
        std::vector<double> outside;
        // Reply complete at the input -> next request sent: the program's own
        // work, made of the wait for the GUI thread and the dispatch.
        std::vector<double> program;
        std::vector<double> queued;
        std::vector<double> dispatch;
        // Request sent -> next request sent: the whole loop.
        std::vector<double> loop;
        for (int i = 0; i < Replies; ++i) {
            const auto index = static_cast<std::size_t>(i);
            outside.push_back(Milliseconds(arrivals[index] - sends[index]));
            if (i + 1 < Replies) {
                program.push_back(Milliseconds(sends[index + 1] - arrivals[index]));
                queued.push_back(Milliseconds(takenUp[index] - arrivals[index]));
                dispatch.push_back(Milliseconds(sends[index + 1] - takenUp[index]));
                loop.push_back(Milliseconds(sends[index + 1] - sends[index]));
            }
        }
        const auto line = [](const char* what, const Spread& spread) {
            std::printf("    %-40s mean %8.3f ms  min %8.3f  max %8.3f\n", what, spread.mean,
                        spread.min, spread.max);
        };
        std::printf("  per round trip (wire time %.2f ms):\n", roundTripWireMs);
        line("request sent -> reply in", SpreadOf(outside));
        line("reply in -> next request sent", SpreadOf(program));
        line("  of which reply in -> GUI thread takes it", SpreadOf(queued));
        line("  of which dispatch -> next request sent", SpreadOf(dispatch));
        const Spread whole = SpreadOf(loop);
        line("request sent -> next request sent", whole);
        if (cycleMs)
            std::printf("    %-40s mean %8.2f     min %8.2f  max %8.2f  JACK cycles\n", "",
                        whole.mean / *cycleMs, whole.min / *cycleMs, whole.max / *cycleMs);
        std::printf("  sums: outside the program %.1f ms, in the program %.1f ms; last reply "
                    "handled -> command returned %.1f ms (the wait box's 1-second tick)\n",
                    std::accumulate(outside.begin(), outside.end(), 0.0),
                    std::accumulate(program.begin(), program.end(), 0.0),
                    Milliseconds(returned - handled.back()));
    }

    QTemporaryDir folder_;
    TimedMidiService timed_;
    std::unique_ptr<TfrmMain> window_;
};

void InProcess(bool dinTiming) {
    std::printf("\nIn-process, built-in instrument, DIN timing %s:\n", dinTiming ? "on" : "off");
    std::fflush(stdout);
    auto midi = MakeBuiltInInstrumentService(nullptr, dinTiming);
    BenchWindow window(*midi, BuiltInInstrumentService::DeviceName,
                       BuiltInInstrumentService::DeviceName);
    if (!window.Opened() || !window.WaitUntilAnswering()) {
        std::printf("  the built-in instrument does not answer\n");
        return;
    }
    window.ReadAllBanks();
}

// The name of the last listed port that contains `part`.
std::string PortContaining(MidiService& midi, const std::string& part, bool input) {
    std::string found;
    const int count = input ? midi.InputDeviceCount() : midi.OutputDeviceCount();
    for (int device = 0; device < count; ++device) {
        const std::string name =
            input ? midi.InputDeviceName(device) : midi.OutputDeviceName(device);
        if (name.find(part) != std::string::npos)
            found = name;
    }
    return found;
}

void OverJack(bool dinTiming, double cycleMs) {
    std::printf("\nOver JACK, tonewright-virtual-mopho%s, DIN timing %s:\n",
                dinTiming ? " --din" : "", dinTiming ? "on" : "off");
    std::fflush(stdout); // before the JACK library writes to stderr
    const std::string instrumentName =
        "tw-bench-mopho-" + std::to_string(getpid()) + (dinTiming ? "-din" : "");
    std::vector<std::string> arguments{"--name", instrumentName};
    if (dinTiming)
        arguments.emplace_back("--din");
    std::unique_ptr<InstrumentProcess> instrument;
    try {
        instrument = std::make_unique<InstrumentProcess>(TW_VIRTUAL_MOPHO, arguments);
    } catch (const std::exception& failure) {
        std::printf("  skipped: %s\n", failure.what());
        return;
    }
    {
        auto midi = MakeBuiltInInstrumentService(std::make_unique<RtMidiService>(
            RtMidiService::Backend::Jack, "tw-bench-app-" + std::to_string(getpid())));
        const std::string in = PortContaining(*midi, instrumentName, true);
        const std::string out = PortContaining(*midi, instrumentName, false);
        if (in.empty() || out.empty()) {
            std::printf("  the instrument's ports are not listed\n");
            return;
        }
        BenchWindow window(*midi, in, out);
        if (!window.Opened() || !window.WaitUntilAnswering()) {
            std::printf("  the instrument does not answer\n");
            return;
        }
        window.ReadAllBanks(cycleMs);
    }
    if (instrument->Stop() != 0)
        std::printf("  the instrument did not end cleanly\n");
}

// The server's period and sample rate; nothing when no server answers.
std::optional<std::pair<jack_nframes_t, jack_nframes_t>> JackPeriod() {
    jack_status_t status{};
    jack_client_t* client = jack_client_open("tw-bench-probe", JackNoStartServer, &status);
    if (!client)
        return std::nullopt;
    const auto period = std::make_pair(jack_get_buffer_size(client), jack_get_sample_rate(client));
    jack_client_close(client);
    return period;
}

QtMessageHandler standardMessages = nullptr;

void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("propagateSizeHints")))
        return;
    if (standardMessages)
        standardMessages(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

int main(int argc, char** argv) {
    // The window is drawn, as in use, but never on a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform's remark on every dialog shown is noise here.
    standardMessages = qInstallMessageHandler(&QuietMessages);
    QApplication app(argc, argv);

    std::printf("Read all banks (384 program dumps, one request at a time) through the main "
                "window's command.\n");
    InProcess(false);
    InProcess(true);

    const auto period = JackPeriod();
    if (!period) {
        std::printf("\nOver JACK: skipped, no JACK server reachable (JACK_DEFAULT_SERVER=%s)\n",
                    qEnvironmentVariableIsSet("JACK_DEFAULT_SERVER")
                        ? qgetenv("JACK_DEFAULT_SERVER").constData()
                        : "(default)");
        return 0;
    }
    const double cycleMs = 1000.0 * period->first / period->second;
    std::printf("\nJACK server: period %u frames at %u Hz = %.3f ms a cycle\n", period->first,
                period->second, cycleMs);
    OverJack(false, cycleMs);
    OverJack(true, cycleMs);
    return 0;
}
