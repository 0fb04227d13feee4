// Renders the sound editor's four pages with a typical sound loaded, for
// looking at the layout without a display.
//
//     render_editor_pages OUTPUT_FOLDER
//
// writes editor-page-1.png .. editor-page-4.png, then runs itself at device
// pixel ratio 2 for the @2x pictures.
#include "frm_patch_edit.h"
#include "midi_output.h"
#include "prompter.h"
#include "render_program.h"
#include "schema.h"

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>

namespace {

// A bass lead: pulse and saw a fifth apart, a filter sweep on the mod wheel,
// a slow LFO on the cutoff and a sequence on the filter.
std::array<std::uint8_t, NamedParameterCount> TypicalSound() {
    std::array<std::uint8_t, NamedParameterCount> bytes{};
    const std::uint8_t first[] = {
        36,  52,  54,  0,  1,   40,  43,  47, 1,   12, 1,   0,  0,   0,  2,   2,  4,  64,  10,
        0,   88,  45,  64, 0,   1,   187, 30, 0,   2,  55,  40, 30,  0,  127, 50, 0,  1,   60,
        100, 35,  110, 70, 0,   20,  9,   0,  157, 1,  35,  4,  1,   42, 4,   10, 6,  0,   0,
        0,   0,   0,   0,  9,   167, 0,   0,  20,  70, 0,   40, 0,   13, 157, 9,  18, 147, 12,
        5,   112, 4,   0,  127, 0,   177, 14, 157, 9,  127, 0,  167, 12, 127, 0,  60, 100, 0,
        120, 6,   0,   0,  0,   1,   9,   1,  0,   0,  20,  21, 17,  95};
    std::copy(std::begin(first), std::end(first), bytes.begin());
    const std::uint8_t steps[4][16] = {
        {20, 40, 60, 80, 100, 120, 90, 60, 30, 50, 70, 90, 110, 127, 64, 0},
        {48, 48, 55, 60, 48, 63, 60, 55, 48, 48, 55, 60, 67, 63, 60, 55},
        {0, 127, 0, 127, 0, 127, 0, 127, 64, 64, 64, 64, 32, 96, 32, 96},
        {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 125, 100, 50, 0}};
    for (int t = 0; t < 4; ++t)
        for (int s = 0; s < 16; ++s)
            bytes[static_cast<std::size_t>(120 + 16 * t + s)] = steps[t][s];
    return bytes;
}

TSoundRecord TypicalRecord() {
    TSoundRecord sound;
    const auto bytes = TypicalSound();
    for (std::size_t p = 0; p < bytes.size(); ++p)
        sound[SoundLayout::ParameterByte(static_cast<int>(p))] = bytes[p];
    SetSoundName(sound, "Fifth Bass Lead");
    return sound;
}

// The window shown alone: nothing to send to, nothing to ask.
class Silent : public MidiOutput, public Prompter, public EditorHost {
public:
    MidiError SendLongMessage(std::span<const std::uint8_t>) override { return MidiError::None; }
    MidiError SendShortMessage(std::uint32_t) override { return MidiError::None; }
    Answer Confirm(const QString&, Buttons) override { return Answer::No; }
    void ShowMessage(const QString&) override {}
    int KeyboardOctave() const override { return 4; }
    void SetKeyboardOctave(int) override {}
    bool KeyboardOn() const override { return false; }
    void SetKeyboardOn(bool) override {}
    std::optional<int> ChooseLocation(int) override { return std::nullopt; }
    void StoreSentSound(int, const TSoundRecord&) override {}
    void ShowInMessagePanel(const std::string&) override {}
    void RequestEditBuffer() override {}
};

} // namespace

int main(int argc, char* argv[]) {
    const render::Options options = render::ReadOptions(argc, argv);
    QApplication app(argc, argv);
    if (!render::FolderExists(options))
        return 2;

    // No schema files: the window opens on an empty schema.
    QTemporaryDir programFolder;
    Silent silent;
    int lastSendLocation = 0;
    SchemaTolerances tolerances;
    TfrmPatchEdit window(
        {silent, silent, silent, lastSendLocation, programFolder.path().toStdString(), tolerances},
        TypicalRecord());
    window.show();
    QApplication::processEvents();
    std::printf("window %dx%d\n", window.width(), window.height());

    for (int page = 0; page < EditorPageCount; ++page) {
        window.Panel().SoundEditPageControl->setCurrentIndex(page);
        QApplication::processEvents();
        if (!render::SavePicture(options, window,
                                 QStringLiteral("editor-page-") + QString::number(page + 1)))
            return 1;
    }
    return render::RenderDoubleToo(options);
}
