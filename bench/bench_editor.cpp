// The sound editor's live path, offscreen against a recording output:
// - from a knob's change to its NRPN leaving the output, over a thousand
//   changes at random moments with the editor's real 250 ms tick;
// - the CPU time of one read-back of all 175 controls;
// - from "Edit Sound (F4)" to the editor shown, through the main window and
//   the built-in instrument.

#include "builtin_instrument_service.h"
#include "editor_host.h"
#include "frm_patch_edit.h"
#include "knob.h"
#include "main_window.h"
#include "midi_output.h"
#include "parameter_binding.h"
#include "parameter_tables.h"
#include "prompter.h"
#include "schema.h"
#include "virtual_mopho.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
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

double ThreadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// Knobs with an NRPN of their own (the pulse-width knobs share the shape's).
std::vector<int> PlainKnobRows() {
    std::vector<int> rows;
    for (int row = 0; row < BoundControlCount; ++row) {
        const ParameterBinding& b = ParameterBindings[static_cast<std::size_t>(row)];
        if (b.kind == ControlKind::Knob && b.parameter != 2 && b.parameter != 8)
            rows.push_back(row);
    }
    return rows;
}

void ChangeToNrpnLatency() {
    Surroundings around;
    TimedOutput& output = around.output;
    TfrmPatchEdit editor(around.Context(), VirtualMopho::FactorySound(3));
    editor.show();
    QApplication::processEvents();

    const std::vector<int> knobs = PlainKnobRows();
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pause(5, 60);
    constexpr int Changes = 1000;
    struct Change {
        int nrpn;
        Clock::time_point at;
    };
    std::vector<Change> changes;
    std::vector<double> latencies;
    // Each change whose NRPN has left since it was made: its latency.
    const auto collectSent = [&] {
        std::erase_if(changes, [&](const Change& change) {
            const auto sent = output.sent.find(change.nrpn);
            if (sent == output.sent.end() || sent->second < change.at)
                return false;
            latencies.push_back(
                std::chrono::duration<double, std::milli>(sent->second - change.at).count());
            return true;
        });
    };
    for (int i = 0; i < Changes; ++i) {
        // Each change on another knob, so every change is sent on its own.
        const ParameterBinding& b =
            ParameterBindings[static_cast<std::size_t>(knobs[i % knobs.size()])];
        auto* knob = static_cast<TKnob*>(
            editor.Panel().controls[static_cast<std::size_t>(knobs[i % knobs.size()])]);
        const int next = knob->Position() < knob->Max() ? knob->Position() + 1 : knob->Min();
        output.sent.erase(NrpnNumbers[static_cast<std::size_t>(b.parameter)]);
        knob->SetPosition(next);
        changes.push_back({NrpnNumbers[static_cast<std::size_t>(b.parameter)], Clock::now()});
        QElapsedTimer wait;
        wait.start();
        const int ms = pause(random);
        while (wait.elapsed() < ms)
            QApplication::processEvents(QEventLoop::AllEvents, 1);
        collectSent();
    }
    QElapsedTimer drain;
    drain.start();
    while (!changes.empty() && drain.elapsed() < 1000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        collectSent();
    }
    std::printf("knob change -> NRPN out (%zu changes, %zu never sent): median %.1f ms, "
                "p99 %.1f ms, worst %.1f ms (goal p99 <= 260 ms)\n",
                latencies.size(), changes.size(), Percentile(latencies, 0.5),
                Percentile(latencies, 0.99), Percentile(latencies, 1.0));
}

void ReadBackCpuTime() {
    Surroundings around;
    TfrmPatchEdit editor(around.Context(), VirtualMopho::FactorySound(5));
    editor.show();
    QApplication::processEvents();
    auto* knob = editor.findChild<TKnob*>(QStringLiteral("KnobFilterResonance"));
    constexpr int Rounds = 2000;
    std::vector<double> times;
    for (int i = 0; i < Rounds; ++i) {
        knob->SetPosition(i % 2 == 0 ? 10 : 11); // a change, so the tick reads back
        const double start = ThreadCpuMicroseconds();
        editor.Timer1Timer();
        times.push_back(ThreadCpuMicroseconds() - start);
    }
    std::printf("one read-back of all 175 controls and the name: median %.1f us, p99 %.1f us "
                "CPU (goal under 1 ms)\n",
                Percentile(times, 0.5), Percentile(times, 0.99));
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
    ReadBackCpuTime();
    EditSoundToEditorShown();
    ChangeToNrpnLatency();
    return 0;
}
