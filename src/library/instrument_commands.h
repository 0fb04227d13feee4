#pragma once

#include "instrument_exchange.h"
#include "midi_error.h"
#include "receive_dispatch.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class FileChooser;
class LibraryHistory;
class LibraryList;
class MidiPorts;
class Prompter;
class TSoundLibrary;

// The box the user watches while the program waits for the instrument or
// sends to it: the window's modal box, or a test's event loop.
class WaitBox {
public:
    virtual ~WaitBox() = default;
    // Returns once the exchange under way has ended or the user gave it up.
    virtual void WaitForExchange() = 0;
    // A send shows its progress; the user may stop it.
    virtual void BeginSendProgress() = 0;
    virtual bool SendStopped() const = 0;
    virtual void SetLabelText(const QString& text) = 0;
    virtual void EndSendProgress() = 0;
};

// What the instrument commands read of the settings, when they run.
struct InstrumentCommandSettings {
    std::function<int()> channel;           // 0..15
    std::function<bool()> verifyAfterSend;  // read sent sounds back
    std::function<bool()> sendToEditBuffer; // a program change also sends the sound
};

// The commands that talk to the instrument: reading sounds into the library,
// sending them, reading them back, program changes, panic, sending a file,
// and asking for the edit buffer, the globals and the software version. It
// owns the request-and-reply exchange and the dispatch of replies; the
// window hands it each SysEx message on the GUI thread (TakeReply).
class InstrumentCommands {
public:
    struct Outlets {
        std::function<void(const QString&)> log; // one memo line
        // The globals are in, for their window.
        std::function<void(const std::array<int, GlobalsCount>&)> showGlobals;
        // The edit buffer is in, for the editor or the locker.
        std::function<void(SoundHandOver, const TSoundRecord&)> takeSound;
        // The note player rests (true) while sounds are read, then plays again.
        std::function<void(bool resting)> restNotePlayer;
        // A program change makes `slot` current: its row is shown.
        std::function<void(int slot)> showCurrentRow;
        // Prg - and Prg + scroll the list a little (pixels, up when negative).
        std::function<void(int pixels)> scrollList;
    };

    InstrumentCommands(TSoundLibrary& library, LibraryHistory& history, LibraryList& list,
                       MidiPorts& ports, Prompter& prompter, FileChooser& fileChooser,
                       InstrumentCommandSettings settings, Outlets outlets);
    ~InstrumentCommands();

    InstrumentExchange& Exchange() { return exchange_; }
    void SetWaitBox(WaitBox* box) { waitBox_ = box; }
    // Milliseconds waited after each sound sent (300 at start-up).
    int SendDelay() const { return sendDelay_; }
    void SetSendDelay(int milliseconds) { sendDelay_ = milliseconds; }

    // A SysEx message from the instrument, on the GUI thread.
    void TakeReply(const std::vector<std::uint8_t>& reply);

    void ReadCurrentSound();
    void ReadBank(int bank);
    void ReadAllBanks();
    // Reads the sounds of `slots` from the instrument into the library.
    void ReadSounds(const std::vector<int>& slots);
    void SendSelectedSounds();
    // After sending, with "Verify sounds after sending": reads the sounds back
    // and writes a memo line for each that differs from the library's.
    void ReadBackSentSounds(const std::vector<int>& slots);
    // Program change to the library's current slot, and its sound to the
    // edit buffer when chosen.
    void SelectCurrentSlot();
    void PrgDown();
    void PrgUp();
    void Panic();
    void SendSysExFromFile();
    // Asks for the edit buffer, for the editor or the locker.
    void AskForEditBuffer(SoundHandOver handOver);
    void AskForDeviceVersion();
    // Panic, then asks for the globals.
    void AskForGlobals();

    // "Send 12 sounds into the Mopho's memory, A001 to C128?"
    static QString SendQuestion(const std::vector<int>& slots);

private:
    // Starts an exchange with `ask` and waits until it ends; false, with a
    // memo line that starts with `nothingDone`, when nothing could be asked.
    bool RunExchange(const std::function<MidiError()>& ask, const QString& nothingDone);
    void AskOnce(ReplyKind kind, std::vector<std::uint8_t> request);
    // A memo line when the exchange ended without its replies.
    void ReportExchangeEnd();
    // A memo line and a box naming the sounds a read did not bring.
    void ReportMissingSounds(const std::vector<int>& slots);
    // False, with a memo line "<what>: <why>.", when a send failed.
    bool SentOrSay(MidiError error, const QString& what);
    // False, with a memo line that starts with `nothingDone`, when no output is open.
    bool OutputOpenOrSay(const QString& nothingDone);
    // Waits while the window goes on painting and taking replies; with
    // userInput clear, clicks and keys wait too.
    static void Pause(int milliseconds, bool userInput);
    void Log(const QString& line) const;

    TSoundLibrary& library_;
    LibraryHistory& history_;
    LibraryList& list_;
    MidiPorts& ports_;
    Prompter& prompter_;
    FileChooser& fileChooser_;
    InstrumentCommandSettings settings_;
    Outlets outlets_;
    InstrumentExchange exchange_;
    ReceiveDispatcher dispatcher_;
    WaitBox* waitBox_ = nullptr;
    int sendDelay_ = 300;
};
