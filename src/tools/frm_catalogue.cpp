#include "frm_catalogue.h"

#include "bank_file.h"
#include "catalogue_list_model.h"
#include "file_chooser.h"
#include "file_io.h"
#include "paced_sender.h"
#include "prompter.h"
#include "sound_library.h"
#include "sysex_messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>

#include <algorithm>

namespace {
// Problems listed in one message after an import; the rest are counted.
constexpr int ShownProblems = 12;
constexpr int SimilarCount = 100;
constexpr std::size_t EditBufferDumpBytes = 298;

QString Text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString SoundCount(qsizetype count) {
    return QLocale().toString(count) +
           (count == 1 ? QStringLiteral(" sound") : QStringLiteral(" sounds"));
}

QPushButton* MakeButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}
} // namespace

QStringList DialogImportChooser::BankFiles() {
    return QFileDialog::getOpenFileNames(parent_, QStringLiteral("Import Sound Banks"), QString(),
                                         QStringLiteral("SysEx files (*.syx);;All files (*)"));
}

QString DialogImportChooser::Folder() {
    return QFileDialog::getExistingDirectory(parent_,
                                             QStringLiteral("Import a Folder of Sound Banks"));
}

TfrmCatalogue::TfrmCatalogue(CatalogueContext context, QWidget* parent, MorphPacer::Clock clock)
    : QWidget(parent, Qt::Window), context_(std::move(context)) {
    setObjectName(QStringLiteral("TfrmCatalogue"));
    setWindowTitle(QStringLiteral("Sound Catalogue"));
    model_ = new CatalogueListModel(
        context_.catalogue, [this](const QString& text) { context_.prompter.ShowMessage(text); },
        this);
    sender_ = new PacedSender([this](int) { return SendHeardSound(); }, std::move(clock), this);
    CreateControls();
    Refresh();
    resize(820, 520);
}

TfrmCatalogue::~TfrmCatalogue() = default;

