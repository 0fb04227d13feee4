#include "frm_breeder.h"

#include "breeder_tiles.h"
#include "random_generator.h"
#include "sound_catalogue.h"
#include "sound_library.h"
#include "sysex_messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace {

constexpr std::string_view EditorSchemaName = "(editor's schema)";
// An edit-buffer dump's bytes on the cable, for the pacing.
const std::size_t EditBufferDumpBytes = EditBufferDumpMessage(TSoundRecord{}).size();

QString FromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A name as the instrument shows it: its bytes, trailing blanks dropped.
QString NameText(const TSoundRecord& sound) {
    return QString::fromStdU16String(NameToUtf16(GetSoundName(sound))).trimmed();
}

QPushButton* MakeButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

// "A001 " and the name as the library shows it.
QString SlotText(const TSoundLibrary& library, int slot) {
    return FromStd(Slots::Caption(slot) + " " + NameToUtf8(library.GetSoundName(slot)));
}

} // namespace

TfrmBreeder::TfrmBreeder(BreederContext context, QWidget* parent, MorphPacer::Clock clock)
    : QDialog(parent), context_(std::move(context)),
      sender_(
          new PacedSender([this](int index) { return SendChild(index); }, std::move(clock), this)) {
    // Named for the note player, which plays while this window is in front.
    setObjectName(QStringLiteral("TfrmBreeder"));
    setWindowTitle(QStringLiteral("Sound Breeder"));

    // ---- Parents
    auto* parents = new QGroupBox(QStringLiteral("Parents"));
    lstParents = new QListWidget;
    lstParents->setObjectName(QStringLiteral("lstParents"));
    lstParents->setMaximumHeight(lstParents->fontMetrics().height() * 5 + 8);
    cmbLibrarySound = new QComboBox;
    cmbLibrarySound->setObjectName(QStringLiteral("cmbLibrarySound"));
    cmbLibrarySound->setMaxVisibleItems(24);
    for (int slot = 0; slot < Slots::Count; ++slot)
        cmbLibrarySound->addItem(SlotText(context_.library, slot));
    cmbLibrarySound->setCurrentIndex(
        Slots::IsValid(context_.library.CurrentSlot()) ? context_.library.CurrentSlot() : 0);
    btnAddParent = MakeButton("btnAddParent", QStringLiteral("Add"));
    btnAddParent->setToolTip(QStringLiteral("Add the library sound chosen in the list"));
    btnAddEditorSound = MakeButton("btnAddEditorSound", QStringLiteral("Add Editor Sound"));
    btnAddEditorSound->setVisible(context_.editorSound.has_value());
    btnRemoveParent = MakeButton("btnRemoveParent", QStringLiteral("Remove"));
    auto* parentButtons = new QHBoxLayout;
    parentButtons->addWidget(btnAddParent);
    parentButtons->addWidget(btnAddEditorSound);
    parentButtons->addWidget(btnRemoveParent);
    auto* parentsLayout = new QVBoxLayout(parents);
    parentsLayout->addWidget(lstParents);
    parentsLayout->addWidget(cmbLibrarySound);
    parentsLayout->addLayout(parentButtons);
    if (context_.catalogue) {
        edtCatalogueFind = new QLineEdit;
        edtCatalogueFind->setObjectName(QStringLiteral("edtCatalogueFind"));
        edtCatalogueFind->setPlaceholderText(QStringLiteral("Find in the catalogue"));
        cmbCatalogueSound = new QComboBox;
        cmbCatalogueSound->setObjectName(QStringLiteral("cmbCatalogueSound"));
        cmbCatalogueSound->setAccessibleName(QStringLiteral("Catalogue sound"));
        btnAddCatalogueSound = MakeButton("btnAddCatalogueSound", QStringLiteral("Add"));
        btnAddCatalogueSound->setToolTip(QStringLiteral("Add the catalogue sound chosen"));
        auto* fromCatalogue = new QHBoxLayout;
        fromCatalogue->addWidget(edtCatalogueFind, 3);
        fromCatalogue->addWidget(cmbCatalogueSound, 2);
        fromCatalogue->addWidget(btnAddCatalogueSound);
        parentsLayout->addLayout(fromCatalogue);
        connect(edtCatalogueFind, &QLineEdit::textEdited, this,
                &TfrmBreeder::edtCatalogueFindChange);
        connect(btnAddCatalogueSound, &QPushButton::clicked, this,
                [this] { btnAddCatalogueSoundClick(); });
    }

    // ---- How to breed
    auto* breeding = new QGroupBox(QStringLiteral("Breeding"));
    cmbSchema = new QComboBox;
    cmbSchema->setObjectName(QStringLiteral("cmbSchema"));
    // The editor's schema comes first when it allows anything at all.
    const auto allowsSomething = [](const SchemaList& schema) {
        return std::any_of(schema.begin(), schema.end(), [](const SchemaEntry& entry) {
            return entry.allowed.find('1') != std::string::npos;
        });
    };
    if (context_.editorSchema && allowsSomething(*context_.editorSchema))
        cmbSchema->addItem(FromStd(EditorSchemaName));
    cmbSchema->addItem(FromStd(AnyValueSchemaName));
    if (context_.editorSchema && !allowsSomething(*context_.editorSchema))
        cmbSchema->addItem(FromStd(EditorSchemaName));
    for (const std::string& name : ListSchemaFiles(context_.programFolder))
        cmbSchema->addItem(QString::fromStdString(name));
    trbMutation = new QSlider(Qt::Horizontal);
    trbMutation->setObjectName(QStringLiteral("trbMutation"));
    trbMutation->setAccessibleName(QStringLiteral("Mutation"));
    trbMutation->setRange(0, MaxMutation);
    trbMutation->setPageStep(10);
    trbMutation->setValue(20);
    lblMutation = new QLabel;
    lblMutation->setObjectName(QStringLiteral("lblMutation"));
    lblMutation->setMinimumWidth(
        lblMutation->fontMetrics().horizontalAdvance(QStringLiteral("100")));
    lblMutation->setNum(trbMutation->value());
    spnChildren = new QSpinBox;
    spnChildren->setObjectName(QStringLiteral("spnChildren"));
    spnChildren->setRange(1, MaxChildCount);
    spnChildren->setValue(DefaultChildCount);
    edtSeed = new QLineEdit;
    edtSeed->setObjectName(QStringLiteral("edtSeed"));
    edtSeed->setPlaceholderText(QStringLiteral("new at every Breed"));
    edtSeed->setToolTip(QStringLiteral("Type a generation's seed to breed it again"));
    auto* form = new QGridLayout(breeding);
    const auto addRow = [form](int row, const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption);
        label->setBuddy(field);
        form->addWidget(label, row, 0);
        form->addWidget(field, row, 1);
    };
    addRow(0, QStringLiteral("Sound Family Schema"), cmbSchema);
    auto* mutation = new QWidget;
    auto* mutationLayout = new QHBoxLayout(mutation);
    mutationLayout->setContentsMargins(0, 0, 0, 0);
    mutationLayout->addWidget(trbMutation, 1);
    mutationLayout->addWidget(lblMutation);
    addRow(1, QStringLiteral("Mutation"), mutation);
    addRow(2, QStringLiteral("Children"), spnChildren);
    addRow(3, QStringLiteral("Seed"), edtSeed);

    // ---- The locker's sections
    auto* locks = new QGroupBox(QStringLiteral("Keep these sections"));
    locks->setObjectName(QStringLiteral("grpLocks"));
    auto* lockGrid = new QGridLayout(locks);
    lockGrid->setVerticalSpacing(2);
    constexpr int lockRows = (LockGroupCount + 1) / 2;
    for (int g = 0; g < LockGroupCount; ++g) {
        const LockGroup& group = LockGroups[static_cast<std::size_t>(g)];
        auto* box = new QCheckBox(FromStd(group.caption));
        box->setObjectName(FromStd(group.member));
        box->setChecked(context_.locked[static_cast<std::size_t>(g)]);
        connect(box, &QCheckBox::toggled, this,
                [this, g](bool on) { context_.locked[static_cast<std::size_t>(g)] = on; });
        lockBoxes_[static_cast<std::size_t>(g)] = box;
        lockGrid->addWidget(box, g % lockRows, g / lockRows);
    }

    // ---- Children
    auto* children = new QGroupBox(QStringLiteral("Children"));
    tiles_ = new BreederTiles([this](int i) { PlayChild(i); }, [this](int i) { ToggleLiked(i); });
    auto* childrenLayout = new QVBoxLayout(children);
    childrenLayout->addWidget(tiles_);

    edtName = new QLineEdit;
    edtName->setObjectName(QStringLiteral("edtName"));
    edtName->setMaxLength(SoundLayout::NameLength);
    edtName->setToolTip(QStringLiteral("The name the heard child is kept with"));
    connect(edtName, &QLineEdit::textEdited, this, &TfrmBreeder::NameEdited);
    auto* lblName = new QLabel(QStringLiteral("Name"));
    lblName->setBuddy(edtName);
    lblStatus = new QLabel;
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);

    btnBreed = MakeButton("btnBreed", QStringLiteral("Breed"));
    btnBreed->setToolTip(QStringLiteral("The next generation, from the liked children (Ctrl+B)"));
    btnBack = MakeButton("btnBack", QStringLiteral("Back"));
    btnBack->setToolTip(QStringLiteral("The generation before (Alt+Left)"));
    btnForward = MakeButton("btnForward", QStringLiteral("Forward"));
    btnForward->setToolTip(QStringLiteral("The generation after (Alt+Right)"));
    btnEdit = MakeButton("btnEdit", QStringLiteral("Edit"));
    btnEdit->setToolTip(QStringLiteral("Open the heard child in the sound editor (Ctrl+E)"));
    btnKeep = MakeButton("btnKeep", QStringLiteral("Keep"));
    btnKeep->setToolTip(QStringLiteral("Keep the heard child in the current library row (Ctrl+K)"));
    btnClose = MakeButton("btnClose", QStringLiteral("Close"));
    cmbKeepSlot = new QComboBox;
    cmbKeepSlot->setObjectName(QStringLiteral("cmbKeepSlot"));
    cmbKeepSlot->setAccessibleName(QStringLiteral("Keep in"));
    cmbKeepSlot->setToolTip(QStringLiteral("The library row Keep stores the child in"));
    cmbKeepSlot->setMaxVisibleItems(24);
    for (int slot = 0; slot < Slots::Count; ++slot)
        cmbKeepSlot->addItem(SlotText(context_.library, slot));
    cmbKeepSlot->setCurrentIndex(Slots::IsValid(context_.keepSlot) ? context_.keepSlot : 0);
    auto* commands = new QHBoxLayout;
    commands->addWidget(btnBreed);
    commands->addWidget(btnBack);
    commands->addWidget(btnForward);
    commands->addStretch(1);
    commands->addWidget(btnClose);
    // What to do with the heard child.
    auto* heard = new QHBoxLayout;
    heard->addWidget(lblName);
    heard->addWidget(edtName, 1);
    heard->addWidget(btnEdit);
    heard->addWidget(btnKeep);
    auto* lblKeepSlot = new QLabel(QStringLiteral("in"));
    lblKeepSlot->setBuddy(cmbKeepSlot);
    heard->addWidget(lblKeepSlot);
    heard->addWidget(cmbKeepSlot, 1);
    if (context_.catalogue) {
        btnKeepInCatalogue = MakeButton("btnKeepInCatalogue", QStringLiteral("Keep in Catalogue"));
        btnKeepInCatalogue->setToolTip(
            QStringLiteral("Add the heard child to the sound catalogue"));
        connect(btnKeepInCatalogue, &QPushButton::clicked, this,
                [this] { btnKeepInCatalogueClick(); });
        heard->addWidget(btnKeepInCatalogue);
    }

    auto* side = new QVBoxLayout;
    side->addWidget(parents);
    side->addWidget(breeding);
    side->addWidget(locks);
    side->addStretch(1);
    auto* main = new QVBoxLayout;
    main->addWidget(children, 1);
    main->addWidget(lblStatus);
    main->addLayout(heard);
    main->addLayout(commands);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);
    layout->addLayout(side);
    layout->addLayout(main, 1);

    connect(trbMutation, &QSlider::valueChanged, lblMutation, qOverload<int>(&QLabel::setNum));
    connect(btnAddParent, &QPushButton::clicked, this, [this] { btnAddParentClick(); });
    connect(btnAddEditorSound, &QPushButton::clicked, this, [this] { btnAddEditorSoundClick(); });
    connect(btnRemoveParent, &QPushButton::clicked, this, [this] { btnRemoveParentClick(); });
    connect(btnBreed, &QPushButton::clicked, this, [this] { btnBreedClick(); });
    // Enter after a typed seed breeds, and the digits then play children again.
    connect(edtSeed, &QLineEdit::returnPressed, this, [this] {
        btnBreedClick();
        btnBreed->setFocus();
    });
    connect(btnBack, &QPushButton::clicked, this, [this] { btnBackClick(); });
    connect(btnForward, &QPushButton::clicked, this, [this] { btnForwardClick(); });
    connect(btnEdit, &QPushButton::clicked, this, [this] { btnEditClick(); });
    connect(btnKeep, &QPushButton::clicked, this, [this] { btnKeepClick(); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);

    // Keys: a text field that has the focus takes its digits first.
    for (int i = 0; i < 10; ++i) {
        auto* key = new QShortcut(QKeySequence(BreederTiles::Number(i)), this);
        connect(key, &QShortcut::activated, this, [this, i] { PlayChild(i); });
    }
    const auto shortcut = [this](const QKeySequence& keys, auto handler) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, handler);
    };
    shortcut(QKeySequence(Qt::Key_Asterisk), [this] { ToggleLiked(heard_); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_B), [this] { btnBreedClick(); });
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Left), [this] { btnBackClick(); });
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Right), [this] { btnForwardClick(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_E), [this] { btnEditClick(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_K), [this] { btnKeepClick(); });

    for (QLineEdit* field : {edtName, edtSeed, edtCatalogueFind})
        if (field)
            field->installEventFilter(this);

    // The editor's sound is the first parent of a breeder that starts empty.
    if (context_.history.Parents().empty() && context_.editorSound)
        btnAddEditorSoundClick();
    BuildParentList();
    ShowGeneration();
}

