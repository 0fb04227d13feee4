#include "builtin_instrument_service.h"
#include "file_io.h"
#include "rtmidi_service.h"
#include "syx_tool.h"

#include <QCoreApplication>

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Past a file-size limit a write then fails with "File too large", which
    // is reported, instead of the signal ending the program without a word.
#if defined(SIGXFSZ)
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    // The same data folder as the program's, where the sound catalogue lives.
    QCoreApplication::setOrganizationName(QStringLiteral("Tonewright"));
    QCoreApplication::setApplicationName(QStringLiteral("Tonewright"));
    // The words stay bytes: file names need not be valid text.
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The same ports as the program's port dialog lists, built-in instrument last.
    const auto midi = [] {
        return MakeBuiltInInstrumentService(
            std::make_unique<RtMidiService>(RtMidiService::Backend::Automatic, "tonewright-syx"));
    };
    constexpr int StandardOutputDescriptor = 1;
    DescriptorOutput standardOutput(StandardOutputDescriptor);
    std::ostream out(&standardOutput);
    return RunSyxTool(args, out, std::cerr, midi);
}
