// Renders the copy window and the global settings window, for looking at
// their layout without a display.
//
//     render_tool_windows OUTPUT_FOLDER
//
// writes copy-sounds.png and global-settings.png, then runs itself at device
// pixel ratio 2 for the @2x pictures.

#include "frm_copy_sounds.h"
#include "frm_global.h"
#include "render_program.h"
#include "sound_library.h"
#include "support/recording_midi_output.h"

#include <QApplication>
#include <QComboBox>

#include <cstdio>

int main(int argc, char* argv[]) {
    const render::Options options = render::ReadOptions(argc, argv);
    QApplication app(argc, argv);
    if (!render::FolderExists(options))
        return 2;

    TSoundLibrary library;
    library.InitEmptyBanks();
    library.SetSoundName(4, "Fat Bass Lead");
    TfrmCopySounds copy({library, nullptr});
    copy.cmbPrograms->setCurrentIndex(4);
    if (!render::ShowAndSave(options, copy, "copy-sounds"))
        return 1;

    RecordingMidiOutput out;
    TfrmGlobal globals(out);
    globals.LoadGlobals({14, 43, 1, 3, 0, 0, 1, 1, 0, 0});
    if (!render::ShowAndSave(options, globals, "global-settings"))
        return 1;

    return render::RenderDoubleToo(options);
}
