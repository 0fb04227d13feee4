#pragma once

#include "morph.h"
#include "sound_catalogue.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class CatalogueListModel;
class FileChooser;
class MidiOutput;
class PacedSender;
class Prompter;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class TSoundLibrary;

// What the import buttons ask the user: bank files, or a folder.
class ImportChooser {
public:
    virtual ~ImportChooser() = default;
    // Empty when the user cancelled.
    virtual QStringList BankFiles() = 0;
    virtual QString Folder() = 0;
};

class DialogImportChooser : public ImportChooser {
public:
    explicit DialogImportChooser(QWidget* parent) : parent_(parent) {}
    QStringList BankFiles() override;
    QString Folder() override;

private:
    QWidget* parent_;
};

// A sound to put into a library row.
using LibraryPlacement = std::pair<int, TSoundRecord>;

// What the catalogue window works with; all of it outlives the window.
struct CatalogueContext {
    SoundCatalogue& catalogue;
    const TSoundLibrary& library;
    MidiOutput& output; // where a sound chosen in the list is heard
    Prompter& prompter;
    FileChooser& fileChooser; // the file an export writes
    ImportChooser& importChooser;
    // The library list's current row (-1: none) and its selected rows, ascending.
    std::function<int()> currentRow;
    std::function<std::vector<int>()> selectedRows;
    // Puts the sounds into their library rows, each marked "Changed", as one undo step.
    std::function<void(const std::vector<LibraryPlacement>&)> placeInLibrary;
    // Opens the sound editor on the sound.
    std::function<void(const TSoundRecord&)> openInEditor;
};

// "Sound Catalogue": every sound imported, found as the user types, heard on
// the instrument as the user moves through the list, and put into the
// library by dragging or by the two buttons.
class TfrmCatalogue : public QWidget {
    Q_OBJECT
public:
    // `clock` paces the sounds on the cable (the steady clock unless a test gives its own).
    TfrmCatalogue(CatalogueContext context, QWidget* parent = nullptr,
                  MorphPacer::Clock clock = {});
    ~TfrmCatalogue() override;

    // Runs the search again (after an import, or a change of the filters).
    void Refresh();
    void ImportPaths(const QStringList& paths);
    void ImportFilesClick();
    void ImportFolderClick();
    void ImportLibraryClick();
    void FindSimilarClick();
    void CopyToCurrentRowClick();
    void FillSelectedRowsClick();
    void ExportBankClick();
    void ExportFilesClick();
    // Enter on a sound: the editor opens on it.
    void OpenInEditor();

    const MorphPacer& Pacer() const;
    // Sends the sound that waited for the cable, once the cable is free; a timer calls it.
    void SendWaitingSound();
    CatalogueListModel& Model() { return *model_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void CurrentSoundChanged();
    std::size_t SendHeardSound();
    void ShowContextMenu(const QPoint& position);
    // The selected sounds in list order; the current one when none is selected.
    std::vector<TSoundRecord> SelectedSounds();
    std::optional<TSoundRecord> CurrentSound();
    void ShowStatus(const QString& text);
    void ReportImport(const ImportReport& report);

    CatalogueContext context_;
    CatalogueListModel* model_ = nullptr;
    PacedSender* sender_ = nullptr;
    std::optional<SoundId> toHear_;

    QLineEdit* edtSearch = nullptr;
    QComboBox* cmbCategory = nullptr;
    QCheckBox* chbFavourites = nullptr;
    QTableView* tblSounds = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* btnImportFiles = nullptr;
    QPushButton* btnImportFolder = nullptr;
    QPushButton* btnImportLibrary = nullptr;
    QPushButton* btnFindSimilar = nullptr;
    QPushButton* btnCopyToCurrentRow = nullptr;
    QPushButton* btnFillSelectedRows = nullptr;
    QPushButton* btnExportBank = nullptr;
    QPushButton* btnExportFiles = nullptr;
};

// Opens the catalogue file; one that cannot be opened is explained, and on
// Yes set aside untouched and a fresh one started. Nothing when the user
// said No or no catalogue could be had.
std::unique_ptr<SoundCatalogue> OpenCatalogueOrAsk(const std::string& path, Prompter& prompter);
