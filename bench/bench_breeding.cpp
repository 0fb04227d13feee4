// Sound breeding:
// - the CPU time of one generation of 16 children of four parents, with the
//   "(any value)" schema and with a schema derived from a sound;
// - from a child's key in the Sound Breeder (offscreen) to its edit-buffer
//   dump fully arrived at the instrument over a modelled DIN cable (31,250
//   baud), for a single key and for keys pressed faster than the cable.

#include "breeding.h"
#include "frm_breeder.h"
#include "midi_output.h"
#include "random_generator.h"
#include "schema.h"
#include "sound_library.h"
#include "sysex_messages.h"
#include "virtual_mopho.h"

#include <QApplication>
#include <QTest>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ThreadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

ControlValues ValuesOf(const TSoundRecord& sound) {
    ControlValues values{};
    for (std::size_t row = 0; row < ParameterBindings.size(); ++row) {
        const ParameterBinding& binding = ParameterBindings[row];
        values[row] = ValueForByte(binding, sound[SoundLayout::ParameterByte(binding.parameter)])
                          .value_or(binding.min);
    }
    return values;
}

void GenerationTime() {
    const TSoundRecord parents[] = {VirtualMopho::FactorySound(3), VirtualMopho::FactorySound(40),
                                    VirtualMopho::FactorySound(130),
                                    VirtualMopho::FactorySound(300)};
    const SchemaList any = AnyValueSchema();
    const SchemaList derived = DeriveSchemaFromSound(ValuesOf(parents[0]), SchemaTolerances{});
    for (const auto& [name, schema] :
         {std::pair{"(any value)", &any}, std::pair{"derived", &derived}}) {
        for (const int mutation : {10, 50, 100}) {
            std::vector<double> times;
            for (std::uint32_t seed = 0; seed < 500; ++seed) {
                const double start = ThreadCpuMicroseconds();
                const BredChildren bred =
                    Breed(parents, *schema, {MaxChildCount, mutation, {}, seed});
                times.push_back((ThreadCpuMicroseconds() - start) / 1000.0);
                if (bred.children.size() != static_cast<std::size_t>(MaxChildCount))
                    std::printf("breeding failed: %s\n", bred.problem.c_str());
            }
            std::printf("generation of 16 children, schema %s, mutation %3d: median %.3f ms, "
                        "p99 %.3f ms, max %.3f ms (500 generations)\n",
                        name, mutation, Percentile(times, 0.5), Percentile(times, 0.99),
                        *std::max_element(times.begin(), times.end()));
        }
    }
}

// A DIN cable behind the output: a message starts when the cable is free and
// arrives when its last byte has crossed, 320 us a byte.
class DinCable : public MidiOutput {
public:
    void SendLongMessage(std::span<const std::uint8_t> bytes) override {
        const Clock::time_point start = std::max(Clock::now(), free_);
        free_ = start + std::chrono::microseconds(320 * static_cast<long long>(bytes.size()));
        arrivals.push_back({std::vector<std::uint8_t>(bytes.begin(), bytes.end()), free_});
    }
    void SendShortMessage(std::uint32_t) override {}

    struct Arrival {
        std::vector<std::uint8_t> bytes;
        Clock::time_point at;
    };
    std::vector<Arrival> arrivals;

private:
    Clock::time_point free_{};
};

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void KeyToHeard() {
    TSoundLibrary library;
    library.InitEmptyBanks();
    library.StoreSound(0, VirtualMopho::FactorySound(10));
    library.StoreSound(1, VirtualMopho::FactorySound(200));
    DinCable cable;
    BreedingHistory history;
    LockedGroups locked{};
    TfrmBreeder breeder(
        BreederContext{library, cable, history, locked, {}, 0, {}, {}, {}, {}, {}, {}});
    breeder.show();
    breeder.activateWindow();
    if (!QTest::qWaitForWindowActive(&breeder))
        std::printf("the breeder did not become active\n");
    breeder.btnAddParentClick();
    breeder.btnBreedClick();
    const auto heardAt = [&](int child) -> std::optional<Clock::time_point> {
        const auto dump = EditBufferDumpMessage(breeder.Shown()->children[child].sound);
        for (auto a = cable.arrivals.rbegin(); a != cable.arrivals.rend(); ++a)
            if (a->bytes == dump)
                return a->at;
        return std::nullopt;
    };
    const double wire = Ms(std::chrono::microseconds(320 * EditBufferDumpMessage({}).size()));

    // One key at a time, the cable free.
    std::vector<double> single;
    for (int i = 0; i < 40; ++i) {
        QTest::qWait(110);
        const int child = i % 8;
        const Clock::time_point key = Clock::now();
        QTest::keyClick(&breeder, static_cast<Qt::Key>(Qt::Key_1 + child));
        if (const auto at = heardAt(child))
            single.push_back(Ms(*at - key));
    }
    std::printf("one child's key to its dump arrived on a DIN cable: median %.1f ms, max %.1f ms "
                "(one edit-buffer dump's wire time: %.1f ms; %zu keys)\n",
                Percentile(single, 0.5), *std::max_element(single.begin(), single.end()), wire,
                single.size());

    // Keys every 30 ms, faster than the cable: the last key's child.
    std::vector<double> burst;
    std::size_t dumpsSent = 0;
    for (int round = 0; round < 10; ++round) {
        QTest::qWait(250);
        const std::size_t before = cable.arrivals.size();
        Clock::time_point lastKey;
        int lastChild = 0;
        for (int k = 0; k < 6; ++k) {
            lastChild = (round + k) % 8;
            lastKey = Clock::now();
            QTest::keyClick(&breeder, static_cast<Qt::Key>(Qt::Key_1 + lastChild));
            QTest::qWait(30);
        }
        QTest::qWait(250);
        dumpsSent += cable.arrivals.size() - before;
        if (const auto at = heardAt(lastChild))
            burst.push_back(Ms(*at - lastKey));
    }
    std::printf("six keys 30 ms apart: the last key's child arrived after median %.1f ms, max "
                "%.1f ms; %.1f dumps went out for six keys\n",
                Percentile(burst, 0.5), *std::max_element(burst.begin(), burst.end()),
                static_cast<double>(dumpsSent) / 10.0);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    GenerationTime();
    KeyToHeard();
    return 0;
}