// ---- Parents ------------------------------------------------------------------

void TfrmBreeder::BuildParentList() {
    lstParents->clear();
    for (const ParentSound& parent : context_.history.Parents())
        lstParents->addItem(QString::fromStdString(parent.label));
    const bool room = context_.history.Parents().size() < static_cast<std::size_t>(MaxParents);
    btnAddParent->setEnabled(room);
    btnAddEditorSound->setEnabled(room);
    btnRemoveParent->setEnabled(!context_.history.Parents().empty());
}

void TfrmBreeder::btnAddParentClick() {
    const int slot = cmbLibrarySound->currentIndex();
    if (!Slots::IsValid(slot))
        return;
    const TSoundRecord& sound = context_.library.Sound(slot);
    if (!context_.history.AddParent({sound, SlotText(context_.library, slot).toStdString()})) {
        SetStatus(QStringLiteral("Four parents at most: remove one first."));
        return;
    }
    BuildParentList();
    ShowGeneration();
}

void TfrmBreeder::btnAddEditorSoundClick() {
    if (!context_.editorSound)
        return;
    const std::string label = "Editor: " + NameToUtf8(GetSoundName(*context_.editorSound));
    if (!context_.history.AddParent({*context_.editorSound, label})) {
        SetStatus(QStringLiteral("Four parents at most: remove one first."));
        return;
    }
    BuildParentList();
    ShowGeneration();
}

