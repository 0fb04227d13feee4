// Loads and saves the largest schema file the editor accepts (1 MiB) in the
// shapes that cost most: one line break after another, and one huge line;
// a 64 MiB file shows what refusing costs. Prints the median time and the
// highest heap use above the file's own size during one call.
#include "schema.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include <malloc.h>
#include <unistd.h>

namespace {

std::size_t heapNow = 0;
std::size_t heapPeak = 0;

} // namespace

// Every allocation is counted, so the figures are the program's own bytes.
void* operator new(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    heapNow += malloc_usable_size(block);
    heapPeak = std::max(heapPeak, heapNow);
    return block;
}
void operator delete(void* block) noexcept {
    if (block)
        heapNow -= malloc_usable_size(block);
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    operator delete(block);
}

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

struct Figures {
    double medianMs = 0;
    std::size_t peakBytes = 0;
};

Figures Measure(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    Figures figures;
    for (int i = 0; i < runs; ++i) {
        const std::size_t before = heapNow;
        heapPeak = heapNow;
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        figures.peakBytes = std::max(figures.peakBytes, heapPeak - before);
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    figures.medianMs = times[static_cast<std::size_t>(runs / 2)];
    return figures;
}

void Print(const std::string& what, const Figures& figures) {
    std::printf("%-52s median %8.2f ms, heap peak %7.2f MiB\n", what.c_str(), figures.medianMs,
                static_cast<double>(figures.peakBytes) / (1 << 20));
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace

int main() {
    const fs::path folder =
        fs::temp_directory_path() / ("tw_bench_schema_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string header = "[Parameters]\ncmbOsc1Shape=01110\n";
    const std::string lineBreaks = header + std::string(MaxSchemaFileSize - header.size(), '\n');
    const std::string oneLine =
        header + "x=" + std::string(MaxSchemaFileSize - header.size() - 2, '1');
    const SchemaList list = AnyValueSchema();
    std::size_t sink = 0;

    constexpr int Runs = 11;
    for (const auto& [name, text] : {std::pair{"breaks", lineBreaks}, std::pair{"line", oneLine}}) {
        const std::string what =
            name == std::string("breaks") ? "1 MiB of line breaks" : "one line of 1 MiB";
        WriteFile(folder / (std::string(name) + ".sndfamily"), text);
        Print("load " + what,
              Measure(Runs, [&] { sink += LoadSchema(folder.string(), name).list.size(); }));
        Print("save over " + what, Measure(Runs, [&] {
                  WriteFile(folder / (std::string(name) + ".sndfamily"), text);
                  sink += SaveSchema(folder.string(), name, list).size();
              }));
    }
    WriteFile(folder / "huge.sndfamily", std::string(64u << 20, '\n'));
    Print("refuse a 64 MiB file (load)",
          Measure(Runs, [&] { sink += LoadSchema(folder.string(), "huge").error.size(); }));
    Print("refuse a 64 MiB file (save)",
          Measure(Runs, [&] { sink += SaveSchema(folder.string(), "huge", list).size(); }));
    fs::remove_all(folder);
    return sink == 0 ? 1 : 0;
}
