#include "main_window.h"

#include "builtin_instrument_service.h"
#include "file_chooser.h"
#include "find_bar.h"
#include "frm_catalogue.h"
#include "frm_settings.h"
#include "frm_sysex_receiver.h"
#include "help_pages.h"
#include "instrument_commands.h"
#include "key_tracker.h"
#include "keyboard_panel.h"
#include "library_commands.h"
#include "library_list.h"
#include "library_table_view.h"
#include "main_editor_host.h"
#include "message_memo.h"
#include "midi_ports.h"
#include "prompter.h"
#include "sound_reorderer.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace {
constexpr int WindowWidth = 787;
constexpr int WindowHeight = 535;
constexpr int MessagePanelWidth = 219;
constexpr int NameColumnWidth = 150;
constexpr int StatusColumnWidth = 70;
constexpr int ToolbarGroupGap = 16;

QPushButton* MakeButton(const char* objectName, const QString& caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setFocusPolicy(Qt::NoFocus); // keys belong to the window and the list
    button->setEnabled(false);           // enabled by the command that drives it
    return button;
}
} // namespace

TfrmMain::TfrmMain(Prompter* prompter, FileChooser* fileChooser, MidiService* midi, QWidget* parent)
    : QMainWindow(parent),
      ownPrompter_(prompter ? nullptr : std::make_unique<MessageBoxPrompter>(this)),
      ownFileChooser_(fileChooser ? nullptr : std::make_unique<DialogFileChooser>(this)),
      prompter_(prompter ? prompter : ownPrompter_.get()),
      fileChooser_(fileChooser ? fileChooser : ownFileChooser_.get()),
      ownMidi_(midi ? nullptr : MakeBuiltInInstrumentService(nullptr)),
      midi_(midi ? midi : ownMidi_.get()), list_(std::make_unique<LibraryList>(library_)) {
    setObjectName(QStringLiteral("TfrmMain"));
    setWindowTitle(QStringLiteral("Tonewright - Sound Editor - Sound Restrictioned Randomizer"));

    CreateMenus();

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(CreateToolbar());
    auto* client = new QHBoxLayout;
    client->setSpacing(4);
    client->addWidget(CreateMessagePanel());
    // The find bar sits above the list, hidden until Find.
    auto* listColumn = new QVBoxLayout;
    listColumn->setSpacing(2);
    findBar_ = new FindBar;
    listColumn->addWidget(findBar_);
    listColumn->addWidget(CreateListView(), 1);
    client->addLayout(listColumn, 1);
    layout->addLayout(client, 1);
    setCentralWidget(central);
    viewport_ = std::make_unique<TableViewport>(*ListView1);
    reorderer_ =
        std::make_unique<SoundReorderer>(library_, *list_, *viewport_, *prompter_,
                                         [this](const QString& line) { LogMessage(line); });
    // The window's own parts come first: every command finds them, whatever
    // step of the start-up fails.
    CreatePorts();
    CreateCommands();
    ConnectLibraryCommands();
    ConnectInstrumentCommands();
    ConnectDeviceTools();
    ConnectSoundTools();
    ConnectCatalogue();
    // Replies that open a window do so from here, once the wait box is gone.
    tmrWindows = new QTimer(this);
    tmrWindows->setObjectName(QStringLiteral("tmrWindows"));
    tmrWindows->setSingleShot(true);
    connect(tmrWindows, &QTimer::timeout, this, &TfrmMain::tmrWindowsTimer);

    StartUp();
    if (ports_)
        CreateKeyboard(*layout);

    resize(WindowWidth, WindowHeight);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

TfrmMain::~TfrmMain() {
    // A note still sounding gets its note-off while the output is open.
    if (pnlKeyboard)
        pnlKeyboard->ReleaseAllNotes();
    // The wait box, the commands and the catalogue window work on the ports: they go first.
    delete frmCatalogue;
    frmCatalogue = nullptr;
    delete frmSysExReceiver;
    frmSysExReceiver = nullptr;
    instrument_.reset();
    commands_.reset();
    reorderer_.reset();
    viewport_.reset();
    ports_.reset(); // closes the inputs, then the output
    editorHost_.reset();
    // The view holds the list's selection model; let it go first.
    delete ListView1;
    ListView1 = nullptr;
}

void TfrmMain::CreateKeyboard(QVBoxLayout& layout) {
    pnlKeyboard = new KeyboardPanel(*ports_, centralWidget());
    pnlKeyboard->SetFailureLog([this](const QString& line) { LogMessage(line); });
    layout.addWidget(pnlKeyboard);
    pnlKeyboard->BindMenuItem(actKeyboard); // checked at start; Ctrl+K and "Hide keyboard" toggle
    // Keys reach the window before any control: X and Z with any modifier,
    // the note keys a, e, d, f, g, h swallowed.
    // Letters typed into the find bar are its text, not notes or octaves.
    new WindowKeyPreview(this, [this](QKeyEvent* event) {
        return !findBar_->TypingText() && pnlKeyboard->HandleKey(event);
    });
    connect(actMidiSettings, &QAction::triggered, this, [this] { MidiSettingsClick({}); });
    actMidiSettings->setEnabled(true);
}

void TfrmMain::MidiSettingsClick(const QString& introduction) {
    RunCommand([&] {
        // Notes end on the old output before the ports change; the
        // choice is kept at once, not only when the program closes.
        if (ShowMidiSettings(
                this, *ports_, FallBackToBuiltInOutput, [this] { pnlKeyboard->ReleaseAllNotes(); },
                introduction))
            if (const QString error = WriteSettings(); !error.isEmpty())
                LogMessage(error);
    });
}

void TfrmMain::OfferMidiSettingsOnFirstStart() {
    if (!firstStart_ || !pnlKeyboard)
        return;
    firstStart_ = false;
    MidiSettingsClick(FirstStartIntroduction());
}

QAction* TfrmMain::AddAction(QMenu* menu, const char* objectName, const QString& caption,
                             const QKeySequence& shortcut) {
    auto* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(objectName));
    action->setShortcut(shortcut);
    action->setEnabled(false); // enabled once its command is connected
    return action;
}