void TfrmBreeder::btnRemoveParentClick() {
    const int row = lstParents->currentRow();
    const auto count = context_.history.Parents().size();
    // Without a chosen row the last parent goes.
    context_.history.RemoveParent(row >= 0 ? static_cast<std::size_t>(row) : count - 1);
    BuildParentList();
    ShowGeneration();
}

void TfrmBreeder::edtCatalogueFindChange(const QString& text) {
    cmbCatalogueSound->clear();
    SoundCatalogue* catalogue = context_.catalogue();
    if (!catalogue)
        return;
    try {
        constexpr std::size_t MaxListed = 200;
        CatalogueSearch search;
        search.text = Utf16ToName(text.trimmed().toStdU16String());
        const std::vector<SoundId> found = catalogue->Search(search);
        for (std::size_t i = 0; i < found.size() && i < MaxListed; ++i)
            if (const std::optional<SoundSummary> summary = catalogue->Summary(found[i]))
                cmbCatalogueSound->addItem(FromStd(NameToUtf8(summary->name)),
                                           QVariant::fromValue<qint64>(found[i]));
        SetStatus(found.size() > MaxListed
                      ? QStringLiteral("%1 catalogue sounds match; the first %2 are listed.")
                            .arg(found.size())
                            .arg(MaxListed)
                      : QStringLiteral("%1 catalogue sounds match.").arg(found.size()));
    } catch (const std::exception& failure) {
        SetStatus(QString::fromLocal8Bit(failure.what()));
    }
}