void TfrmCatalogue::CreateControls() {
    edtSearch = new QLineEdit;
    edtSearch->setObjectName(QStringLiteral("edtSearch"));
    edtSearch->setPlaceholderText(QStringLiteral("Search names"));
    edtSearch->setClearButtonEnabled(true);
    edtSearch->installEventFilter(this);
    cmbCategory = new QComboBox;
    cmbCategory->setObjectName(QStringLiteral("cmbCategory"));
    cmbCategory->addItem(QStringLiteral("All categories"));
    for (const SoundCategory category : AllSoundCategories)
        cmbCategory->addItem(Text(CategoryCaption(category)), static_cast<int>(category));
    chbFavourites = new QCheckBox(QStringLiteral("Favourites only"));
    chbFavourites->setObjectName(QStringLiteral("chbFavourites"));

    tblSounds = new QTableView;
    tblSounds->setObjectName(QStringLiteral("tblSounds"));
    tblSounds->setModel(model_);
    tblSounds->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblSounds->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tblSounds->setEditTriggers(QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::DoubleClicked);
    tblSounds->setDragEnabled(true);
    tblSounds->setDragDropMode(QAbstractItemView::DragOnly);
    tblSounds->setDefaultDropAction(Qt::CopyAction);
    tblSounds->setContextMenuPolicy(Qt::CustomContextMenu);
    tblSounds->setWordWrap(false);
    tblSounds->setAlternatingRowColors(true);
    tblSounds->installEventFilter(this);
    // Fixed row heights: the view never measures rows it does not show.
    QHeaderView* rows = tblSounds->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(tblSounds->fontMetrics().height() + 6);
    QHeaderView* columns = tblSounds->horizontalHeader();
    columns->setStretchLastSection(true);
    columns->resizeSection(CatalogueListModel::FavouriteColumn, 30);
    columns->resizeSection(CatalogueListModel::NameColumn, 160);
    columns->resizeSection(CatalogueListModel::CategoryColumn, 100);
    columns->resizeSection(CatalogueListModel::TagsColumn, 150);

    lblStatus = new QLabel;
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    btnImportFiles = MakeButton("btnImportFiles", QStringLiteral("Import Files..."));
    btnImportFolder = MakeButton("btnImportFolder", QStringLiteral("Import Folder..."));
    btnImportLibrary = MakeButton("btnImportLibrary", QStringLiteral("Import Library"));
    btnFindSimilar = MakeButton("btnFindSimilar", QStringLiteral("Find similar sounds"));
    btnCopyToCurrentRow = MakeButton("btnCopyToCurrentRow", QStringLiteral("Copy to Current Row"));
    btnFillSelectedRows = MakeButton("btnFillSelectedRows", QStringLiteral("Fill Selected Rows"));
    btnExportBank = MakeButton("btnExportBank", QStringLiteral("Export as Bank..."));
    btnExportFiles = MakeButton("btnExportFiles", QStringLiteral("Export as Files..."));
    for (QPushButton* button : {btnImportFiles, btnImportFolder, btnImportLibrary})
        button->setEnabled(!context_.catalogue.ReadOnly());

    auto* filters = new QHBoxLayout;
    filters->addWidget(edtSearch, 1);
    filters->addWidget(cmbCategory);
    filters->addWidget(chbFavourites);
    auto* imports = new QHBoxLayout;
    for (QPushButton* button : {btnImportFiles, btnImportFolder, btnImportLibrary})
        imports->addWidget(button);
    imports->addStretch(1);
    imports->addWidget(lblStatus);
    auto* actions = new QHBoxLayout;
    for (QPushButton* button : {btnFindSimilar, btnCopyToCurrentRow, btnFillSelectedRows})
        actions->addWidget(button);
    actions->addStretch(1);
    for (QPushButton* button : {btnExportBank, btnExportFiles})
        actions->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addLayout(filters);
    layout->addWidget(tblSounds, 1);
    layout->addLayout(actions);
    layout->addLayout(imports);

    connect(edtSearch, &QLineEdit::textChanged, this, &TfrmCatalogue::Refresh);
    connect(cmbCategory, &QComboBox::currentIndexChanged, this, &TfrmCatalogue::Refresh);
    connect(chbFavourites, &QCheckBox::toggled, this, &TfrmCatalogue::Refresh);
    connect(tblSounds->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TfrmCatalogue::CurrentSoundChanged);
    connect(tblSounds, &QTableView::customContextMenuRequested, this,
            &TfrmCatalogue::ShowContextMenu);
    connect(tblSounds, &QTableView::activated, this, &TfrmCatalogue::OpenInEditor);
    connect(btnImportFiles, &QPushButton::clicked, this, &TfrmCatalogue::ImportFilesClick);
    connect(btnImportFolder, &QPushButton::clicked, this, &TfrmCatalogue::ImportFolderClick);
    connect(btnImportLibrary, &QPushButton::clicked, this, &TfrmCatalogue::ImportLibraryClick);
    connect(btnFindSimilar, &QPushButton::clicked, this, &TfrmCatalogue::FindSimilarClick);
    connect(btnCopyToCurrentRow, &QPushButton::clicked, this,
            &TfrmCatalogue::CopyToCurrentRowClick);
    connect(btnFillSelectedRows, &QPushButton::clicked, this,
            &TfrmCatalogue::FillSelectedRowsClick);
    connect(btnExportBank, &QPushButton::clicked, this, &TfrmCatalogue::ExportBankClick);
    connect(btnExportFiles, &QPushButton::clicked, this, &TfrmCatalogue::ExportFilesClick);
}

const MorphPacer& TfrmCatalogue::Pacer() const {
    return sender_->Pacer();
}

void TfrmCatalogue::SendWaitingSound() {
    sender_->SendDue();
}

void TfrmCatalogue::ShowStatus(const QString& text) {
    lblStatus->setText(text);
}

void TfrmCatalogue::Refresh() {
    CatalogueSearch search;
    search.text = Utf16ToName(edtSearch->text().toStdU16String());
    if (cmbCategory->currentIndex() > 0)
        search.category = static_cast<SoundCategory>(cmbCategory->currentData().toInt());
    search.favouritesOnly = chbFavourites->isChecked();
    try {
        model_->SetSounds(context_.catalogue.Search(search));
        const auto total = static_cast<qsizetype>(context_.catalogue.SoundCount());
        const auto shown = static_cast<qsizetype>(model_->rowCount());
        ShowStatus(shown == total
                       ? SoundCount(total)
                       : QLocale().toString(shown) + QStringLiteral(" of ") + SoundCount(total));
    } catch (const std::exception& failure) {
        model_->SetSounds({});
        ShowStatus(QString::fromStdString(failure.what()));
    }
}

