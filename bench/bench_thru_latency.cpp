// Controller thru while a whole bank (115,200 bytes) goes out over JACK:
// how late each note arrives, in server frames and cycles, and whether any
// is lost. One JACK client of the bench plays a note every 10 ms on a
// "keys" port (the program's controller input) and listens on a "sink" port
// (the program's output, standing in for the instrument).

#include "midi_ports.h"
#include "rtmidi_service.h"

#include <jack/jack.h>
#include <jack/midiport.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t MaxNotes = 4096;
constexpr std::size_t BankBytes = 384 * 300;

struct Bench {
    jack_client_t* client = nullptr;
    jack_port_t* keys = nullptr;
    jack_port_t* replies = nullptr;
    jack_port_t* sink = nullptr;
    std::atomic<bool> playing{false};
    jack_nframes_t notePeriod = 480; // 10 ms at 48 kHz
    jack_nframes_t sinceNote = 0;
    std::array<std::atomic<std::uint64_t>, MaxNotes> playedAt{};
    std::array<std::atomic<std::uint64_t>, MaxNotes> arrivedAt{};
    std::atomic<std::size_t> played{0};
    std::atomic<std::size_t> sysExBytes{0};
    std::atomic<int> xruns{0};

    static int Process(jack_nframes_t frames, void* self) {
        static_cast<Bench*>(self)->Cycle(frames);
        return 0;
    }
    static int Xrun(void* self) {
        ++static_cast<Bench*>(self)->xruns;
        return 0;
    }

    void Cycle(jack_nframes_t frames) {
        const jack_nframes_t start = jack_last_frame_time(client);
        void* out = jack_port_get_buffer(keys, frames);
        jack_midi_clear_buffer(out);
        jack_midi_clear_buffer(jack_port_get_buffer(replies, frames));
        sinceNote += frames;
        if (playing && sinceNote >= notePeriod && played < MaxNotes) {
            sinceNote = 0;
            const std::size_t id = played;
            const jack_midi_data_t note[3] = {0x90, static_cast<jack_midi_data_t>(id % 128),
                                              static_cast<jack_midi_data_t>(1 + id / 128)};
            if (jack_midi_event_write(out, 0, note, 3) == 0) {
                playedAt[id] = start;
                played = id + 1;
            }
        }
        void* in = jack_port_get_buffer(sink, frames);
        for (jack_nframes_t i = 0, n = jack_midi_get_event_count(in); i < n; ++i) {
            jack_midi_event_t event;
            if (jack_midi_event_get(&event, in, i) != 0)
                continue;
            if (event.size == 3 && event.buffer[0] == 0x90) {
                const std::size_t id = event.buffer[1] + 128u * (event.buffer[2] - 1u);
                if (id < MaxNotes && arrivedAt[id] == 0)
                    arrivedAt[id] = std::uint64_t{start} + event.time + 1; // 0: not arrived
            } else {
                sysExBytes += event.size;
            }
        }
    }
};

std::string PortNamed(const std::vector<TMidiDeviceList>& devices, const std::string& name) {
    for (const auto& device : devices)
        if (device.Name == name)
            return device.Name;
    return {};
}

} // namespace

int main() {
    Bench bench;
    jack_status_t status{};
    bench.client = jack_client_open("tw-bench-thru", JackNoStartServer, &status);
    if (!bench.client) {
        std::printf("Thru during a long send over JACK: skipped, no JACK server reachable\n");
        return 0;
    }
    const jack_nframes_t period = jack_get_buffer_size(bench.client);
    const jack_nframes_t rate = jack_get_sample_rate(bench.client);
    bench.notePeriod = rate / 100;
    bench.keys =
        jack_port_register(bench.client, "keys", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    bench.replies =
        jack_port_register(bench.client, "replies", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    bench.sink =
        jack_port_register(bench.client, "sink", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(bench.client, &Bench::Process, &bench);
    jack_set_xrun_callback(bench.client, &Bench::Xrun, &bench);
    jack_activate(bench.client);
    const std::string client = jack_get_client_name(bench.client);

    RtMidiService service(RtMidiService::Backend::Jack, "tw-bench-app");
    MidiPorts ports(service, {});
    ports.EnumerateMidiDevices();
    ports.MidiOutDeviceName = PortNamed(ports.MidiOutDevices, client + ":sink");
    ports.MidiInDeviceName = PortNamed(ports.MidiInDevices, client + ":replies");
    ports.ControllerInDeviceName = PortNamed(ports.MidiInDevices, client + ":keys");
    ports.ResolveMidiDevices();
    if (!ports.OpenMidiOut()) {
        std::printf("Thru during a long send over JACK: the output does not open\n");
        return 1;
    }
    ports.OpenMidiIns();
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // connections settle

    std::vector<std::uint8_t> bank(BankBytes);
    for (std::size_t record = 0; record < 384; ++record) {
        std::uint8_t* dump = bank.data() + record * 300;
        std::fill(dump, dump + 300, 0x11);
        dump[0] = 0xF0;
        dump[1] = 0x7D;
        dump[299] = 0xF7;
    }
    bench.playing = true;
    const auto begin = std::chrono::steady_clock::now();
    ports.SendLongMessage(bank);
    const auto handedOver = std::chrono::steady_clock::now();
    bench.playing = false;
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // the last notes arrive
    jack_deactivate(bench.client);

    const std::size_t played = bench.played;
    std::size_t arrived = 0;
    std::uint64_t worst = 0;
    std::uint64_t total = 0;
    for (std::size_t id = 0; id < played; ++id) {
        if (bench.arrivedAt[id] == 0)
            continue;
        ++arrived;
        const std::uint64_t late = bench.arrivedAt[id] - 1 - bench.playedAt[id];
        worst = std::max(worst, late);
        total += late;
    }
    const double cycleMs = 1000.0 * period / rate;
    std::printf("Thru during a long send over JACK (period %u frames = %.3f ms):\n", period,
                cycleMs);
    std::printf("  bank of %zu bytes handed over in %.0f ms; %zu SysEx bytes arrived\n", BankBytes,
                std::chrono::duration<double, std::milli>(handedOver - begin).count(),
                bench.sysExBytes.load());
    std::printf("  notes played every 10 ms: %zu, arrived: %zu, lost: %zu\n", played, arrived,
                played - arrived);
    if (arrived > 0)
        std::printf("  latency: mean %.2f cycles, worst %.2f cycles (%.2f ms)\n",
                    static_cast<double>(total) / arrived / period,
                    static_cast<double>(worst) / period, worst * 1000.0 / rate);
    std::printf("  xruns seen by the bench's client: %d\n", bench.xruns.load());
    jack_client_close(bench.client);
    return 0;
}
