// The main window's side of the sound catalogue: its menu item, and the
// library rows the catalogue window puts sounds into.

#include "main_window.h"

#include "catalogue_location.h"
#include "frm_catalogue.h"
#include "library_list.h"
#include "library_table_view.h"
#include "main_editor_host.h"
#include "midi_ports.h"
#include "sound_catalogue.h"
#include "sound_drag.h"

#include <QAction>

void TfrmMain::ConnectCatalogue() {
    ConnectCommand(actSoundCatalogue, [this] { SoundCatalogueClick(); });
    actSoundCatalogue->setEnabled(true);
    connect(ListView1, &LibraryTableView::SoundsDropped, this,
            [this](const std::vector<TSoundRecord>& sounds, int targetRow) {
                std::vector<LibraryPlacement> placements;
                const std::vector<int> rows =
                    RowsFrom(targetRow, sounds.size(), library_.SlotCount());
                for (std::size_t i = 0; i < rows.size(); ++i)
                    placements.emplace_back(rows[i], sounds[i]);
                PlaceSounds(placements);
            });
}

SoundCatalogue* TfrmMain::OpenedCatalogue() {
    if (!catalogue_)
        catalogue_ = OpenCatalogueOrAsk(DefaultCataloguePath(), *prompter_);
    return catalogue_.get();
}

void TfrmMain::SoundCatalogueClick() {
    if (!OpenedCatalogue())
        return;
    if (!frmCatalogue) {
        importChooser_ = std::make_unique<DialogImportChooser>(this);
        CatalogueContext context{
            *catalogue_,
            library_,
            *ports_,
            *prompter_,
            *fileChooser_,
            *importChooser_,
            [this] { return list_->CurrentRow(); },
            [this] {
                list_->CollectSelection();
                return library_.SelectedSlots();
            },
            [this](const std::vector<LibraryPlacement>& placements) { PlaceSounds(placements); },
            [this](const TSoundRecord& sound) {
                RunCommand([&] { OpenEditorWithCurrentSound(sound); });
            },
        };
        frmCatalogue = new TfrmCatalogue(std::move(context), this);
    }
    frmCatalogue->show();
    frmCatalogue->raise();
    frmCatalogue->activateWindow();
}

void TfrmMain::PlaceSounds(const std::vector<LibraryPlacement>& placements) {
    RunCommand([&] {
        for (const auto& [slot, sound] : placements)
            library_.KeepSound(slot, sound);
    });
}