void TfrmMain::CreateMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    actReadCurrentSound =
        AddAction(file, "actReadCurrentSound", QStringLiteral("Read Current Sound (SysEx)"),
                  QKeySequence(Qt::CTRL | Qt::Key_R));
    QMenu* readBank = file->addMenu(QStringLiteral("Read Sound Bank (SysEx) from Mopho"));
    readBank->setObjectName(QStringLiteral("mnuReadSoundBank"));
    actReadBankA = AddAction(readBank, "actReadBankA", QStringLiteral("Bank A"));
    actReadBankB = AddAction(readBank, "actReadBankB", QStringLiteral("Bank B"));
    actReadBankC = AddAction(readBank, "actReadBankC", QStringLiteral("Bank C"));
    actReadAllBanks = AddAction(file, "actReadAllBanks",
                                QStringLiteral("Read All Sound Banks (SysEx) from Mopho"));
    file->addSeparator();
    actNewEmptyBanks = AddAction(file, "actNewEmptyBanks", QStringLiteral("New empty Sound Banks"));
    actLoadBankFile =
        AddAction(file, "actLoadBankFile", QStringLiteral("Load from file Sound Banks"),
                  QKeySequence(Qt::CTRL | Qt::Key_L));
    actSaveBankFile = AddAction(file, "actSaveBankFile", QStringLiteral("Save to file Sound Banks"),
                                QKeySequence(Qt::CTRL | Qt::Key_S));
    actSaveSelectedSounds =
        AddAction(file, "actSaveSelectedSounds", QStringLiteral("Save Selected Sounds"));
    actSaveSeparateFiles = AddAction(file, "actSaveSeparateFiles",
                                     QStringLiteral("Save to separate file Sound Banks"));
    file->addSeparator();
    actSendSysExFile = AddAction(file, "actSendSysExFile", QStringLiteral("Send SysEx from file"));
    actSendSelectedSounds =
        AddAction(file, "actSendSelectedSounds", QStringLiteral("Send SysEx for selected sounds"),
                  QKeySequence(Qt::CTRL | Qt::Key_W));
    file->addSeparator();
    actExit = AddAction(file, "actExit", QStringLiteral("E&xit"));
    actExit->setEnabled(true);
    connect(actExit, &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    actSelectAllSounds = AddAction(edit, "actSelectAllSounds", QStringLiteral("Select All Sounds"),
                                   QKeySequence(Qt::CTRL | Qt::Key_A));
    actSelectAllChangedSounds =
        AddAction(edit, "actSelectAllChangedSounds", QStringLiteral("Select All Changed Sounds"));
    actKeyboard = AddAction(edit, "actKeyboard", QStringLiteral("Keyboard"),
                            QKeySequence(Qt::CTRL | Qt::Key_K));
    actKeyboard->setCheckable(true);
    CreateLibraryToolMenus(*edit);

    QMenu* system = menuBar()->addMenu(QStringLiteral("&System"));
    actMidiSettings = AddAction(system, "actMidiSettings", QStringLiteral("Midi &Settings ..."),
                                QKeySequence(Qt::CTRL | Qt::Key_D));
    actTonewrightSettings =
        AddAction(system, "actTonewrightSettings", QStringLiteral("&Tonewright Settings"));
    ConnectCommand(actTonewrightSettings, [this] { TonewrightSettingsClick(); });
    actTonewrightSettings->setEnabled(true);
    actDeviceVersion = AddAction(system, "actDeviceVersion", QStringLiteral("Device Version"));
    actGlobalSettings = AddAction(system, "actGlobalSettings", QStringLiteral("Global settings"));
    actVirtualPanel =
        AddAction(system, "actVirtualPanel", QStringLiteral("Virtual Mopho Panel..."));
    connect(system, &QMenu::aboutToShow, this,
            [this] { actVirtualPanel->setEnabled(BuiltInInstrumentInUse()); });

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    actOrderByName = AddAction(tools, "actOrderByName", QStringLiteral("Order by name"));
    EditEditBuffer1 = AddAction(tools, "EditEditBuffer1", QStringLiteral("Edit \"Edit Buffer\""),
                                QKeySequence(Qt::Key_F4));
    actQMorph = AddAction(tools, "actQMorph", QStringLiteral("Q-Morph"));
    actLocker = AddAction(tools, "actLocker", QStringLiteral("Sound Parameter Locker - Randomizer"),
                          QKeySequence(Qt::CTRL | Qt::Key_O));
    actBreeder = AddAction(tools, "actBreeder", QStringLiteral("Sound Breeder"),
                           QKeySequence(Qt::CTRL | Qt::Key_B));
    actCopySound = AddAction(tools, "actCopySound", QStringLiteral("Copy Sound"));
    actCompareSounds = AddAction(tools, "actCompareSounds", QStringLiteral("Compare Sounds"));
    // Ctrl+K is the note player's already.
    actSoundCatalogue = AddAction(tools, "actSoundCatalogue", QStringLiteral("Sound Catalogue"),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K));
    actPanic = AddAction(tools, "actPanic", QStringLiteral("Panic"), QKeySequence(Qt::Key_F12));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    actAbout = AddAction(help, "actAbout", QStringLiteral("About"));
    actShortHelp =
        AddAction(help, "actShortHelp", QStringLiteral("Short help"), QKeySequence(Qt::Key_F1));
    ConnectCommand(actAbout, [this] { AboutClick(); });
    ConnectCommand(actShortHelp, [this] { ShortHelpClick(); });
    actAbout->setEnabled(true);
    actShortHelp->setEnabled(true);
    QMenu* videos = help->addMenu(QStringLiteral("Video demonstrations"));
    videos->setObjectName(QStringLiteral("mnuVideos"));
    actHowToUse1 = AddAction(videos, "actHowToUse1", QStringLiteral("How to use #1"));
    actHowToUse2 = AddAction(videos, "actHowToUse2", QStringLiteral("How to use #2"));
    actFavoriteSounds =
        AddAction(videos, "actFavoriteSounds", QStringLiteral("DSI Mopho My Favorite Sounds"));
    actWebPage = AddAction(help, "actWebPage", QStringLiteral("Tonewright web page"));
    // The user guide installed with the program, in the system's browser.
    const auto openPage = [this](QAction* action, HelpPage page) {
        connect(action, &QAction::triggered, this, [this, page] {
            OpenHelpPage(page, [this](const QString& line) { LogMessage(line); });
        });
        action->setEnabled(true);
    };
    openPage(actHowToUse1, HelpPage::HowToUse1);
    openPage(actHowToUse2, HelpPage::HowToUse2);
    openPage(actFavoriteSounds, HelpPage::FavoriteSounds);
    openPage(actWebPage, HelpPage::WebPage);
}

