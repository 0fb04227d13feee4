#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <span>
#include <string>

class MidiService;

// The bank tool `tonewright-syx`: lists, checks, extracts from and merges
// .syx bank files.

namespace SyxExit {
constexpr int Success = 0;
constexpr int Problems = 1; // the files were read but hold records that could not be used
constexpr int Failure = 2;  // usage errors and files that cannot be read or written
} // namespace SyxExit

// Gives the MIDI service for the commands that talk to an instrument; it is
// only called by those, so file commands never touch the MIDI system.
using MidiServiceFactory = std::function<std::unique_ptr<MidiService>()>;

// Runs one command; `args` are the words after the program's name.
// Output goes to `out`, messages and problems to `err`.
int RunSyxTool(std::span<const std::string> args, std::ostream& out, std::ostream& err,
               const MidiServiceFactory& midi = {});
