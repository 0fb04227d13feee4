#pragma once

#include "app_settings.h"
#include "breeding_history.h"
#include "library_files.h"
#include "library_history.h"
#include "midi_error.h"
#include "saved_library_state.h"
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
class InstrumentExchange;
enum class ReplyKind;
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
class ReceiveDispatcher;
class SoundReorderer;
class TableViewport;
class TfrmSysExReceiver;

// The main window: the sound library, its list, the message panel and every
// library command.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // Without a prompter or file chooser the window uses message boxes and file
    // dialogs; without a MIDI service it talks to the built-in instrument only.
    explicit TfrmMain(Prompter* prompter = nullptr, FileChooser* fileChooser = nullptr,
                      MidiService* midi = nullptr, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The library, ports and settings the commands work on (tests prepare
    // them directly).
    TSoundLibrary& Library() { return library_; }
    LibraryList& List() { return *list_; }
    MidiPorts& Ports() { return *ports_; }
    // No output could be opened at start-up, not even the built-in
    // instrument's: the program ends.
    bool MidiOpenFailed() const { return midiOpenFailed_; }
    TAppSettings& Settings() { return settings_; }
    // What the editor derives sound family schemas with: the four stored
    // tolerances come from the settings and go back to them.
    SchemaTolerances& Tolerances() { return schemaTolerances_; }
    ReceiveDispatcher& Dispatcher() { return *dispatcher_; }
    // The request-and-reply conversation with the instrument.
    InstrumentExchange& Exchange() { return *exchange_; }
    TfrmSysExReceiver* WaitBox() { return frmSysExReceiver; }
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
    // Milliseconds waited after each sound sent (300 at start-up).
    int SendDelay() const { return sendDelay_; }
    void SetSendDelay(int milliseconds) { sendDelay_ = milliseconds; }

    void InitEmptyBanks();
    void RebuildList();
    void CollectSelection();
    void LogMessage(const QString& text);

    // Sounds moved, renamed, read or edited since the last load or save.
    bool HasUnsavedChanges() const { return saved_.HasUnsavedChanges(library_); }

    // Bank files: LoadBankFile and SaveBankFile rebuild the list and forget the selection.
    void LoadBankFile(const QString& path);
    void SaveBankFile(const QString& path);

    // File and Edit menu commands.
    void NewEmptySoundBanksClick();
    void LoadFromFileClick();
    void SaveToFileClick();
    void SaveSelectedSoundsClick();
    void SaveSeparateFilesClick();
    void SendSysExFromFileClick();
    void SelectAllSounds();
    void SelectAllChangedSounds();

    // Undo and redo of the library's contents and order; every command that
    // changes them is one step.
    LibraryHistory& History() { return history_; }
    void UndoClick();
    void RedoClick();
    // Finding sounds by name in the bar above the list.
    void FindClick();
    void FindNextClick();
    void SelectAllMatchesClick();
    // Selects every sound that repeats an earlier one and lists the pairs.
    void SelectDuplicateSoundsClick();

    // Commands that talk to the instrument.
    void ReadCurrentSoundClick();
    void ReadBankClick(int bank);
    void ReadAllBanksClick();
    void SendSelectedSoundsClick();
    // After sending, with "Verify sounds after sending": reads the sounds back
    // and writes a memo line for each that differs from the library's.
    void ReadBackSentSounds(const std::vector<int>& slots);
    void PrgDownClick();
    void PrgUpClick();
    void PanicClick();
    // "Edit Sound (F4)": asks for the instrument's edit buffer; the reply
    // opens the sound editor.
    void EditSoundClick();
    // "Q-Morph": the morph between two library sounds, modal.
    void QMorphClick();
    // "Sound Parameter Locker - Randomizer": asks for the instrument's edit
    // buffer; the reply opens the locker on it.
    void LockerClick();
    // "Sound Breeder": children of the selected sounds (or of the parents
    // chosen before), modal; "Edit" opens the editor on the child.
    void BreederClick();
    // A left click on a row: that row's program on the instrument.
    void ListLeftClicked();
    void RenameCurrentRow();
    SoundReorderer& Reorderer() { return *reorderer_; }

    // System and Help menu commands.
    void TonewrightSettingsClick();
    void DeviceVersionClick();
    // "Global settings": panic, then asks for the instrument's globals; the
    // reply opens the global settings window.
    void GlobalSettingsClick();
    // "Virtual Mopho Panel...": a knob or program change played on the
    // built-in instrument's panel, while its input is the one in use.
    void VirtualPanelClick();
    bool BuiltInInstrumentInUse() const;
    // A modal window blocks every window but its own: the open panel moves
    // onto `owner` (the editor while it runs, then the main window).
    void MoveVirtualPanelTo(QWidget* owner);
    // "Sound Catalogue": its window, opened on the catalogue in the user's data folder.
    void SoundCatalogueClick();
    // The catalogue in the user's data folder, opened on first use (one that
    // cannot be opened is explained and may be set aside); null when there is
    // none to be had. Every window of the program shares this one.
    SoundCatalogue* OpenedCatalogue();
    // "Copy Sound": the copy window, modal.
    void CopySoundClick();
    // "Compare Sounds": the two selected sounds side by side, modal.
    void CompareSoundsClick();
    void ShortHelpClick();
    void AboutClick();

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
    void CreateWaitBox();
    void CreateKeyboard(QVBoxLayout& layout);
    void OpenMidiPorts();
    // A SysEx message from the instrument, on the GUI thread.
    void HandleReply(const std::vector<std::uint8_t>& reply);
    // Starts an exchange with `ask` and shows the wait box until it ends;
    // false, with a memo line that starts with `nothingDone`, when nothing
    // could be asked.
    bool RunExchange(const std::function<MidiError()>& ask, const QString& nothingDone);
    // Asks once for one reply of `kind`.
    void RunRequestCycle(ReplyKind kind, std::vector<std::uint8_t> request);
    // A memo line when the exchange ended without its replies.
    void ReportExchangeEnd();
    // A memo line and a box naming the sounds a read did not bring.
    void ReportMissingSounds(const std::vector<int>& slots);
    // False, with a memo line "<what>: <why>.", when a send failed.
    bool SentOrSay(MidiError error, const QString& what);
    void CreateMenus();
    QWidget* CreateToolbar();
    QWidget* CreateMessagePanel();
    QTableView* CreateListView();
    void ConnectLibraryCommands();
    // Copy Sound and Global settings.
    void ConnectDeviceTools();
    // The instrument's globals are in: their window opens once the wait box is gone.
    void TakeGlobals(const std::array<int, GlobalsCount>& values);
    // The global settings window on `values`, modal.
    void OpenGlobalSettings(const std::array<int, GlobalsCount>& values);
    // Reads the sounds of `slots` from the instrument into the library.
    void ReadSounds(const std::vector<int>& slots);
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
    // Q-Morph's and the locker's menu items and toolbar buttons.
    void ConnectSoundTools();
    // The catalogue's menu item, and sounds dropped on the list from its window.
    void ConnectCatalogue();
    // Sounds into library rows, each marked "Changed", as one undo step.
    void PlaceSounds(const std::vector<std::pair<int, TSoundRecord>>& placements);
    // The window a received edit buffer is for, once the wait box is gone.
    void tmrWindowsTimer();
    void OpenReceivedWindows();
    // "Send 12 sounds into the Mopho's memory, A001 to C128?"
    static QString SendQuestion(const std::vector<int>& slots);
    // "1 sound", "12 sounds".
    static QString SoundCount(int count);
    // False, with a memo line that starts with `nothingDone`, when no output is open.
    bool OutputOpenOrSay(const QString& nothingDone);
    // Program change to CurrentSlot, and its sound to the edit buffer when chosen.
    void SelectCurrentSlot();
    // Keypad +/- (with Ctrl: move), Enter; true when the key was a command.
    bool HandleLibraryKey(QKeyEvent* event);
    // Waits while the window goes on painting and taking replies.
    void Pause(int milliseconds, bool userInput);
    QAction* AddAction(QMenu* menu, const char* objectName, const QString& caption,
                       const QKeySequence& shortcut = {});
    // Runs a command as one undo step, turning any failure into one memo line.
    template <typename Command> void RunCommand(Command command) {
        {
            const LibraryHistory::Step step(history_);
            try {
                command();
            } catch (const std::exception& failure) {
                LogMessage(QString::fromLocal8Bit(failure.what()));
            }
        }
        UpdateUndoActions();
    }
    void CreateLibraryToolMenus(QMenu& edit);
    void UpdateUndoActions();
    // Shows the rows an undo or redo changed.
    void ShowRestoredSlots(const std::vector<int>& slots);
    void FindTextChanged(const QString& text);
    // Makes `slot` the only selected row and scrolls it into view.
    void ShowFoundSlot(int slot);
    std::vector<int> CollectedSlots() const;
    // Writes `slots` to `path` with one summary line; a whole library written
    // becomes the saved state.
    bool SaveSlots(const QString& path, const std::vector<int>& slots);
    // "Save changes ?" (Yes, No, Cancel) when the library holds unsaved
    // changes; Yes opens the save dialog. False when the work would be lost
    // after all (Cancel, or the save did not happen).
    bool OfferToSaveChanges();
    void ConnectCommand(QAction* action, void (TfrmMain::*handler)());

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
    // The slot the find bar last showed (-1: none yet).
    int lastFound_ = -1;
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
    int sendDelay_ = 300;
    TSoundLibrary library_;
    LibraryHistory history_{library_};
    std::unique_ptr<Prompter> ownPrompter_;
    std::unique_ptr<FileChooser> ownFileChooser_;
    Prompter* prompter_;
    FileChooser* fileChooser_;
    LibraryFiles files_;
    std::unique_ptr<MidiService> ownMidi_;
    MidiService* midi_;
    std::unique_ptr<MidiPorts> ports_;
    bool midiOpenFailed_ = false;
    std::unique_ptr<LibraryList> list_;
    std::unique_ptr<InstrumentExchange> exchange_;
    std::unique_ptr<ReceiveDispatcher> dispatcher_;
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
    // Program dumps stored since the current read began.
    TAppSettings settings_;
    SchemaTolerances schemaTolerances_;
    SavedLibraryState saved_;
    QString programFolder_;
    // Items that need library rows; RebuildList enables them when there are rows.
    std::vector<QAction*> rowActions_;
    std::vector<QPushButton*> rowButtons_;
};
