// The sound editor's live path, offscreen, over JACK (the server scripts/bench
// starts, 64 frames a cycle) with the editor's DIN pacing:
// - from a knob's change to its NRPN arriving at a JACK port, on an idle cable;
// - a 2-second wheel spin at 60 events a second: how many messages wait at
//   most, and when the final value arrives after the last event;
// - from an NRPN sent by the instrument's port to the knob repainted;
// and, through the main window and the built-in instrument, from "Edit Sound
// (F4)" to the editor shown.

#include "builtin_instrument_service.h"
#include "editor_host.h"
#include "frm_patch_edit.h"
#include "knob.h"
#include "main_window.h"
#include "midi_output.h"
#include "midi_ports.h"
#include "parameter_binding.h"
#include "parameter_tables.h"
#include "prompter.h"
#include "rtmidi_service.h"
#include "schema.h"
#include "virtual_mopho.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>

#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <tuple>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Notes when each NRPN value message (controller 38) leaves, by parameter.
class TimedOutput : public MidiOutput {
public:
    MidiError SendLongMessage(std::span<const std::uint8_t>) override { return MidiError::None; }
    MidiError SendShortMessage(std::uint32_t message) override {
        const int controller = (message >> 8) & 0x7F;
        const int value = (message >> 16) & 0x7F;
        if (controller == 98)
            nrpn_ = value;
        if (controller == 38 && nrpn_ >= 0)
            sent[nrpn_] = Clock::now();
        return MidiError::None;
    }
    std::map<int, Clock::time_point> sent;

private:
    int nrpn_ = -1;
};

class QuietPrompter : public Prompter {
public:
    Answer Confirm(const QString&, Buttons) override { return Answer::No; }
    void ShowMessage(const QString&) override {}
};

class BenchHost : public EditorHost {
public:
    int KeyboardOctave() const override { return 4; }
    void SetKeyboardOctave(int) override {}
    bool KeyboardOn() const override { return false; }
    void SetKeyboardOn(bool) override {}
    std::optional<int> ChooseLocation(int) override { return std::nullopt; }
    void StoreSentSound(int, const TSoundRecord&) override {}
    void ShowInMessagePanel(const std::string& line) override {
        std::printf("message panel: %s\n", line.c_str());
    }
    void RequestEditBuffer() override {}
};

// What an editor shown alone works with.
struct Surroundings {
    TimedOutput output;
    QuietPrompter prompter;
    BenchHost host;
    int lastSendLocation = 0;
    QTemporaryDir programFolder; // no schema files
    SchemaTolerances tolerances;

    EditorContext Context() {
        return {output,    prompter, host, lastSendLocation, programFolder.path().toStdString(),
                tolerances};
    }
};

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1));
    return values[index];
}

// Knobs with an NRPN of their own (the pulse-width knobs share the shape's).
std::vector<int> PlainKnobRows() {
    std::vector<int> rows;
    for (int row = 0; row < BoundControlCount; ++row) {
        const ParameterBinding& b = ParameterBindings[static_cast<std::size_t>(row)];
        if (b.kind == ControlKind::Knob && !IsPulseWidthKnob(b))
            rows.push_back(row);
    }
    return rows;
}

// A JACK port of the bench's own: it notes when each NRPN value (controller
// 38) arrives, by NRPN number, and plays NRPNs as the instrument's panel.
class JackInstrument {
public:
    static constexpr const char* Name = "tw-bench-editor-instrument";

    JackInstrument() : in_(RtMidi::UNIX_JACK, Name), out_(RtMidi::UNIX_JACK, Name) {
        in_.setCallback(&JackInstrument::Arrived, this);
        in_.openVirtualPort(Name);
        out_.openVirtualPort(Name);
    }

    // The arrival of NRPN `number` = `value` after `since`, or nothing.
    std::optional<Clock::time_point> ArrivalOf(int number, int value, Clock::time_point since) {
        std::lock_guard lock(mutex_);
        for (const auto& [n, v, at] : arrivals_)
            if (n == number && v == value && at >= since)
                return at;
        return std::nullopt;
    }
    void Forget() {
        std::lock_guard lock(mutex_);
        arrivals_.clear();
    }
    std::size_t Count() {
        std::lock_guard lock(mutex_);
        return arrivals_.size();
    }
    void PlayNrpn(int number, int value) {
        for (const auto& [controller, part] :
             {std::pair{99, number >> 7}, std::pair{98, number & 0x7F}, std::pair{6, value >> 7},
              std::pair{38, value & 0x7F}}) {
            std::vector<unsigned char> message = {0xB0, static_cast<unsigned char>(controller),
                                                  static_cast<unsigned char>(part)};
            out_.sendMessage(&message);
        }
    }

private:
    static void Arrived(double, std::vector<unsigned char>* message, void* self) {
        auto& me = *static_cast<JackInstrument*>(self);
        if (!message || message->size() != 3 || (*message)[0] != 0xB0)
            return;
        const int controller = (*message)[1];
        const int value = (*message)[2];
        if (controller == 99)
            me.msb_ = value;
        else if (controller == 98)
            me.lsb_ = value;
        else if (controller == 6)
            me.valueMsb_ = value;
        else if (controller == 38) {
            std::lock_guard lock(me.mutex_);
            me.arrivals_.push_back(
                {me.msb_ << 7 | me.lsb_, me.valueMsb_ << 7 | value, Clock::now()});
        }
    }

