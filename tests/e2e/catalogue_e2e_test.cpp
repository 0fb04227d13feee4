// The Sound Catalogue over JACK, as a musician uses it: "bass" typed, the
// down arrow pressed, each sound heard on the stand-in instrument (its edit
// buffer); a fast run of arrows at DIN speed sends only what the cable
// carries, and always the last sound.

#include "../support/main_window_probes.h"
#include "../support/named_child.h"
#include "../support/program_folder.h"
#include "../support/sound_builder.h"
#include "window_fixture.h"

#include "../app/scripted_dialogs.h"

#include "builtin_instrument_service.h"
#include "frm_catalogue.h"
#include "main_window.h"
#include "morph.h"
#include "rtmidi_service.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

using namespace e2e;

class CatalogueOverJack : public WindowOverJack {
protected:
    CatalogueOverJack() { qputenv("XDG_DATA_HOME", dataHome_.path().toLocal8Bit()); }
    ~CatalogueOverJack() override { qunsetenv("XDG_DATA_HOME"); }

    // The edit buffer dumps in the instrument's log from line `from` on, once it is quiet.
    static std::vector<std::string> EditBufferDumps(const fs::path& logFile, std::size_t from) {
        std::size_t lines = 0;
        for (int quiet = 0; quiet < 4;) {
            QTest::qWait(150);
            const std::size_t now = ReadLines(logFile).size();
            quiet = now == lines ? quiet + 1 : 0;
            lines = now;
        }
        const auto log = ReadLines(logFile);
        std::vector<std::string> dumps;
        for (std::size_t i = from; i < log.size(); ++i)
            if (log[i].rfind("F0 01 25 03 ", 0) == 0)
                dumps.push_back(log[i]);
        return dumps;
    }

    QTemporaryDir dataHome_;
};

TEST_F(CatalogueOverJack, ArrowsPutEachSoundIntoTheEditBuffer) {
    const fs::path logFile = folder_ / "received.log";
    auto instrument = Start({"--din", "--log", logFile.string()});
    auto window = OpenWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(AskDeviceVersion(*window).isEmpty()); // both connections carry messages

    // In name order: Acid, Big, Deep, Fat, Sub, Warm Bass; the pad is not found.
    const std::vector<TSoundRecord> basses = {
        sound_builder::Sound("Acid Bass", 1), sound_builder::Sound("Big Bass", 2),
        sound_builder::Sound("Deep Bass", 3), sound_builder::Sound("Fat Bass", 4),
        sound_builder::Sound("Sub Bass", 5),  sound_builder::Sound("Warm Bass", 6)};
    std::vector<TSoundRecord> bank = basses;
    bank.push_back(sound_builder::Sound("Soft Pad", 7));
    const std::string bankFile = (folder_ / "bank.syx").string();
    sound_builder::WriteBank(bankFile, bank);

    Named<QAction>(*window, "actSoundCatalogue")->trigger();
    auto* catalogue = window->findChild<TfrmCatalogue*>("TfrmCatalogue");
    ASSERT_NE(catalogue, nullptr);
    catalogue->ImportPaths({QString::fromStdString(bankFile)});
    auto* search = Named<QLineEdit>(*catalogue, "edtSearch");
    auto* list = Named<QTableView>(*catalogue, "tblSounds");
    search->setFocus();
    QTest::keyClicks(search, "bass");
    ASSERT_EQ(list->model()->rowCount(), 6);

    // One arrow at a time: each sound is heard.
    std::size_t logged = ReadLines(logFile).size();
    QTest::keyClick(search, Qt::Key_Down);
    for (int row = 1; row < 3; ++row) {
        QTest::qWait(150); // longer than a dump takes on the cable
        QTest::keyClick(list, Qt::Key_Down);
    }
    EXPECT_EQ(EditBufferDumps(logFile, logged),
              (std::vector{HexLine(EditBufferDumpMessage(basses[0])),
                           HexLine(EditBufferDumpMessage(basses[1])),
                           HexLine(EditBufferDumpMessage(basses[2]))}));

    // A fast run: down to the last, up one, down again.
    logged = ReadLines(logFile).size();
    QElapsedTimer clock;
    clock.start();
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Down})
        QTest::keyClick(list, key);
    const qint64 runMs = clock.elapsed();
    const auto dumps = EditBufferDumps(logFile, logged);
    ASSERT_FALSE(dumps.empty());
    EXPECT_EQ(dumps.front(), HexLine(EditBufferDumpMessage(basses[3])));
    EXPECT_EQ(dumps.back(), HexLine(EditBufferDumpMessage(basses[5])));
    // A dump is 298 bytes at 320 us each: about 95 ms on the cable.
    const auto dumpTime = MorphPacer::ByteTime * 298;
    EXPECT_LE(static_cast<long long>(dumps.size()), 2 + runMs * 1000 / dumpTime.count());
    std::printf("run of 5 arrows in %lld ms: %zu edit buffer dumps sent\n",
                static_cast<long long>(runMs), dumps.size());

    window.reset();
    midi_.reset();
    EXPECT_EQ(instrument->Stop(), 0);
}

} // namespace