void TfrmBreeder::btnAddCatalogueSoundClick() {
    SoundCatalogue* catalogue = context_.catalogue ? context_.catalogue() : nullptr;
    if (!catalogue || cmbCatalogueSound->currentIndex() < 0)
        return;
    try {
        const SoundId id = cmbCatalogueSound->currentData().value<qint64>();
        const std::optional<TSoundRecord> sound = catalogue->Sound(id);
        if (!sound)
            return;
        const std::string label = "Catalogue: " + NameToUtf8(GetSoundName(*sound));
        if (!context_.history.AddParent({*sound, label})) {
            SetStatus(QStringLiteral("Four parents at most: remove one first."));
            return;
        }
        BuildParentList();
        ShowGeneration();
    } catch (const std::exception& failure) {
        SetStatus(QString::fromLocal8Bit(failure.what()));
    }
}

// ---- Generations ----------------------------------------------------------------

SchemaList TfrmBreeder::ChosenSchema() const {
    const QString name = cmbSchema->currentText();
    if (context_.editorSchema && name == FromStd(EditorSchemaName))
        return *context_.editorSchema;
    if (name == FromStd(AnyValueSchemaName))
        return AnyValueSchema();
    LoadedSchema loaded = LoadSchema(context_.programFolder, name.toStdString());
    if (!loaded.error.empty())
        throw std::runtime_error(loaded.error);
    return std::move(loaded.list);
}