    RtMidiIn in_;
    RtMidiOut out_;
    int msb_ = 0, lsb_ = 0, valueMsb_ = 0; // the MIDI thread's only
    std::mutex mutex_;
    std::vector<std::tuple<int, int, Clock::time_point>> arrivals_;
};

void Wait(int ms) {
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 1);
}

// The editor on JACK ports that reach the bench's instrument port.
struct JackEditor {
    RtMidiService service{RtMidiService::Backend::Jack, "tw-bench-editor-app"};
    MidiPorts ports{service, {}};
    QuietPrompter prompter;
    BenchHost host;
    int lastSendLocation = 0;
    QTemporaryDir programFolder;
    SchemaTolerances tolerances;
    std::unique_ptr<TfrmPatchEdit> editor;

    bool Open() {
        ports.EnumerateMidiDevices();
        for (const auto& device : ports.MidiOutDevices)
            if (device.Name.find(JackInstrument::Name) != std::string::npos)
                ports.MidiOutDeviceName = device.Name;
        for (const auto& device : ports.MidiInDevices)
            if (device.Name.find(JackInstrument::Name) != std::string::npos)
                ports.MidiInDeviceName = device.Name;
        if (ports.MidiOutDeviceName.empty() || ports.MidiInDeviceName.empty())
            return false;
        ports.ResolveMidiDevices();
        if (!ports.OpenMidiOut())
            return false;
        ports.OnInstrumentMessage = [this](std::uint32_t message) {
            QMetaObject::invokeMethod(
                editor.get(), [this, message] { editor->InstrumentMessage(message); },
                Qt::QueuedConnection);
        };
        ports.OpenMidiIns();
        editor = std::make_unique<TfrmPatchEdit>(
            EditorContext{ports, prompter, host, lastSendLocation,
                          programFolder.path().toStdString(), tolerances},
            VirtualMopho::FactorySound(3));
        editor->show();
        Wait(300); // JACK connects within a cycle or two
        return true;
    }
    TKnob* Knob(int row) {
        return static_cast<TKnob*>(editor->Panel().controls[static_cast<std::size_t>(row)]);
    }
};

std::optional<Clock::time_point> WaitForArrival(JackInstrument& instrument, int number, int value,
                                                Clock::time_point since, int ms) {
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < ms) {
        if (const auto at = instrument.ArrivalOf(number, value, since))
            return at;
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return std::nullopt;
}

void KnobToJack(JackInstrument& instrument, JackEditor& jack) {
    const std::vector<int> knobs = PlainKnobRows();
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pause(20, 60); // the cable idle in between
    std::vector<double> latencies;
    int lost = 0;
    for (int i = 0; i < 300; ++i) {
        const int row = knobs[static_cast<std::size_t>(i) % knobs.size()];
        TKnob* knob = jack.Knob(row);
        const int next =
            knob->Position() < knob->Max() ? knob->Position() + 1 : knob->Position() - 1;
        const int number =
            ParameterFacts(ParameterBindings[static_cast<std::size_t>(row)].parameter).nrpn;
        const int byte = ByteForValue(ParameterBindings[static_cast<std::size_t>(row)], next);
        const auto start = Clock::now();
        knob->MoveByUser(next); // as a key or drag step does
        if (const auto at = WaitForArrival(instrument, number, byte, start, 500))
            latencies.push_back(std::chrono::duration<double, std::milli>(*at - start).count());
        else
            ++lost;
        Wait(pause(random));
    }
    std::printf("knob change -> NRPN at a JACK port, idle DIN-paced cable (%zu changes, %d lost): "
                "median %.2f ms, p99 %.2f ms, worst %.2f ms (goal p99 <= 15 ms)\n",
                latencies.size(), lost, Percentile(latencies, 0.5), Percentile(latencies, 0.99),
                Percentile(latencies, 1.0));
}

