#pragma once

#include <cstdint>
#include <span>
#include <string>

// What the fuzz targets run on one input. Each checks the properties that
// must hold for any input and returns a description of the first one that
// fails, or an empty string. The fuzz targets abort on a failure; a normal
// test replays the seed corpus through the same functions.

// Unpacks the input as a program dump and as an edit-buffer dump and packs
// the results again.
std::string FuzzUnpackBlock(std::span<const std::uint8_t> data);

// Parses the input as a bank file (every record loaded or reported), writes
// the records it found and parses that again.
std::string FuzzParseBankFile(std::span<const std::uint8_t> data);

// Reads the input as a sound family schema file, writes a schema into it and
// reads that back: every entry reads as written, and writing again changes
// nothing.
std::string FuzzParseSchema(std::span<const std::uint8_t> data);