QWidget* TfrmMain::CreateToolbar() {
    btnReadBanks = MakeButton("btnReadBanks", QStringLiteral("Read banks from Mopho"));
    btnSendPatch = MakeButton("btnSendPatch", QStringLiteral("Send selected sounds to Mopho"));
    btnDown = MakeButton("btnDown", QStringLiteral("Move down"));
    btnUP = MakeButton("btnUP", QStringLiteral("Move up"));
    btnPrgDown = MakeButton("btnPrgDown", QStringLiteral("Prg -"));
    btnPrgUp = MakeButton("btnPrgUp", QStringLiteral("Prg +"));
    btnEditSound = MakeButton("btnEditSound", QStringLiteral("Edit Sound (F4)"));
    btnQMorph = MakeButton("btnQMorph", QStringLiteral("Q-Morph"));
    btnLocker = MakeButton("btnLocker", QStringLiteral("Locker"));
    btnPanic = MakeButton("btnPanic", QStringLiteral("PanicF12"));

    // Three rows of button groups; a gap separates the groups of a row.
    const std::vector<std::vector<std::vector<QPushButton*>>> rows = {
        {{btnReadBanks, btnSendPatch}, {btnDown, btnUP}},
        {{btnPrgDown, btnPrgUp}, {btnEditSound, btnQMorph}},
        {{btnLocker}, {btnPanic}},
    };
    auto* toolbar = new QWidget;
    toolbar->setObjectName(QStringLiteral("ToolBar1"));
    toolbar->setAccessibleName(QStringLiteral("Toolbar"));
    auto* column = new QVBoxLayout(toolbar);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    for (const auto& groups : rows) {
        auto* row = new QHBoxLayout;
        row->setSpacing(2);
        for (std::size_t g = 0; g < groups.size(); ++g) {
            if (g > 0)
                row->addSpacing(ToolbarGroupGap);
            for (QPushButton* button : groups[g])
                row->addWidget(button);
        }
        row->addStretch(1);
        column->addLayout(row);
    }
    return toolbar;
}

