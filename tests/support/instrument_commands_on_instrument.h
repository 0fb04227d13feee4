#pragma once

#include "instrument_commands.h"
#include "library_history.h"
#include "library_list.h"
#include "midi_ports.h"
#include "sound_library.h"
#include "support/on_builtin_instrument.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

// A wait box that lets replies in until the exchange ends (at most 10 s).
class EventLoopWaitBox : public WaitBox {
public:
    explicit EventLoopWaitBox(const InstrumentExchange*& exchange) : exchange_(exchange) {}
    void WaitForExchange() override {
        QElapsedTimer clock;
        clock.start();
        while (exchange_ && exchange_->Waiting() && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    void BeginSendProgress() override {}
    bool SendStopped() const override { return false; }
    void SetLabelText(const QString& text) override { labels << text; }
    void EndSendProgress() override {}

    QStringList labels;

private:
    const InstrumentExchange*& exchange_;
};

// The instrument commands on the built-in instrument, with no window: a
// library, its list and history, the ports and scripted answers. A test
// fixture derives from ::testing::Test and from this.
struct InstrumentCommandsOnInstrument : OnBuiltInInstrument {
    InstrumentCommandsOnInstrument() {
        library.InitEmptyBanks();
        list.RebuildList();
        ports.SetSysExHandler([this](std::vector<std::uint8_t> reply) {
            QMetaObject::invokeMethod(
                &replies, [this, reply = std::move(reply)] { commands->TakeReply(reply); },
                Qt::QueuedConnection);
        });
        ports.EnumerateMidiDevices();
        ports.SetMidiInDeviceName(BuiltInInstrumentService::DeviceName);
        ports.SetMidiOutDeviceName(BuiltInInstrumentService::DeviceName);
        ports.ResolveMidiDevices();
        commands = std::make_unique<InstrumentCommands>(
            library, history, list, ports, prompter, chooser,
            InstrumentCommandSettings{[] { return 0; }, [this] { return verifyAfterSend; },
                                      [] { return false; }},
            InstrumentCommands::Outlets{
                [this](const QString& line) { memo << line; }, {}, {}, {}, {}, {}});
        exchange = &commands->Exchange();
        commands->SetWaitBox(&waitBox);
        commands->SetSendDelay(0);
        ports.OpenMidiOut();
        ports.OpenMidiIns();
    }
    ~InstrumentCommandsOnInstrument() {
        ports.CloseMidiIns();
        ports.CloseMidiOut();
    }

    QStringList memo;
    TSoundLibrary library;
    LibraryHistory history{library};
    LibraryList list{library};
    QObject replies; // replies reach the commands through here, on this thread
    MidiPorts ports{midi, {}};
    const InstrumentExchange* exchange = nullptr;
    EventLoopWaitBox waitBox{exchange};
    std::unique_ptr<InstrumentCommands> commands;
    bool verifyAfterSend = false;
};
