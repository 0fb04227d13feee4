// Renders the Sound Catalogue window on a catalogue of a few generated
// banks, "bass" typed into its search field.
//
//     render_catalogue OUTPUT_FOLDER
//
// writes sound-catalogue.png, then runs itself at device pixel ratio 2.

#include "file_chooser.h"
#include "frm_catalogue.h"
#include "prompter.h"
#include "render_program.h"
#include "sound_library.h"
#include "support/catalogue_data.h"
#include "support/recording_midi_output.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

namespace {
class Unattended : public Prompter, public FileChooser, public ImportChooser {
public:
    Answer Confirm(const QString&, Buttons) override { return Answer::No; }
    void ShowMessage(const QString& text) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    QString OpenFileName() override { return {}; }
    QString SaveFileName() override { return {}; }
    QStringList BankFiles() override { return {}; }
    QString Folder() override { return {}; }
};
} // namespace

int main(int argc, char* argv[]) {
    const render::Options options = render::ReadOptions(argc, argv);
    QApplication app(argc, argv);
    if (!render::FolderExists(options))
        return 2;

    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("catalogue.sqlite")).toStdString();
    auto opened = SoundCatalogue::Open(path);
    auto& catalogue = *std::get<std::unique_ptr<SoundCatalogue>>(opened);
    const auto banks = catalogue_data::WriteBanks(
        folder.filePath(QStringLiteral("My Banks")).toStdString(), 3, 2026);
    catalogue.ImportPaths(banks);
    const std::vector<SoundId> basses = catalogue.Search({"bass", std::nullopt, false});
    catalogue.SetFavourite(basses.at(1), true);
    catalogue.SetTags(basses.at(1), SplitTags("303, squelch"));
    catalogue.SetTags(basses.at(3), SplitTags("live set"));

    TSoundLibrary library;
    library.InitEmptyBanks();
    RecordingMidiOutput output;
    Unattended user;
    TfrmCatalogue window({catalogue, library, output, user, user, user, [] { return 0; },
                          [] { return std::vector<int>{}; },
                          [](const std::vector<LibraryPlacement>&) {}, [](const TSoundRecord&) {}});
    window.findChild<QLineEdit*>(QStringLiteral("edtSearch"))->setText(QStringLiteral("bass"));
    auto* list = window.findChild<QTableView*>(QStringLiteral("tblSounds"));
    list->selectRow(1);
    window.resize(860, 480);
    window.show();
    QApplication::processEvents();
    if (!render::SavePicture(options, window, QStringLiteral("sound-catalogue")))
        return 1;
    return render::RenderDoubleToo(options);
}
