#pragma once

// What the end-to-end tests share: files, a bank unlike the instrument's own
// sounds, and a fixture with a folder and port names of each test's own.

#include "instrument_process.h"
#include "jack_link.h"

#include "bank_file.h"
#include "midi_service.h"
#include "sysex_messages.h"
#include "virtual_mopho.h"

#include <gtest/gtest.h>
#include <rtmidi/RtMidi.h>

#include <unistd.h>

#include <algorithm>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace e2e {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

inline Bytes ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::string> ReadLines(const fs::path& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

// Plays the message from `keyboard` again until the instrument has logged it
// in `logFile`: the connections settle within a cycle or two.
inline bool PlayUntilHeard(RtMidiOut& keyboard, const fs::path& logFile,
                           const std::vector<unsigned char>& message) {
    for (int attempt = 0; attempt < 40; ++attempt) {
        keyboard.sendMessage(&message);
        std::this_thread::sleep_for(50ms);
        const auto log = ReadLines(logFile);
        if (std::find(log.begin(), log.end(), HexLine(message)) != log.end())
            return true;
    }
    return false;
}

// The settings file's "[Midi]" section a musician's earlier choice of the
// ports whose names hold `part` leaves, by the names the port dialog lists;
// empty when the service lists no such input or output.
inline std::string MidiSettingsChoosing(MidiService& midi, const std::string& part) {
    std::string in;
    std::string out;
    for (int device = 0; device < midi.InputDeviceCount(); ++device)
        if (midi.InputDeviceName(device).find(part) != std::string::npos)
            in = midi.InputDeviceName(device);
    for (int device = 0; device < midi.OutputDeviceCount(); ++device)
        if (midi.OutputDeviceName(device).find(part) != std::string::npos)
            out = midi.OutputDeviceName(device);
    if (in.empty() || out.empty())
        return {};
    return "[Midi]\nMidiInDeviceID=" + in + "\nMidiOutDeviceID=" + out + "\n";
}

inline Bytes Block(const Bytes& bank, int slot) {
    const auto start = bank.begin() + slot * 300;
    return Bytes(start, start + 300);
}

class VirtualMophoOverJack : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("tw-e2e-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
        // Names of our own, so tests on the same server never meet.
        name_ = "tw-e2e-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::unique_ptr<InstrumentProcess> Start(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--name", name_});
        return std::make_unique<InstrumentProcess>(TW_VIRTUAL_MOPHO, arguments);
    }
    std::unique_ptr<JackLink> Connect() {
        auto link = std::make_unique<JackLink>("tw-tester-" + std::to_string(getpid()), name_);
        // The first answer shows that both connections carry messages.
        for (int attempt = 0; attempt < 20; ++attempt) {
            if (link->Ask(DeviceInquiryMessage(), 250ms))
                break;
        }
        while (link->Next(100ms)) {
        }
        return link;
    }

    fs::path folder_;
    std::string name_;
};

// A bank unlike the instrument's own sounds.
inline Bytes TestBank() {
    std::vector<std::pair<int, TSoundRecord>> records;
    for (int slot = 0; slot < Slots::Count; ++slot) {
        TSoundRecord sound = VirtualMopho::FactorySound(Slots::Count - 1 - slot);
        SetSoundName(sound, "Backup " + Slots::Caption(slot));
        records.emplace_back(slot, sound);
    }
    return BankFileBytes(records);
}

} // namespace e2e
