#include "instrument_commands.h"

#include "bank_file.h"
#include "file_chooser.h"
#include "library_commands.h"
#include "library_history.h"
#include "library_list.h"
#include "midi_ports.h"
#include "program_file_io.h"
#include "prompter.h"
#include "short_messages.h"
#include "sound_library.h"
#include "sysex_messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>

#include <numeric>

namespace {
constexpr int ProgramChangePause = 200; // ms after bank select and after program change
// How far Prg - and Prg + scroll the list.
constexpr int ProgramStepPixels = 10;

// The note player rests while sounds are read, whatever happens meanwhile.
class NotePlayerRest {
public:
    explicit NotePlayerRest(const std::function<void(bool)>& rest) : rest_(rest) {
        if (rest_)
            rest_(true);
    }
    ~NotePlayerRest() {
        if (rest_)
            rest_(false);
    }
    NotePlayerRest(const NotePlayerRest&) = delete;
    NotePlayerRest& operator=(const NotePlayerRest&) = delete;

private:
    const std::function<void(bool)>& rest_;
};
} // namespace

InstrumentCommands::InstrumentCommands(TSoundLibrary& library, LibraryHistory& history,
                                       LibraryList& list, MidiPorts& ports, Prompter& prompter,
                                       FileChooser& fileChooser, InstrumentCommandSettings settings,
                                       Outlets outlets)
    : library_(library), history_(history), list_(list), ports_(ports), prompter_(prompter),
      fileChooser_(fileChooser), settings_(std::move(settings)), outlets_(std::move(outlets)),
      exchange_([this](std::span<const std::uint8_t> request) {
          return ports_.SendLongMessage(request);
      }),
      dispatcher_(library_, exchange_,
                  {[this](const QString& line) { Log(line); },
                   [this](const QString& text) {
                       if (waitBox_)
                           waitBox_->SetLabelText(text);
                   },
                   [this](const std::array<int, GlobalsCount>& values) {
                       if (outlets_.showGlobals)
                           outlets_.showGlobals(values);
                   },
                   [this](SoundHandOver handOver, const TSoundRecord& sound) {
                       if (outlets_.takeSound)
                           outlets_.takeSound(handOver, sound);
                   }}) {}

InstrumentCommands::~InstrumentCommands() = default;

void InstrumentCommands::Log(const QString& line) const {
    if (outlets_.log)
        outlets_.log(line);
}

void InstrumentCommands::Pause(int milliseconds, bool userInput) {
    // Repaints and replies go on; with userInput clear, clicks and keys wait,
    // so no second command can start in the middle of this one.
    QElapsedTimer clock;
    clock.start();
    const auto flags = userInput ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
    while (clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(flags, static_cast<int>(milliseconds - clock.elapsed()));
        if (clock.elapsed() < milliseconds)
            QThread::msleep(1);
    }
}

void InstrumentCommands::TakeReply(const std::vector<std::uint8_t>& reply) {
    // The input takes one message at a time: ready for the next before this
    // one is answered, so a quick reply to the next request finds it ready.
    ports_.ListenForSysEx();
    // A sound stored from a reply is an undo step, or part of the read that
    // asked for it.
    const LibraryHistory::Step step(history_);
    dispatcher_.DispatchReply(reply);
}

bool InstrumentCommands::OutputOpenOrSay(const QString& nothingDone) {
    if (ports_.MidiOutOpen())
        return true;
    Log(nothingDone + QStringLiteral(": no MIDI output is open (System, Midi Settings)."));
    return false;
}

bool InstrumentCommands::SentOrSay(MidiError error, const QString& what) {
    if (error == MidiError::None)
        return true;
    Log(QStringLiteral("%1: %2.").arg(what, QString::fromStdString(Text(error))));
    return false;
}

bool InstrumentCommands::RunExchange(const std::function<MidiError()>& ask,
                                     const QString& nothingDone) {
    if (!OutputOpenOrSay(nothingDone))
        return false;
    if (const MidiError error = ask(); error != MidiError::None) {
        Log(QStringLiteral("%1: %2.").arg(nothingDone, QString::fromStdString(Text(error))));
        return false;
    }
    if (exchange_.Waiting() && waitBox_)
        waitBox_->WaitForExchange();
    ReportExchangeEnd();
    return true;
}

void InstrumentCommands::AskOnce(ReplyKind kind, std::vector<std::uint8_t> request) {
    RunExchange([&] { return exchange_.AskFor(kind, std::move(request)); },
                QStringLiteral("Nothing asked"));
}

void InstrumentCommands::ReportExchangeEnd() {
    switch (exchange_.LastEnd()) {
    case ExchangeEnd::Silent:
        Log(QStringLiteral("No reply from the instrument on \"%1\", though asked twice.")
                .arg(QString::fromStdString(ports_.MidiInDeviceName())));
        break;
    case ExchangeEnd::SendFailed:
        Log(QStringLiteral("A request to the instrument did not go out: %1.")
                .arg(QString::fromStdString(Text(exchange_.SendError()))));
        break;
    case ExchangeEnd::Completed:
    case ExchangeEnd::Abandoned:
        break;
    }
}