std::optional<TSoundRecord> TfrmCatalogue::CurrentSound() {
    const int row = tblSounds->currentIndex().row();
    if (row < 0)
        return std::nullopt;
    try {
        return context_.catalogue.Sound(model_->SoundAt(row));
    } catch (const std::exception& failure) {
        ShowStatus(QString::fromStdString(failure.what()));
        return std::nullopt;
    }
}

void TfrmCatalogue::CurrentSoundChanged() {
    const int row = tblSounds->currentIndex().row();
    if (row < 0)
        return;
    toHear_ = model_->SoundAt(row);
    sender_->Offer(row);
}

std::size_t TfrmCatalogue::SendHeardSound() {
    if (!toHear_)
        return 0;
    std::optional<TSoundRecord> sound;
    try {
        sound = context_.catalogue.Sound(*toHear_);
    } catch (const std::exception& failure) {
        ShowStatus(QString::fromStdString(failure.what()));
    }
    if (!sound)
        return 0;
    if (const MidiError error = SendEditBufferDump(context_.output, *sound);
        error != MidiError::None) {
        ShowStatus(QStringLiteral("The sound did not reach the instrument: %1.")
                       .arg(QString::fromStdString(Text(error))));
        return 0;
    }
    return EditBufferDumpBytes;
}

std::vector<TSoundRecord> TfrmCatalogue::SelectedSounds() {
    std::vector<int> rows;
    for (const QModelIndex& index : tblSounds->selectionModel()->selectedRows())
        rows.push_back(index.row());
    if (rows.empty() && tblSounds->currentIndex().isValid())
        rows.push_back(tblSounds->currentIndex().row());
    std::sort(rows.begin(), rows.end());
    std::vector<TSoundRecord> sounds;
    try {
        for (const int row : rows) {
            if (const auto sound = context_.catalogue.Sound(model_->SoundAt(row)))
                sounds.push_back(*sound);
        }
    } catch (const std::exception& failure) {
        context_.prompter.ShowMessage(QString::fromStdString(failure.what()));
        return {};
    }
    return sounds;
}