std::uint32_t TfrmBreeder::NextSeed() {
    const QString typed = edtSeed->text().trimmed();
    if (edtSeed->isModified() && !typed.isEmpty()) {
        bool ok = false;
        const qulonglong seed = typed.toULongLong(&ok);
        if (!ok || seed > std::numeric_limits<std::uint32_t>::max())
            throw std::runtime_error("The seed is a whole number from 0 to 4294967295.");
        return static_cast<std::uint32_t>(seed);
    }
    RandomGenerator& generator = SharedGenerator();
    StirGenerator(generator, SharedClock().localNow());
    return generator.Random(std::numeric_limits<std::uint32_t>::max());
}

void TfrmBreeder::btnBreedClick() {
    try {
        BreedingSettings settings;
        settings.childCount = spnChildren->value();
        settings.mutation = trbMutation->value();
        settings.locked = context_.locked;
        settings.seed = NextSeed();
        const std::size_t passedOver = context_.history.LikedBeyondParents();
        const std::string problem = context_.history.Breed(ChosenSchema(), settings);
        if (!problem.empty()) {
            SetStatus(QString::fromStdString(problem));
            return;
        }
        edtSeed->setModified(false);
        heard_ = -1;
        ShowGeneration();
        if (passedOver > 0)
            SetStatus(lblStatus->text() +
                      QStringLiteral(" Bred from the first four liked children."));
    } catch (const std::exception& failure) {
        SetStatus(QString::fromLocal8Bit(failure.what()));
    }
}

void TfrmBreeder::btnBackClick() {
    if (!context_.history.CanGoBack())
        return;
    context_.history.Back();
    heard_ = -1;
    ShowGeneration();
}

void TfrmBreeder::btnForwardClick() {
    if (!context_.history.CanGoForward())
        return;
    context_.history.Forward();
    heard_ = -1;
    ShowGeneration();
}

void TfrmBreeder::ShowGeneration() {
    const Generation* shown = context_.history.Shown();
    std::vector<BreederTiles::Tile> tiles;
    if (shown)
        for (const BredChild& child : shown->children)
            tiles.push_back({NameText(child.sound), child.liked});
    tiles_->Show(tiles, heard_);
    btnBack->setEnabled(context_.history.CanGoBack());
    btnForward->setEnabled(context_.history.CanGoForward());
    btnBreed->setEnabled(!context_.history.Parents().empty());
    ShowHeardName();
    if (!shown) {
        SetStatus(context_.history.Parents().empty()
                      ? QStringLiteral("Add one to four parents, then press Breed.")
                      : QStringLiteral("Press Breed for the first generation."));
        return;
    }
    edtSeed->setText(QString::number(shown->seed));
    edtSeed->setModified(false);
    SetStatus(QStringLiteral("Generation %1, seed %2, mutation %3, bred from %4. Keys 1..9 "
                             "and 0 play a child, * likes it.")
                  .arg(shown->number)
                  .arg(shown->seed)
                  .arg(shown->mutation)
                  .arg(shown->parents.size() == 1
                           ? QStringLiteral("1 parent")
                           : QStringLiteral("%1 parents").arg(shown->parents.size())));
}

