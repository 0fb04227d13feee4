#include "builtin_instrument_service.h"
#include "rtmidi_service.h"
#include "syx_tool.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The same ports as the program's port dialog lists, built-in instrument last.
    const auto midi = [] {
        return MakeBuiltInInstrumentService(
            std::make_unique<RtMidiService>(RtMidiService::Backend::Automatic, "tonewright-syx"));
    };
    return RunSyxTool(args, std::cout, std::cerr, midi);
}