void InstrumentCommands::ReadCurrentSound() {
    const int row = list_.CurrentRow();
    ReadSounds(row < 0 ? std::vector<int>{} : std::vector<int>{row});
}

void InstrumentCommands::ReadBank(int bank) {
    std::vector<int> slots;
    for (int program = 0; program < Slots::ProgramsPerBank; ++program)
        slots.push_back(Slots::Of(bank, program));
    ReadSounds(slots);
}

void InstrumentCommands::ReadAllBanks() {
    std::vector<int> slots(Slots::Count);
    std::iota(slots.begin(), slots.end(), 0); // A001, A002, ... C128
    ReadSounds(slots);
}

void InstrumentCommands::ReadSounds(const std::vector<int>& slots) {
    const NotePlayerRest rest(outlets_.restNotePlayer);
    // Nothing to ask for (no current row): no wait for a reply that cannot come.
    if (!slots.empty() &&
        RunExchange([&] { return exchange_.AskForPrograms(ReplyKind::ProgramDump, slots); },
                    QStringLiteral("Nothing read"))) {
        const int requested = static_cast<int>(slots.size());
        const int stored = exchange_.AnsweredCount();
        Log(stored == requested
                ? QStringLiteral("Read %1.").arg(LibraryCommands::SoundCount(requested))
                : QStringLiteral("Read %1 of %2.")
                      .arg(stored)
                      .arg(LibraryCommands::SoundCount(requested)));
        if (const auto missing = exchange_.MissingSlots(); !missing.empty())
            ReportMissingSounds(missing);
    }
    list_.SelectCollectedSlots();
}

void InstrumentCommands::ReportMissingSounds(const std::vector<int>& slots) {
    const QString text =
        QStringLiteral("Not received from the instrument: %1. These rows were left as they were.")
            .arg(QString::fromStdString(Slots::Ranges(slots)));
    Log(text);
    // A user who closed the wait box knows the read stopped.
    if (exchange_.LastEnd() != ExchangeEnd::Abandoned)
        prompter_.ShowMessage(text);
}

QString InstrumentCommands::SendQuestion(const std::vector<int>& slots) {
    return QStringLiteral("Send %1 into the Mopho's memory, %2 to %3?")
        .arg(LibraryCommands::SoundCount(static_cast<int>(slots.size())))
        .arg(QString::fromStdString(Slots::Caption(slots.front())))
        .arg(QString::fromStdString(Slots::Caption(slots.back())));
}