QWidget* TfrmMain::CreateMessagePanel() {
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("pnlMessages"));
    panel->setFixedWidth(MessagePanelWidth);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* label = new QLabel(QStringLiteral("Messages"));
    label->setObjectName(QStringLiteral("lblMessages"));
    Memo1 = new MessageMemo;
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("Messages"));
    label->setBuddy(Memo1);
    layout->addWidget(label);
    layout->addWidget(Memo1, 1);
    return panel;
}

QTableView* TfrmMain::CreateListView() {
    ListView1 = new LibraryTableView;
    ListView1->installEventFilter(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setAccessibleName(QStringLiteral("Sound library"));
    ListView1->setModel(list_.get());
    ListView1->setSelectionModel(list_->selectionModel());
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setShowGrid(true);
    ListView1->setWordWrap(false);
    ListView1->setTabKeyNavigation(false);
    ListView1->verticalHeader()->hide();
    QHeaderView* header = ListView1->horizontalHeader();
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(false);
    ListView1->setColumnWidth(LibraryList::NameColumn, NameColumnWidth);
    ListView1->setColumnWidth(LibraryList::StatusColumn, StatusColumnWidth);
    // The name takes the width the other columns leave, never less than its own.
    header->setMinimumSectionSize(std::min(header->minimumSectionSize(), StatusColumnWidth));
    header->setSectionResizeMode(LibraryList::NameColumn, QHeaderView::Stretch);
    ListView1->setMinimumWidth(NameColumnWidth + 2 * StatusColumnWidth);
    // A list, not a spreadsheet: rows as tall as a line of text.
    ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ListView1->verticalHeader()->setDefaultSectionSize(ListView1->fontMetrics().height() + 4);
    return ListView1;
}

void TfrmMain::EnableRowCommands() {
    for (QAction* action : rowActions_)
        action->setEnabled(library_.SlotCount() > 0);
    for (QPushButton* button : rowButtons_)
        button->setEnabled(library_.SlotCount() > 0);
}

void TfrmMain::LogMessage(const QString& text) {
    Memo1->LogMessage(text);
}

void TfrmMain::ConnectCommand(QAction* action, std::function<void()> command) {
    connect(action, &QAction::triggered, this,
            [this, command = std::move(command)] { RunCommand(command); });
}
