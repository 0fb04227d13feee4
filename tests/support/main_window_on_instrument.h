#pragma once

#include "app/scripted_dialogs.h"
#include "builtin_instrument_service.h"
#include "main_window.h"
#include "virtual_mopho.h"

#include <cstdint>
#include <memory>
#include <span>

// The main window on the built-in instrument, its questions and file dialogs
// answered by script: where the tests of the window's commands start. A test
// fixture derives from ::testing::Test and from this.
struct MainWindowOnInstrument {
    MainWindowOnInstrument()
        : midi(
              nullptr,
              [instrument = instrument](std::span<const std::uint8_t> message) {
                  return instrument->Receive(message);
              },
              PanelOf(instrument)),
          window(std::make_unique<TfrmMain>(&prompter, &chooser, &midi)) {}

    std::shared_ptr<VirtualMopho> instrument = std::make_shared<VirtualMopho>();
    BuiltInInstrumentService midi;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    std::unique_ptr<TfrmMain> window;
};