bool TfrmCatalogue::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // Down from the search field goes on into the results.
    if (watched == edtSearch && key->key() == Qt::Key_Down && model_->rowCount() > 0) {
        tblSounds->setFocus();
        const int row = std::max(tblSounds->currentIndex().row(), 0);
        tblSounds->setCurrentIndex(model_->index(row, CatalogueListModel::NameColumn));
        return true;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == tblSounds && enter) {
        OpenInEditor();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmCatalogue::closeEvent(QCloseEvent* event) {
    // The instrument ends on the sound last chosen.
    sender_->Flush();
    QWidget::closeEvent(event);
}

void TfrmCatalogue::OpenInEditor() {
    if (const auto sound = CurrentSound())
        context_.openInEditor(*sound);
}

void TfrmCatalogue::ReportImport(const ImportReport& report) {
    if (!report.Ok()) {
        context_.prompter.ShowMessage(QString::fromStdString(*report.failure));
        return;
    }
    ShowStatus(QStringLiteral("Imported: %1 new, %2 known, %3 unchanged files skipped")
                   .arg(report.soundsAdded)
                   .arg(report.soundsKnown)
                   .arg(report.filesUnchanged));
    if (report.problems.empty())
        return;
    QStringList lines;
    for (std::size_t i = 0; i < report.problems.size() && i < ShownProblems; ++i)
        lines << QString::fromStdString(report.problems[i]);
    if (report.problems.size() > ShownProblems)
        lines << QStringLiteral("... and %1 more.").arg(report.problems.size() - ShownProblems);
    context_.prompter.ShowMessage(QStringLiteral("Some records were left out:\n\n") +
                                  lines.join(QLatin1Char('\n')));
}

void TfrmCatalogue::ImportPaths(const QStringList& paths) {
    if (paths.isEmpty())
        return;
    std::vector<std::string> files;
    for (const QString& path : paths)
        files.push_back(path.toStdString());
    QProgressDialog progress(QStringLiteral("Importing sound banks..."), QStringLiteral("Cancel"),
                             0, 0, this);
    progress.setObjectName(QStringLiteral("dlgImportProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const ImportReport report = context_.catalogue.ImportPaths(files, [&](const std::string& file) {
        progress.setLabelText(QStringLiteral("Importing ") + QString::fromStdString(file));
        QApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.close();
    const QString status = lblStatus->text();
    Refresh();
    ReportImport(report);
    if (!report.Ok())
        ShowStatus(status);
}

void TfrmCatalogue::ImportFilesClick() {
    ImportPaths(context_.importChooser.BankFiles());
}

void TfrmCatalogue::ImportFolderClick() {
    const QString folder = context_.importChooser.Folder();
    if (!folder.isEmpty())
        ImportPaths({folder});
}

void TfrmCatalogue::ImportLibraryClick() {
    const TSoundLibrary& library = context_.library;
    std::vector<BankFileRecord> sounds;
    for (int slot = 0; slot < library.SlotCount(); ++slot)
        sounds.push_back({slot, library.Sound(slot)});
    const ImportReport report = context_.catalogue.ImportSounds(sounds, "Library");
    Refresh();
    ReportImport(report);
}

void TfrmCatalogue::FindSimilarClick() {
    const int row = tblSounds->currentIndex().row();
    const SoundSummary* summary = model_->SummaryAt(row);
    if (!summary) {
        ShowStatus(QStringLiteral("Choose a sound to find sounds like it."));
        return;
    }
    const QString name = QString::fromStdString(NameToUtf8(summary->name));
    const SoundId id = summary->id;
    try {
        auto similar = context_.catalogue.FindSimilar(id, SimilarCount);
        similar.insert(similar.begin(), id);
        // The list shows the likeness, not a search: the filters wait until typed again.
        const QSignalBlocker blocker(edtSearch);
        edtSearch->clear();
        model_->SetSounds(std::move(similar));
        ShowStatus(QStringLiteral("Sounds like \"%1\", nearest first").arg(name));
        tblSounds->setCurrentIndex(model_->index(0, CatalogueListModel::NameColumn));
    } catch (const std::exception& failure) {
        ShowStatus(QString::fromStdString(failure.what()));
    }
}

void TfrmCatalogue::CopyToCurrentRowClick() {
    const int row = context_.currentRow();
    if (row < 0 || row >= context_.library.SlotCount()) {
        context_.prompter.ShowMessage(QStringLiteral("Choose a row in the library first."));
        return;
    }
    if (const auto sound = CurrentSound())
        context_.placeInLibrary({{row, *sound}});
}

void TfrmCatalogue::FillSelectedRowsClick() {
    const std::vector<int> rows = context_.selectedRows();
    if (rows.empty()) {
        context_.prompter.ShowMessage(
            QStringLiteral("Select the rows of the library to fill first."));
        return;
    }
    const std::vector<TSoundRecord> sounds = SelectedSounds();
    std::vector<LibraryPlacement> placements;
    for (std::size_t i = 0; i < rows.size() && i < sounds.size(); ++i)
        placements.emplace_back(rows[i], sounds[i]);
    if (!placements.empty())
        context_.placeInLibrary(placements);
    if (sounds.size() != rows.size())
        ShowStatus(QStringLiteral("%1 filled: %2 selected here, %3 rows selected in the library")
                       .arg(placements.size())
                       .arg(sounds.size())
                       .arg(rows.size()));
}

void TfrmCatalogue::ExportBankClick() {
    const std::vector<TSoundRecord> sounds = SelectedSounds();
    if (sounds.empty())
        return;
    if (sounds.size() > static_cast<std::size_t>(Slots::Count)) {
        context_.prompter.ShowMessage(QStringLiteral("A bank holds %1 sounds; %2 are selected.")
                                          .arg(Slots::Count)
                                          .arg(sounds.size()));
        return;
    }
    const QString path = context_.fileChooser.SaveFileName();
    if (path.isEmpty())
        return;
    std::vector<BankFileRecord> records;
    for (const TSoundRecord& sound : sounds)
        records.push_back({static_cast<int>(records.size()), sound});
    if (const auto error = WriteWholeFile(path.toStdString(), BankFileBytes(records))) {
        context_.prompter.ShowMessage(QString::fromStdString(*error));
        return;
    }
    ShowStatus(QStringLiteral("%1 written to %2")
                   .arg(SoundCount(static_cast<qsizetype>(sounds.size())), path));
}

void TfrmCatalogue::ExportFilesClick() {
    const std::vector<TSoundRecord> sounds = SelectedSounds();
    if (sounds.empty())
        return;
    const QString chosen = context_.fileChooser.SaveFileName();
    if (chosen.isEmpty())
        return;
    // Named as the library's "Save Separate Files" names them: x.syx1.syx, x.syx2.syx, ...
    for (std::size_t i = 0; i < sounds.size(); ++i) {
        const int row = static_cast<int>(i % Slots::Count);
        const std::string path = SeparateFileName(chosen.toStdString(), static_cast<int>(i));
        if (const auto error = WriteWholeFile(path, BankFileRecordBytes(row, sounds[i]))) {
            context_.prompter.ShowMessage(QString::fromStdString(*error));
            return;
        }
    }
    ShowStatus(QStringLiteral("%1 written, one file each")
                   .arg(SoundCount(static_cast<qsizetype>(sounds.size()))));
}

void TfrmCatalogue::ShowContextMenu(const QPoint& position) {
    const int row = tblSounds->indexAt(position).row();
    if (row < 0)
        return;
    QMenu menu(this);
    QMenu* categories = menu.addMenu(QStringLiteral("Category"));
    const SoundSummary* summary = model_->SummaryAt(row);
    for (const SoundCategory category : AllSoundCategories) {
        QAction* action = categories->addAction(Text(CategoryCaption(category)));
        action->setCheckable(true);
        action->setChecked(summary && summary->category == category);
        connect(action, &QAction::triggered, this,
                [this, row, category] { model_->SetCategory(row, category); });
    }
    QAction* favourite = menu.addAction(QStringLiteral("Favourite"));
    favourite->setCheckable(true);
    favourite->setChecked(summary && summary->favourite);
    connect(favourite, &QAction::triggered, this,
            [this, row](bool checked) { model_->SetFavourite(row, checked); });
    menu.addAction(QStringLiteral("Edit Tags"), this, [this, row] {
        tblSounds->edit(model_->index(row, CatalogueListModel::TagsColumn));
    });
    menu.addSeparator();
    menu.addAction(QStringLiteral("Find similar sounds"), this, &TfrmCatalogue::FindSimilarClick);
    for (QAction* action : menu.actions())
        action->setEnabled(!context_.catalogue.ReadOnly() ||
                           action->text().startsWith(QStringLiteral("Find")));
    menu.exec(tblSounds->viewport()->mapToGlobal(position));
}

std::unique_ptr<SoundCatalogue> OpenCatalogueOrAsk(const std::string& path, Prompter& prompter) {
    for (;;) {
        auto opened = SoundCatalogue::Open(path);
        if (auto* catalogue = std::get_if<std::unique_ptr<SoundCatalogue>>(&opened))
            return std::move(*catalogue);
        const auto& failure = std::get<CatalogueOpenFailure>(opened);
        const QString message = QString::fromStdString(failure.message);
        if (failure.problem == CatalogueOpenProblem::Unusable) {
            prompter.ShowMessage(message);
            return nullptr;
        }
        const QString question =
            message + QStringLiteral("\n\nSet it aside, untouched, and start a fresh catalogue?");
        if (prompter.Confirm(question) != Prompter::Answer::Yes)
            return nullptr;
        const auto aside = SoundCatalogue::SetAside(path);
        if (const auto* failed = std::get_if<CatalogueOpenFailure>(&aside)) {
            prompter.ShowMessage(QString::fromStdString(failed->message));
            return nullptr;
        }
        // The next turn opens the fresh file; it says so if that fails too.
    }
}