void InstrumentCommands::SendSelectedSounds() {
    list_.CollectSelection();
    const std::vector<int> slots = library_.SelectedSlots();
    if (slots.empty() || !OutputOpenOrSay(QStringLiteral("Nothing sent")))
        return;
    // One key must not overwrite the instrument's memory: more than one sound is asked for.
    if (slots.size() > 1 &&
        prompter_.Confirm(SendQuestion(slots), Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
        return;
    // The wait box shows the progress; its Close button stops the sending.
    if (waitBox_)
        waitBox_->BeginSendProgress();
    const int total = static_cast<int>(slots.size());
    int sent = 0;
    QString stopped;
    for (int slot : slots) {
        if (waitBox_ && waitBox_->SendStopped()) {
            stopped = QStringLiteral("Sending stopped after %1 of %2 sounds.").arg(sent).arg(total);
            break;
        }
        TSoundRecord record = library_.Sound(slot);
        record[SoundLayout::BankByte] = static_cast<std::uint8_t>(Slots::BankOf(slot));
        record[SoundLayout::ProgramByte] = static_cast<std::uint8_t>(Slots::ProgramOf(slot));
        const auto message =
            ProgramDumpMessage(record, Slots::BankOf(slot), Slots::ProgramOf(slot));
        if (const MidiError error = ports_.SendLongMessage(message); error != MidiError::None) {
            stopped = QStringLiteral("Sending stopped after %1 of %2 sounds: %3 did not go "
                                     "out (%4).")
                          .arg(sent)
                          .arg(total)
                          .arg(QString::fromStdString(Slots::Caption(slot)))
                          .arg(QString::fromStdString(Text(error)));
            break;
        }
        ++sent;
        library_.StoreSound(slot, record, false);
        if (waitBox_)
            waitBox_->SetLabelText(QStringLiteral("Sending %1").arg(slot));
        Pause(sendDelay_, true);
    }
    if (waitBox_)
        waitBox_->EndSendProgress();
    // Sending rewrites location bytes and clears marks: nothing to undo.
    history_.AcceptChangesSoFar();
    Log(stopped.isEmpty() ? QStringLiteral("Sent %1.").arg(LibraryCommands::SoundCount(sent))
                          : stopped);
    if (settings_.verifyAfterSend() && sent > 0)
        ReadBackSentSounds({slots.begin(), slots.begin() + sent});
}

void InstrumentCommands::ReadBackSentSounds(const std::vector<int>& slots) {
    const NotePlayerRest rest(outlets_.restNotePlayer);
    dispatcher_.BeginCheck();
    if (!RunExchange([&] { return exchange_.AskForPrograms(ReplyKind::ProgramCheck, slots); },
                     QStringLiteral("Nothing read back")))
        return;
    const int total = static_cast<int>(slots.size());
    const int checked = dispatcher_.CheckedCount();
    const int differing = dispatcher_.DifferingCount();
    if (checked == total && differing == 0)
        Log(QStringLiteral("All %1 read back equal.").arg(LibraryCommands::SoundCount(total)));
    else
        Log(QStringLiteral("Read back %1 of %2: %3 differently.")
                .arg(checked)
                .arg(LibraryCommands::SoundCount(total))
                .arg(differing));
}

void InstrumentCommands::SelectCurrentSlot() {
    const int slot = library_.CurrentSlot();
    if (outlets_.showCurrentRow)
        outlets_.showCurrentRow(slot);
    list_.SetCurrentRow(slot);
    const QString noChange = QStringLiteral("No program change");
    const int channel = settings_.channel();
    if (!OutputOpenOrSay(noChange) ||
        !SentOrSay(SendBankSelect(ports_, channel, Slots::BankOf(slot)), noChange))
        return;
    Pause(ProgramChangePause, false);
    if (!SentOrSay(SendProgramChange(ports_, channel, Slots::ProgramOf(slot)), noChange))
        return;
    Pause(ProgramChangePause, false);
    if (settings_.sendToEditBuffer())
        SentOrSay(SendEditBufferDump(ports_, library_.Sound(slot)),
                  QStringLiteral("The sound did not reach the edit buffer"));
}

void InstrumentCommands::PrgDown() {
    if (library_.CurrentSlot() > 0) {
        library_.SetCurrentSlot(library_.CurrentSlot() - 1);
        if (outlets_.scrollList)
            outlets_.scrollList(-ProgramStepPixels);
    }
    SelectCurrentSlot();
}

void InstrumentCommands::PrgUp() {
    if (library_.CurrentSlot() < Slots::Count - 1) {
        library_.SetCurrentSlot(library_.CurrentSlot() + 1);
        if (outlets_.scrollList)
            outlets_.scrollList(ProgramStepPixels);
    }
    SelectCurrentSlot();
}

void InstrumentCommands::Panic() {
    if (!OutputOpenOrSay(QStringLiteral("Nothing sent")))
        return;
    // All notes off, all sound off, sustain off.
    for (const int controller : {123, 120, 64})
        if (!SentOrSay(SendControlChange(ports_, settings_.channel(), controller, 0),
                       QStringLiteral("Panic did not go out")))
            return;
}

void InstrumentCommands::SendSysExFromFile() {
    const QString path = fileChooser_.OpenFileName();
    if (path.isEmpty())
        return;
    QByteArray bytes;
    if (const QString error = ReadWholeFile(path, bytes); !error.isEmpty()) {
        Log(error);
        return;
    }
    const QString file = QDir::toNativeSeparators(path);
    const std::span<const std::uint8_t> message{
        reinterpret_cast<const std::uint8_t*>(bytes.constData()),
        static_cast<std::size_t>(bytes.size())};
    // An unfinished last message would swallow whatever the instrument
    // receives next (a note, a parameter change): the file is not sent.
    if (const auto problem = UnfinishedLastMessageProblem(message, file.toStdString())) {
        Log(QStringLiteral("Nothing sent: %1").arg(QString::fromStdString(*problem)));
        return;
    }
    if (!OutputOpenOrSay(QStringLiteral("Nothing sent from %1").arg(file)))
        return;
    // Otherwise the bytes go out unchanged, without being looked into.
    if (const MidiError error = ports_.SendLongMessage(message); error != MidiError::None) {
        Log(QStringLiteral("Nothing sent from %1: %2.")
                .arg(file)
                .arg(QString::fromStdString(Text(error))));
        return;
    }
    Log(QStringLiteral("Sent %1 bytes from %2").arg(bytes.size()).arg(file));
}

void InstrumentCommands::AskForEditBuffer(SoundHandOver handOver) {
    AskOnce(handOver == SoundHandOver::Locker ? ReplyKind::EditBufferForLocker
                                              : ReplyKind::EditBufferForEditor,
            EditBufferRequestMessage());
}

void InstrumentCommands::AskForDeviceVersion() {
    AskOnce(ReplyKind::DeviceVersion, DeviceInquiryMessage());
}

void InstrumentCommands::AskForGlobals() {
    // No note may hang while the instrument's settings change.
    Panic();
    AskOnce(ReplyKind::Globals, GlobalsRequestMessage());
}
