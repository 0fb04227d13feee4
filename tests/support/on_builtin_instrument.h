#pragma once

#include "app/scripted_dialogs.h"
#include "builtin_instrument_service.h"
#include "virtual_mopho.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

// The built-in instrument and scripted questions and file dialogs: where the
// tests of commands that talk to the instrument start.
struct OnBuiltInInstrument {
    OnBuiltInInstrument()
        : midi(
              nullptr,
              [instrument = instrument](std::span<const std::uint8_t> message) {
                  return instrument->Receive(message);
              },
              PanelOf(instrument)) {}

    // What the instrument received since the last call, one hex line each.
    std::vector<std::string> Received() {
        midi.WaitUntilIdle();
        const auto& log = instrument->Log();
        std::vector<std::string> lines(log.begin() + static_cast<std::ptrdiff_t>(seen), log.end());
        seen = log.size();
        return lines;
    }

    std::shared_ptr<VirtualMopho> instrument = std::make_shared<VirtualMopho>();
    BuiltInInstrumentService midi;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    std::size_t seen = 0;
};