// ---- Children ---------------------------------------------------------------------

const BredChild* TfrmBreeder::Child(int index) const {
    const Generation* shown = context_.history.Shown();
    if (!shown || index < 0 || index >= static_cast<int>(shown->children.size()))
        return nullptr;
    return &shown->children[static_cast<std::size_t>(index)];
}

void TfrmBreeder::PlayChild(int index) {
    if (!Child(index))
        return;
    heard_ = index;
    tiles_->SetHeard(heard_);
    ShowHeardName();
    sender_->Offer(index);
}

std::size_t TfrmBreeder::SendChild(int index) {
    const BredChild* child = Child(index);
    if (!child)
        return 0;
    try {
        SendEditBufferDump(context_.out, child->sound);
    } catch (const std::exception& failure) {
        SetStatus(QString::fromLocal8Bit(failure.what()));
    }
    return EditBufferDumpBytes;
}

void TfrmBreeder::ToggleLiked(int index) {
    const BredChild* child = Child(index);
    if (!child)
        return;
    context_.history.SetLiked(static_cast<std::size_t>(index), !child->liked);
    ShowGeneration();
}

void TfrmBreeder::ShowHeardName() {
    const BredChild* child = Child(heard_);
    edtName->setEnabled(child != nullptr);
    btnEdit->setEnabled(child != nullptr);
    btnKeep->setEnabled(child != nullptr);
    if (btnKeepInCatalogue)
        btnKeepInCatalogue->setEnabled(child != nullptr);
    edtName->setText(child ? NameText(child->sound) : QString());
}

void TfrmBreeder::NameEdited(const QString& text) {
    if (!Child(heard_))
        return;
    context_.history.Rename(static_cast<std::size_t>(heard_), Utf16ToName(text.toStdU16String()));
    tiles_->SetName(heard_, NameText(Child(heard_)->sound));
}

void TfrmBreeder::btnEditClick() {
    const BredChild* child = Child(heard_);
    if (!child)
        return;
    childToEdit_ = child->sound;
    done(EditResult);
}

void TfrmBreeder::btnKeepClick() {
    const BredChild* child = Child(heard_);
    const int slot = cmbKeepSlot->currentIndex();
    if (!child || !context_.keep || !Slots::IsValid(slot))
        return;
    try {
        if (!context_.keep(slot, child->sound))
            return;
        cmbKeepSlot->setItemText(slot, SlotText(context_.library, slot));
        cmbLibrarySound->setItemText(slot, SlotText(context_.library, slot));
        SetStatus(QStringLiteral("Kept \"%1\" in %2.")
                      .arg(NameText(child->sound), FromStd(Slots::Caption(slot))));
        // The next child goes into the next row, not over this one.
        if (slot + 1 < Slots::Count)
            cmbKeepSlot->setCurrentIndex(slot + 1);
    } catch (const std::exception& failure) {
        SetStatus(QString::fromLocal8Bit(failure.what()));
    }
}

void TfrmBreeder::btnKeepInCatalogueClick() {
    const BredChild* child = Child(heard_);
    SoundCatalogue* catalogue = child && context_.catalogue ? context_.catalogue() : nullptr;
    if (!catalogue)
        return;
    try {
        catalogue->AddSound(child->sound, "Sound Breeder");
        SetStatus(QStringLiteral("Kept \"%1\" in the catalogue.").arg(NameText(child->sound)));
    } catch (const std::exception& failure) {
        SetStatus(QString::fromLocal8Bit(failure.what()));
    }
}

void TfrmBreeder::SetStatus(const QString& text) {
    lblStatus->setText(text);
}

bool TfrmBreeder::eventFilter(QObject* watched, QEvent* event) {
    const bool focusIn = event->type() == QEvent::FocusIn;
    if ((focusIn || event->type() == QEvent::FocusOut) && context_.setKeyboardOn &&
        context_.keyboardOn) {
        // Typing a name or a seed must not play notes.
        if (focusIn && context_.keyboardOn()) {
            keyboardOffByField_ = true;
            context_.setKeyboardOn(false);
        } else if (!focusIn && keyboardOffByField_) {
            keyboardOffByField_ = false;
            context_.setKeyboardOn(true);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmBreeder::done(int result) {
    if (keyboardOffByField_ && context_.setKeyboardOn)
        context_.setKeyboardOn(true);
    keyboardOffByField_ = false;
    sender_->Flush();
    QDialog::done(result);
}
