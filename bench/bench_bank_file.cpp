// Times parsing and building a 384-record bank file, and a round trip
// through a real file written as the tools write it (a temporary file, then a rename). Prints the
// median of many runs.
#include "bank_file.h"
#include "file_io.h"

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::array<TSoundRecord, Slots::Count> FullBanks() {
    std::array<TSoundRecord, Slots::Count> banks;
    for (int slot = 0; slot < Slots::Count; ++slot) {
        auto& record = banks[static_cast<std::size_t>(slot)];
        for (int p = 0; p < SoundLayout::SentParameterCount; ++p)
            record[SoundLayout::ParameterByte(p)] = static_cast<std::uint8_t>(slot * 31 + p * 7);
        SetSoundName(record, "Sound " + std::to_string(slot));
    }
    return banks;
}

// The median time of one call, in microseconds.
double MedianMicroseconds(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[static_cast<std::size_t>(runs / 2)];
}

void Print(const char* what, int runs, double microseconds) {
    std::printf("%-42s median %9.1f us over %d runs\n", what, microseconds, runs);
}

} // namespace

int main() {
    const auto banks = FullBanks();
    const std::vector<std::uint8_t> file = BankFileBytes(banks);
    std::size_t sink = 0; // keeps the work from being optimized away

    constexpr int Runs = 501;
    Print("save: build 384 records (115200 bytes)", Runs,
          MedianMicroseconds(Runs, [&] { sink += BankFileBytes(banks).size(); }));
    Print("load: parse 384 records", Runs, MedianMicroseconds(Runs, [&] {
              sink += ParseBankFile(file, "bench.syx").records.size();
          }));

    QTemporaryDir folder;
    const std::string path = folder.filePath("bench.syx").toStdString();
    constexpr int FileRuns = 101;
    Print("save to disk, safe replace", FileRuns, MedianMicroseconds(FileRuns, [&] {
              sink += WriteWholeFile(path, BankFileBytes(banks)) ? 0 : 1;
          }));
    Print("load from disk and parse", FileRuns, MedianMicroseconds(FileRuns, [&] {
              sink += ParseBankFile(ReadWholeFile(path).bytes, path).records.size();
          }));
    std::printf("(checksum %zu)\n", sink);
    return 0;
}
