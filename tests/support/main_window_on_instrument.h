#pragma once

#include "main_window.h"
#include "support/on_builtin_instrument.h"

#include <memory>

// The main window on the built-in instrument, its questions and file dialogs
// answered by script: where the tests of the window's commands start. A test
// fixture derives from ::testing::Test and from this.
struct MainWindowOnInstrument : OnBuiltInInstrument {
    std::unique_ptr<TfrmMain> window = std::make_unique<TfrmMain>(&prompter, &chooser, &midi);
};
