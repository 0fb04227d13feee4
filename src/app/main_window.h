#pragma once

#include "app_settings.h"
#include "breeding_history.h"
#include "library_history.h"
#include "receive_dispatch.h"
#include "schema.h"
#include "sound_library.h"
#include "sysex_messages.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class FileChooser;
class ImportChooser;
class SoundCatalogue;
class TfrmCatalogue;
class FindBar;
class LibraryList;
class MessageMemo;
class MidiPorts;
class InstrumentCommands;
class LibraryCommands;
class MidiService;
class Prompter;
class QAction;
class QMenu;
class QPushButton;
class QTableView;
class KeyboardPanel;
class LibraryTableView;
class MainEditorHost;
class TfrmPatchEdit;
class QTimer;
class QVBoxLayout;
class QKeyEvent;
class SoundReorderer;
class TableViewport;
class TfrmSysExReceiver;

// The main window: the library's list, the toolbar, the menus, the message
// panel and the tool windows. The commands themselves live in two objects
// the window drives: LibraryCommands (files, selections, finding) and
// InstrumentCommands (reading, sending, program changes, requests); sounds
// are moved by the SoundReorderer. The window only connects its menu items,
// buttons and keys to them and shows what they report.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // Without a prompter or file chooser the window uses message boxes and file
    // dialogs; without a MIDI service it talks to the built-in instrument only.
    explicit TfrmMain(Prompter* prompter = nullptr, FileChooser* fileChooser = nullptr,
                      MidiService* midi = nullptr, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // What the window shows and drives (tests prepare and inspect them directly).
    TSoundLibrary& Library() { return library_; }
    LibraryList& List() { return *list_; }
    LibraryHistory& History() { return history_; }
    LibraryCommands& Commands() { return *commands_; }
    InstrumentCommands& Instrument() { return *instrument_; }
    MidiPorts& Ports() { return *ports_; }
    TfrmSysExReceiver* WaitBox() { return frmSysExReceiver; }
    // No output could be opened at start-up, not even the built-in
    // instrument's: the program ends.
    bool MidiOpenFailed() const { return midiOpenFailed_; }
    TAppSettings& Settings() { return settings_; }
    // What the editor derives sound family schemas with: the four stored
    // tolerances come from the settings and go back to them.
    SchemaTolerances& Tolerances() { return schemaTolerances_; }
    // "dsi_mopho.ini" in the program's folder.
    QString SettingsPath() const;

    // Settings and autoload: read at start-up, written once at close.
    void LoadSettings();
    // The instrument's MIDI channel, 0..15, that every channel message goes
    // out on; UseMidiChannel takes a new one (1..16) for the settings and
    // the note player.
    int InstrumentChannel() const { return settings_.MidiChannel - 1; }
    void UseMidiChannel(int channel);
    void SaveSettings();
    // Writes the file now (the MIDI settings on OK); returns a failure's text.
    QString WriteSettings();
    // The close has saved the settings already (a second close attempt
    // does not save them again).
    bool SettingsSaved() const { return settingsSaved_; }
    // No settings file was found at start: the built-in instrument is in use.
    bool FirstStart() const { return firstStart_; }
    // On a first start, the MIDI settings dialog with a word on the built-in
    // instrument; Cancel keeps it. Does nothing on later starts.
    void OfferMidiSettingsOnFirstStart();
    // "Midi Settings ...", with `introduction` as a line above the ports.
    void MidiSettingsClick(const QString& introduction);

    void LogMessage(const QString& text);

    // A left click on a row: that row's program on the instrument.
    void ListLeftClicked();
    void RenameCurrentRow();
    // "Virtual Mopho Panel...": a knob or program change played on the
    // built-in instrument's panel, while its input is the one in use.
    void VirtualPanelClick();
    bool BuiltInInstrumentInUse() const;

protected:
    // The close query: settings saved, the autoload file saved on request.
    void closeEvent(QCloseEvent* event) override;
    // Becoming the active window gives an empty list a current row.
    void changeEvent(QEvent* event) override;
    // The window sees the list's keys first.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The start-up sequence; a failing step ends it with one memo line.
    void StartUp();
    void CreatePorts();
    void CreateCommands();
    void CreateKeyboard(QVBoxLayout& layout);
    void OpenMidiPorts();
    void CreateMenus();
    QWidget* CreateToolbar();
    QWidget* CreateMessagePanel();
    QTableView* CreateListView();
    // The File, Edit and Tools items and buttons that run library and
    // instrument commands.
    void ConnectLibraryCommands();
    void ConnectInstrumentCommands();
    void CreateLibraryToolMenus(QMenu& edit);
    // Copy Sound, Global settings and the Virtual Mopho Panel.
    void ConnectDeviceTools();
    // Q-Morph's and the locker's menu items and toolbar buttons, the breeder, Compare.
    void ConnectSoundTools();
    // The catalogue's menu item, and sounds dropped on the list from its window.
    void ConnectCatalogue();
    // Enables the items that need rows when there are rows.
    void EnableRowCommands();
    void UpdateUndoActions();

    // System and Help menu commands.
    void TonewrightSettingsClick();
    void ShortHelpClick();
    void AboutClick();
    // "Edit Sound (F4)": asks for the instrument's edit buffer; the reply
    // opens the sound editor.
    void EditSoundClick();
    // "Sound Parameter Locker - Randomizer": asks for the instrument's edit
    // buffer; the reply opens the locker on it.
    void LockerClick();
    void QMorphClick();
    // "Sound Breeder": children of the selected sounds (or of the parents
    // chosen before), modal; "Edit" opens the editor on the child.
    void BreederClick();
    void CopySoundClick();
    // "Compare Sounds": the two selected sounds side by side, modal.
    void CompareSoundsClick();
    // "Sound Catalogue": its window, opened on the catalogue in the user's data folder.
    void SoundCatalogueClick();
    // The catalogue in the user's data folder, opened on first use (one that
    // cannot be opened is explained and may be set aside); null when there is
    // none to be had. Every window of the program shares this one.
    SoundCatalogue* OpenedCatalogue();
    // A modal window blocks every window but its own: the open panel moves
    // onto `owner` (the editor while it runs, then the main window).
    void MoveVirtualPanelTo(QWidget* owner);

    // The instrument's globals are in: their window opens once the wait box is gone.
    void TakeGlobals(const std::array<int, GlobalsCount>& values);
    // The global settings window on `values`, modal.
    void OpenGlobalSettings(const std::array<int, GlobalsCount>& values);
    // The sound editor on `sound`, modal; Yes on closing keeps the edited
    // sound in the current row's slot.
    void OpenEditorWithCurrentSound(const TSoundRecord& sound);
    // The parameter locker on `sound`, modal; "Keep in library" keeps its
    // working sound in the current row's slot.
    void OpenLockerWithCurrentSound(const TSoundRecord& sound);
    // The breeder, from the Tools menu or the editor: the child chosen with
    // "Edit", if any.
    std::optional<TSoundRecord> RunBreeder(std::optional<TSoundRecord> editorSound,
                                           std::optional<SchemaList> editorSchema);
    // A bred child into `slot` as one undo step; the row after it becomes
    // current.
    bool KeepBredSound(int slot, const TSoundRecord& sound);
    // Sounds into library rows, each marked "Changed", as one undo step.
    void PlaceSounds(const std::vector<std::pair<int, TSoundRecord>>& placements);
    // The window a received edit buffer is for, once the wait box is gone.
    void tmrWindowsTimer();
    void OpenReceivedWindows();
    // The current row's slot, or the first row's when none is current.
    int CurrentRowOrFirst();
    // Keypad +/- (with Ctrl: move), Enter; true when the key was a command.
    bool HandleLibraryKey(QKeyEvent* event);
    QAction* AddAction(QMenu* menu, const char* objectName, const QString& caption,
                       const QKeySequence& shortcut = {});
    // Runs a command as one undo step, turning any failure into one memo line.
    template <typename Command> void RunCommand(Command command) {
        const LibraryHistory::Step step(history_);
        try {
            command();
        } catch (const std::exception& failure) {
            LogMessage(QString::fromLocal8Bit(failure.what()));
        }
    }
    // `action` runs `command` as one undo step.
    void ConnectCommand(QAction* action, std::function<void()> command);
    void FindTextChanged(const QString& text);
    void FindClick();
    void FindNextClick();
    void SelectAllMatchesClick();

    // Menu items, toolbar buttons and panels (object names as the members).
    QAction* actReadCurrentSound = nullptr;
    QAction* actReadAllBanks = nullptr;
    QAction* actLoadBankFile = nullptr;
    QAction* actSendSelectedSounds = nullptr;
    QAction* actSelectAllSounds = nullptr;
    QAction* actDeviceVersion = nullptr;
    MessageMemo* Memo1 = nullptr;
    QAction* actReadBankA = nullptr;
    QAction* actReadBankB = nullptr;
    QAction* actReadBankC = nullptr;
    QAction* actNewEmptyBanks = nullptr;
    QAction* actSaveBankFile = nullptr;
    QAction* actSaveSelectedSounds = nullptr;
    QAction* actSaveSeparateFiles = nullptr;
    QAction* actSendSysExFile = nullptr;
    QAction* actExit = nullptr;
    QAction* actSelectAllChangedSounds = nullptr;
    QAction* actKeyboard = nullptr;
    QAction* actUndo = nullptr;
    QAction* actRedo = nullptr;
    QAction* actFind = nullptr;
    QAction* actFindNext = nullptr;
    QAction* actSelectDuplicates = nullptr;
    FindBar* findBar_ = nullptr;
    QAction* actMidiSettings = nullptr;
    QAction* actTonewrightSettings = nullptr;
    QAction* actGlobalSettings = nullptr;
    QAction* actVirtualPanel = nullptr;
    QPointer<QWidget> virtualPanel_;
    QAction* actOrderByName = nullptr;
    QAction* EditEditBuffer1 = nullptr;
    QAction* actQMorph = nullptr;
    QAction* actLocker = nullptr;
    QAction* actBreeder = nullptr;
    QAction* actCopySound = nullptr;
    QAction* actCompareSounds = nullptr; // enabled while exactly two rows are selected
    QAction* actSoundCatalogue = nullptr;
    QAction* actPanic = nullptr;
    QAction* actAbout = nullptr;
    QAction* actShortHelp = nullptr;
    QAction* actHowToUse1 = nullptr;
    QAction* actHowToUse2 = nullptr;
    QAction* actFavoriteSounds = nullptr;
    QAction* actWebPage = nullptr;
    QPushButton* btnReadBanks = nullptr;
    QPushButton* btnSendPatch = nullptr;
    QPushButton* btnDown = nullptr;
    QPushButton* btnUP = nullptr;
    QPushButton* btnPrgDown = nullptr;
    QPushButton* btnPrgUp = nullptr;
    QPushButton* btnEditSound = nullptr;
    QPushButton* btnQMorph = nullptr;
    QPushButton* btnLocker = nullptr;
    QPushButton* btnPanic = nullptr;
    KeyboardPanel* pnlKeyboard = nullptr;
    LibraryTableView* ListView1 = nullptr;

    bool settingsSaved_ = false;
    // The autoload file was there at start but could not be read, or held
    // records that were left out: saving would replace what it holds.
    bool autoloadFailed_ = false;
    // No settings file at start: the MIDI settings are offered once.
    bool firstStart_ = false;
    TSoundLibrary library_;
    LibraryHistory history_{library_};
    std::unique_ptr<Prompter> ownPrompter_;
    std::unique_ptr<FileChooser> ownFileChooser_;
    Prompter* prompter_;
    FileChooser* fileChooser_;
    std::unique_ptr<MidiService> ownMidi_;
    MidiService* midi_;
    std::unique_ptr<MidiPorts> ports_;
    bool midiOpenFailed_ = false;
    std::unique_ptr<LibraryList> list_;
    std::unique_ptr<LibraryCommands> commands_;
    std::unique_ptr<InstrumentCommands> instrument_;
    std::unique_ptr<TableViewport> viewport_;
    std::unique_ptr<SoundReorderer> reorderer_;
    TfrmSysExReceiver* frmSysExReceiver = nullptr;
    // An edit buffer received for the editor, opened by tmrWindows.
    std::optional<TSoundRecord> editorSound_;
    // Globals received, for their window, opened by tmrWindows.
    std::optional<std::array<int, GlobalsCount>> receivedGlobals_;
    // An edit buffer received for the locker, opened by tmrWindows.
    std::optional<TSoundRecord> lockerSound_;
    QTimer* tmrWindows = nullptr;
    std::unique_ptr<MainEditorHost> editorHost_;
    // The breeder's parents and generations, and the sections the locker and
    // the breeder keep: both last for the program's run.
    BreedingHistory breeding_;
    LockedGroups soundLocks_{};
    // The editor while it is open: it follows the instrument's panel.
    QPointer<TfrmPatchEdit> openEditor_;
    // Opened by the first use of "Sound Catalogue", kept for the program's run.
    std::unique_ptr<SoundCatalogue> catalogue_;
    std::unique_ptr<ImportChooser> importChooser_;
    TfrmCatalogue* frmCatalogue = nullptr;
    // The location "Send Sound to Mopho" presets in the editor.
    int lastSendLocation_ = 0;
    TAppSettings settings_;
    SchemaTolerances schemaTolerances_;
    QString programFolder_;
    // Items that need library rows; RebuildList enables them when there are rows.
    std::vector<QAction*> rowActions_;
    std::vector<QPushButton*> rowButtons_;
};
