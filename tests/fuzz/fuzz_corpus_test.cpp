#include "fuzz_entries.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// Every file the fuzz targets were seeded with, or that once made one fail,
// keeps passing.
void ReplayCorpus(const char* target, std::string (*entry)(std::span<const std::uint8_t>)) {
    const std::filesystem::path folder = std::filesystem::path(TONEWRIGHT_FUZZ_CORPUS) / target;
    int replayed = 0;
    for (const auto& file : std::filesystem::directory_iterator(folder)) {
        std::ifstream stream(file.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(stream), {}};
        EXPECT_EQ(entry(bytes), "") << file.path();
        ++replayed;
    }
    EXPECT_GT(replayed, 0) << "no corpus in " << folder;
}

TEST(FuzzCorpus, UnpackBlock) {
    ReplayCorpus("unpack_block", FuzzUnpackBlock);
}

TEST(FuzzCorpus, ParseBankFile) {
    ReplayCorpus("parse_bank_file", FuzzParseBankFile);
}

TEST(FuzzCorpus, ParseSchema) {
    ReplayCorpus("parse_schema", FuzzParseSchema);
}

} // namespace
