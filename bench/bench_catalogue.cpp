// The sound catalogue at the size of a musician's whole collection: 260
// generated bank files (99,840 sounds, about one in ten repeated from an
// earlier bank, half of those renamed), imported as one folder.
// - import time and the catalogue file's size;
// - search as you type ("b", "ba", "bas", "bass", and other names typed
//   letter by letter): the time per keystroke, median and p99;
// - "Find similar sounds" on random sounds;
// - the catalogue window opened on the whole catalogue, and scrolled to the end.
// Times are the CPU time of the program's thread (disk waits not counted),
// and the import's wall time too.

#include "file_chooser.h"
#include "frm_catalogue.h"
#include "prompter.h"
#include "sound_library.h"
#include "support/catalogue_data.h"
#include "support/recording_midi_output.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

namespace {

// CPU time of this thread: on a machine shared with other work the wall
// clock counts their time too.
struct CpuClock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<CpuClock, duration>;
    static time_point now() {
        timespec reading{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &reading);
        return time_point(std::chrono::seconds(reading.tv_sec) +
                          std::chrono::nanoseconds(reading.tv_nsec));
    }
};
using Clock = CpuClock;

double Ms(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    return values[at];
}

class Unattended : public Prompter, public FileChooser, public ImportChooser {
public:
    Answer Confirm(const QString&, Buttons) override { return Answer::No; }
    void ShowMessage(const QString&) override {}
    QString OpenFileName() override { return {}; }
    QString SaveFileName() override { return {}; }
    QStringList BankFiles() override { return {}; }
    QString Folder() override { return {}; }
};

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const std::filesystem::path banks = folder.filePath(QStringLiteral("banks")).toStdString();
    constexpr int BankCount = 260;
    catalogue_data::WriteBanks(banks, BankCount, 1);
    const std::string path = folder.filePath(QStringLiteral("catalogue.sqlite")).toStdString();
    auto opened = SoundCatalogue::Open(path);
    auto& catalogue = *std::get<std::unique_ptr<SoundCatalogue>>(opened);

    auto start = Clock::now();
    const auto wallStart = std::chrono::steady_clock::now();
    const ImportReport report = catalogue.ImportPaths(std::vector{banks.string()});
    const double importMs = Ms(Clock::now() - start);
    std::printf(
        "import of %d bank files (%d sounds): %.0f ms CPU, %.0f ms wall, %d new, %d known\n",
        BankCount, BankCount * Slots::Count, importMs,
        Ms(std::chrono::steady_clock::now() - wallStart), report.soundsAdded, report.soundsKnown);
    std::printf("catalogue file: %.1f MB for %lld sounds\n",
                static_cast<double>(std::filesystem::file_size(path)) / 1e6,
                static_cast<long long>(catalogue.SoundCount()));
    start = Clock::now();
    const ImportReport again = catalogue.ImportPaths(std::vector{banks.string()});
    std::printf("the same folder again: %.0f ms, %d files unchanged\n", Ms(Clock::now() - start),
                again.filesUnchanged);

    std::vector<double> keystrokes;
    for (const char* typed : {"bass", "warm pad", "acid", "sub bass 3", "zzz", "e"}) {
        std::string text;
        for (const char* c = typed; *c; ++c) {
            text += *c;
            start = Clock::now();
            const auto found = catalogue.Search({text, std::nullopt, false});
            keystrokes.push_back(Ms(Clock::now() - start));
        }
        // Backspacing out of it again.
        while (!text.empty()) {
            text.pop_back();
            start = Clock::now();
            catalogue.Search({text, std::nullopt, false});
            keystrokes.push_back(Ms(Clock::now() - start));
        }
    }
    std::printf("search per keystroke (%zu): median %.1f ms, p99 %.1f ms, max %.1f ms\n",
                keystrokes.size(), Percentile(keystrokes, 0.5), Percentile(keystrokes, 0.99),
                Percentile(keystrokes, 1.0));

    std::mt19937 random(7);
    const auto all = catalogue.Search({"", std::nullopt, false});
    std::vector<double> similar;
    for (int i = 0; i < 20; ++i) {
        start = Clock::now();
        catalogue.FindSimilar(all[random() % all.size()], 100);
        similar.push_back(Ms(Clock::now() - start));
    }
    std::printf("find similar (20 sounds): median %.0f ms, max %.0f ms\n", Percentile(similar, 0.5),
                Percentile(similar, 1.0));

    TSoundLibrary library;
    RecordingMidiOutput output;
    Unattended user;
    start = Clock::now();
    TfrmCatalogue window({catalogue, library, output, user, user, user, [] { return -1; },
                          [] { return std::vector<int>{}; },
                          [](const std::vector<LibraryPlacement>&) {}, [](const TSoundRecord&) {}});
    window.show();
    QApplication::processEvents();
    std::printf("window opened on all sounds: %.0f ms\n", Ms(Clock::now() - start));
    auto* list = window.findChild<QTableView*>(QStringLiteral("tblSounds"));
    std::vector<double> pages;
    for (int step = 0; step < 200; ++step) {
        start = Clock::now();
        list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum() * step / 199);
        list->viewport()->repaint();
        pages.push_back(Ms(Clock::now() - start));
    }
    std::printf(
        "scrolling (200 jumps over the list, each repainted): median %.1f ms, max %.1f ms\n",
        Percentile(pages, 0.5), Percentile(pages, 1.0));
    auto* search = window.findChild<QLineEdit*>(QStringLiteral("edtSearch"));
    std::vector<double> typedInWindow;
    for (const char c : std::string("bass")) {
        start = Clock::now();
        search->setText(search->text() + QLatin1Char(c));
        list->viewport()->repaint();
        typedInWindow.push_back(Ms(Clock::now() - start));
    }
    std::printf("typing \"bass\" in the window, list repainted: max %.1f ms per keystroke\n",
                Percentile(typedInWindow, 1.0));
    return 0;
}
