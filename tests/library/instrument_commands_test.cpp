// The instrument commands with no window, against the built-in instrument:
// reads, sends read back, panic and a file sent as it is.

#include "support/instrument_commands_on_instrument.h"

#include "app/test_files.h"
#include "sysex_messages.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class InstrumentCommandsTest : public ::testing::Test, protected InstrumentCommandsOnInstrument {};

TEST_F(InstrumentCommandsTest, ReadCurrentSoundReplacesTheCurrentRow) {
    list.SetCurrentRow(Slots::Of(1, 9));
    library.MarkChanged(Slots::Of(1, 9), true);
    commands->ReadCurrentSound();
    EXPECT_EQ(Received(), std::vector<std::string>{"F0 01 25 05 01 09 F7"});
    EXPECT_EQ(library.GetSoundName(Slots::Of(1, 9)), "B010 Virtual    ");
    EXPECT_FALSE(library.IsChanged(Slots::Of(1, 9)));
    EXPECT_EQ(memo.mid(memo.size() - 2), (QStringList{"DSIM Bank: 2 Sound:9", "Read 1 sound."}));
}

TEST_F(InstrumentCommandsTest, VerifyingAfterSendingReadsTheSoundsBackAndNamesTheDifferent) {
    library.SetSoundName(0, "First");
    library.SetSoundName(2, "Third");
    {
        TSoundRecord edited = library.Sound(2);
        edited[SoundLayout::ParameterByte(20)] = 80;
        library.StoreSound(2, edited);
    } // filter frequency
    verifyAfterSend = true;
    list.SelectSlots({0, 2});
    prompter.answers = {Prompter::Answer::Yes};
    commands->SendSelectedSounds();
    EXPECT_EQ(memo.mid(memo.size() - 2),
              (QStringList{"Sent 2 sounds.", "All 2 sounds read back equal."}));
    auto received = Received();
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[2], "F0 01 25 05 00 00 F7");
    EXPECT_EQ(received[3], "F0 01 25 05 00 02 F7");
    EXPECT_EQ(library.GetSoundName(2), "Third           "); // the library keeps its own

    instrument->SetFault(VirtualMopho::Fault::CorruptWrites);
    prompter.answers = {Prompter::Answer::Yes};
    commands->SendSelectedSounds();
    const QStringList lines = memo.mid(memo.size() - 4);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "Sent 2 sounds.");
    EXPECT_TRUE(lines[1].startsWith("A001 First read back differently: Filter Frequency"))
        << lines[1].toStdString();
    EXPECT_EQ(lines[2], "A003 Third read back differently: Filter Frequency, steps in "
                        "semitones 80, read back 81");
    EXPECT_EQ(lines[3], "Read back 2 of 2 sounds: 2 differently.");
    EXPECT_EQ(library.Sound(2)[SoundLayout::ParameterByte(20)], 80);
    EXPECT_FALSE(commands->Exchange().Waiting());
}

TEST_F(InstrumentCommandsTest, PanicSendsTheThreeControllers) {
    commands->Panic();
    EXPECT_EQ(Received(), (std::vector<std::string>{"B0 7B 00", "B0 78 00", "B0 40 00"}));
}

TEST_F(InstrumentCommandsTest, SendSysExFromFileReportsWhatWentOut) {
    QTemporaryDir dir;
    const QString path = dir.filePath("version.syx");
    WriteAll(path, QByteArray("\xF0\x7E\x7F\x06\x01\xF7", 6));
    chooser.paths = {path};
    commands->SendSysExFromFile();
    EXPECT_EQ(Received(), std::vector<std::string>{"F0 7E 7F 06 01 F7"});
    EXPECT_TRUE(memo.last().startsWith("Sent 6 bytes from ")) << memo.last().toStdString();

    // Without its final F7 the message would run into the next one sent.
    WriteAll(path, QByteArray("\xF0\x7E\x7F\x06\x01", 5));
    chooser.paths = {path};
    commands->SendSysExFromFile();
    EXPECT_TRUE(Received().empty());
    EXPECT_TRUE(memo.last().startsWith("Nothing sent: The file ")) << memo.last().toStdString();
    EXPECT_TRUE(memo.last().contains("does not end with F7"));
}

} // namespace