void WheelSpin(JackInstrument& instrument, JackEditor& jack) {
    const int row = BindingIndex("KnobFilterFrequency");
    TKnob* knob = jack.Knob(row);
    knob->MoveByUser(0);
    Wait(50);
    QEnterEvent enter({5, 5}, {5, 5}, knob->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(knob, &enter);
    instrument.Forget();
    std::size_t mostWaiting = 0;
    const auto start = Clock::now();
    Clock::time_point last;
    constexpr int Events = 120; // 2 s at 60 a second
    for (int i = 0; i < Events; ++i) {
        const auto due = start + std::chrono::microseconds(i * 1'000'000 / 60);
        while (Clock::now() < due)
            QApplication::processEvents(QEventLoop::AllEvents, 1);
        QWheelEvent wheel({5, 5}, knob->mapToGlobal(QPointF(5, 5)), {}, {0, 120}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(knob, &wheel);
        last = Clock::now();
        mostWaiting = std::max(mostWaiting, jack.editor->WaitingMessages());
    }
    const int finalValue = knob->Position();
    const auto at = WaitForArrival(instrument, 15, finalValue, last, 1000);
    Wait(100);
    std::printf("2 s wheel spin, %d events (filter frequency 0 -> %d): %zu messages arrived, at "
                "most %zu waiting; final value %s %.2f ms after the last event (goal: one "
                "waiting a parameter, final within 15 ms)\n",
                Events, finalValue, instrument.Count(), mostWaiting,
                at ? "arrived" : "never arrived",
                at ? std::chrono::duration<double, std::milli>(*at - last).count() : -1.0);
}

void InstrumentToRepaint(JackInstrument& instrument, JackEditor& jack) {
    const int row = BindingIndex("KnobFilterResonance");
    TKnob* knob = jack.Knob(row);
    struct PaintWatch : QObject {
        int target = -1;
        Clock::time_point painted;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint &&
                static_cast<TKnob*>(watched)->Position() == target)
                painted = Clock::now();
            return false;
        }
    } watch;
    knob->installEventFilter(&watch);
    std::vector<double> latencies;
    int lost = 0;
    for (int i = 0; i < 300; ++i) {
        const int value = (i * 37) % 128;
        if (value == knob->Position())
            continue;
        watch.target = value;
        watch.painted = {};
        const auto start = Clock::now();
        instrument.PlayNrpn(16, value);
        QElapsedTimer wait;
        wait.start();
        while (watch.painted == Clock::time_point{} && wait.elapsed() < 500)
            QApplication::processEvents(QEventLoop::AllEvents, 1);
        if (watch.painted == Clock::time_point{})
            ++lost;
        else
            latencies.push_back(
                std::chrono::duration<double, std::milli>(watch.painted - start).count());
        Wait(1200); // past the echo time: each is a new change
    }
    knob->removeEventFilter(&watch);
    std::printf("NRPN from the instrument's port -> knob repainted (%zu, %d lost): median %.2f ms, "
                "p99 %.2f ms, worst %.2f ms (goal p99 <= 20 ms)\n",
                latencies.size(), lost, Percentile(latencies, 0.5), Percentile(latencies, 0.99),
                Percentile(latencies, 1.0));
}

void OverJack() {
    if (qEnvironmentVariableIsEmpty("JACK_DEFAULT_SERVER")) {
        std::printf("no JACK server: the editor's over-JACK figures are skipped\n");
        return;
    }
    try {
        JackInstrument instrument;
        JackEditor jack;
        if (!jack.Open()) {
            std::printf("the bench's JACK ports are not listed: skipped\n");
            return;
        }
        KnobToJack(instrument, jack);
        WheelSpin(instrument, jack);
        InstrumentToRepaint(instrument, jack);
    } catch (const RtMidiError& error) {
        std::printf("JACK: %s\n", error.getMessage().c_str());
    }
}

void EditSoundToEditorShown() {
    QTemporaryDir settings; // no settings of the user's own
    qputenv("TONEWRIGHT_PROGRAM_FOLDER", settings.path().toLocal8Bit());
    QuietPrompter prompter;
    TfrmMain window(&prompter);
    window.show();
    std::vector<double> toShown;
    std::vector<double> construction;
    for (int i = 0; i < 20; ++i) {
        const auto start = Clock::now();
        bool shown = false;
        QTimer watch;
        watch.setInterval(0);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* editor = qobject_cast<TfrmPatchEdit*>(QApplication::activeModalWidget());
            if (!editor || shown)
                return;
            shown = true;
            toShown.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            QTimer::singleShot(0, editor, [editor] { editor->done(QDialog::Rejected); });
        });
        watch.start();
        window.findChild<QAction*>(QStringLiteral("EditEditBuffer1"))->trigger();
        QElapsedTimer wait;
        wait.start();
        while (!shown && wait.elapsed() < 3000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        QApplication::processEvents();
    }
    for (int i = 0; i < 20; ++i) {
        Surroundings around;
        const auto start = Clock::now();
        TfrmPatchEdit editor(around.Context(), VirtualMopho::FactorySound(i));
        editor.show();
        QApplication::processEvents();
        construction.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::printf("Edit Sound -> editor shown (request, built-in instrument's reply, editor): "
                "median %.1f ms, worst %.1f ms (goal: reply -> shown under 150 ms)\n",
                Percentile(toShown, 0.5), Percentile(toShown, 1.0));
    std::printf("editor built, loaded and shown: median %.1f ms, worst %.1f ms\n",
                Percentile(construction, 0.5), Percentile(construction, 1.0));
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    OverJack();
    EditSoundToEditorShown();
    return 0;
}
