// The receive dispatch, fed replies by hand, on an exchange that records its requests.

#include "receive_dispatch.h"

#include "sound_library.h"
#include "support/documented_replies.h"
#include "support/library_contents.h"

#include "virtual_mopho.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

template <std::size_t N> Bytes AsBytes(const std::array<std::uint8_t, N>& message) {
    return Bytes(message.begin(), message.end());
}

// Another maker's long SysEx message whose bytes 4 and 5 would name row A006.
Bytes ForeignMessage(std::size_t size) {
    Bytes message(size, 0x10);
    message[0] = 0xF0;
    message[1] = 0x43;
    message[4] = 0;
    message[5] = 5;
    message.back() = 0xF7;
    return message;
}

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override { library.InitEmptyBanks(); }

    void StartRead(const std::vector<int>& slots) {
        ASSERT_EQ(exchange.AskForPrograms(ReplyKind::ProgramDump, slots), MidiError::None);
    }
    // One request for a reply of `kind` (a program dump: for B006).
    void Await(ReplyKind kind) {
        if (kind == ReplyKind::ProgramDump)
            StartRead({Slots::Of(1, 5)});
        else
            ASSERT_EQ(exchange.AskFor(kind, {0xF0, 0xF7}), MidiError::None);
    }
    void Feed(const Bytes& reply) { taken.push_back(dispatcher.DispatchReply(reply)); }
    // Answers every request sent since the last call.
    void AnswerRequests() {
        for (; answered < sent.size(); ++answered)
            for (const auto& reply : instrument.Receive(sent[answered]))
                Feed(reply);
    }

    std::vector<Bytes> sent;
    InstrumentExchange exchange{[this](std::span<const std::uint8_t> request) {
        sent.emplace_back(request.begin(), request.end());
        return MidiError::None;
    }};
    TSoundLibrary library;
    VirtualMopho instrument;
    QStringList memo;
    QString waitText;
    SlotsToldOf refreshed{library};
    std::vector<std::array<int, GlobalsCount>> globalsShown;
    std::vector<bool> taken; // what each dispatch answered
    std::vector<std::pair<SoundHandOver, TSoundRecord>> handedOver;
    ReceiveDispatcher dispatcher{
        library,
        exchange,
        {[this](const QString& line) { memo << line; },
         [this](const QString& text) { waitText = text; },
         [this](const std::array<int, GlobalsCount>& values) { globalsShown.push_back(values); },
         [this](SoundHandOver to, const TSoundRecord& sound) {
             handedOver.emplace_back(to, sound);
         }}};
    std::size_t answered = 0;
};

TEST_F(DispatchTest, ReadChainRequestsEachProgramAfterThePreviousArrived) {
    std::vector<int> bankB;
    for (int program = 0; program < 128; ++program)
        bankB.push_back(Slots::Of(1, program));
    library.MarkChanged(Slots::Of(1, 5), true);
    refreshed.slots.clear();
    StartRead(bankB);
    // One request at a time: each answer sends the next request.
    while (answered < sent.size())
        AnswerRequests();

    ASSERT_EQ(memo.size(), 128);
    EXPECT_EQ(memo.front(), "DSIM Bank: 2 Sound:0");
    EXPECT_EQ(memo[17], "DSIM Bank: 2 Sound:17");
    EXPECT_EQ(memo.back(), "DSIM Bank: 2 Sound:127");
    EXPECT_EQ(waitText, "Received 128 sound.");
    EXPECT_EQ(sent.size(), 128u);
    EXPECT_EQ(library.GetSoundName(Slots::Of(1, 5)), GetSoundName(instrument.Program(133)));
    EXPECT_FALSE(library.IsChanged(Slots::Of(1, 5)));
    EXPECT_EQ(refreshed.slots.size(), 128u);
    EXPECT_FALSE(exchange.Waiting()) << "the last reply taken ends the read";
    EXPECT_TRUE(exchange.MissingSlots().empty());
}

TEST_F(DispatchTest, Bank127StoresIntoTheCurrentSlotWithItsLocation) {
    library.SetCurrentSlot(300);
    TSoundRecord sound = VirtualMopho::FactorySound(2);
    SetSoundName(sound, "Edit buffer");
    StartRead({5});
    Feed(ProgramDumpMessage(sound, 127, 0));
    EXPECT_EQ(library.GetSoundName(300), "Edit buffer     ");
    EXPECT_EQ(library.Sound(300)[SoundLayout::BankByte], 2);
    EXPECT_EQ(library.Sound(300)[SoundLayout::ProgramByte], 300 % 128);
    EXPECT_EQ(memo, QStringList{"DSIM Bank: 128 Sound:0"});
    EXPECT_FALSE(exchange.Waiting());
}

TEST_F(DispatchTest, DumpsOfNoAwaitedSlotArePassedOverAndCutOnesAskedForAgain) {
    const auto before = library.Sounds();
    StartRead({0, 1, 2});
    // Instead of A001: a program of a bank the library does not have.
    Feed(ProgramDumpMessage(VirtualMopho::FactorySound(9), 5, 3));
    EXPECT_EQ(memo.value(0), "Passed over a SysEx message beginning F0 01 25 02 05 03: it is "
                             "not a program dump the read waits for.");
    EXPECT_EQ(sent.size(), 1u) << "the read waits on for A001";
    // A program dump cut short: the bytes it lacks are never read; A001 is
    // asked for once more.
    Bytes cut = AsBytes(DocumentedReplies::ProgramDumpB006);
    cut.resize(150);
    cut.back() = 0xF7;
    Feed(cut);
    EXPECT_EQ(memo.value(1), "Ignored a reply of 150 bytes: a program dump has 300.");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1], sent[0]);
    EXPECT_EQ(library.Sounds(), before);
    EXPECT_EQ(waitText, "");
    AnswerRequests();
    EXPECT_EQ(memo.value(2), "DSIM Bank: 1 Sound:0");
}

// Replies written from the documented layouts, each fed whole.
TEST_F(DispatchTest, DocumentedRepliesAreTakenAndReadUpToTheirLayout) {
    using namespace DocumentedReplies;
    Bytes longerGlobals = AsBytes(GlobalsDump);
    longerGlobals.insert(longerGlobals.end() - 1, 0x00);
    struct Case {
        const char* what;
        ReplyKind awaited;
        Bytes reply;
        QString line;
    };
    const Case cases[] = {
        {"identity reply, three revision bytes", ReplyKind::DeviceVersion, AsBytes(IdentityReply14),
         "Software version: 3.1"},
        {"identity reply, four revision bytes", ReplyKind::DeviceVersion, AsBytes(IdentityReply15),
         "Software version: 1.2"},
        {"globals", ReplyKind::Globals, AsBytes(GlobalsDump), "Global"},
        {"globals with a byte more", ReplyKind::Globals, longerGlobals, "Global"},
        {"program dump", ReplyKind::ProgramDump, AsBytes(ProgramDumpB006), "DSIM Bank: 2 Sound:5"},
        {"edit buffer for the locker", ReplyKind::EditBufferForLocker, AsBytes(EditBufferDump),
         "Received current sound."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        memo.clear();
        taken.clear();
        Await(c.awaited);
        Feed(c.reply);
        EXPECT_EQ(memo, QStringList{c.line});
        EXPECT_EQ(taken, std::vector<bool>{true});
        EXPECT_FALSE(exchange.Waiting());
    }
}

TEST_F(DispatchTest, WhatTheDocumentedRepliesCarryArrivesWhole) {
    using namespace DocumentedReplies;
    const auto expectSound = [](const TSoundRecord& sound) {
        EXPECT_EQ(GetSoundName(sound), PackedSoundName);
        for (const auto& [parameter, value] : PackedSoundParameters)
            EXPECT_EQ(sound[parameter + 6], value) << "parameter " << parameter;
        EXPECT_EQ(sound[255], 0xF7);
    };
    const int b006 = Slots::Of(1, 5);
    library.MarkChanged(b006, true);
    Await(ReplyKind::ProgramDump);
    Feed(AsBytes(ProgramDumpB006));
    expectSound(library.Sound(b006));
    EXPECT_EQ((Bytes(library.Sound(b006).Bytes.begin(), library.Sound(b006).Bytes.begin() + 6)),
              (Bytes{0xF0, 0x01, 0x25, 0x02, 0x01, 0x05}));
    EXPECT_FALSE(library.IsChanged(b006));

    Await(ReplyKind::EditBufferForLocker);
    Feed(AsBytes(EditBufferDump));
    ASSERT_EQ(handedOver.size(), 1u);
    const TSoundRecord& current = handedOver.back().second;
    expectSound(current);
    EXPECT_EQ((Bytes(current.Bytes.begin(), current.Bytes.begin() + 6)),
              (Bytes{0xF0, 0x01, 0x25, 0x03, 0x00, 0x00}));

    Await(ReplyKind::Globals);
    Feed(AsBytes(GlobalsDump));
    ASSERT_EQ(globalsShown.size(), 1u);
    EXPECT_EQ(globalsShown[0], GlobalsDumpValues);

    Await(ReplyKind::DeviceVersion);
    Feed(AsBytes(IdentityReply15));
    EXPECT_EQ(AsBytes(dispatcher.VersionReply()),
              Bytes(IdentityReply15.begin(), IdentityReply15.begin() + 14));
}

TEST_F(DispatchTest, RepliesShorterThanTheirLayoutAreReportedAndAskedForOnceMore) {
    using namespace DocumentedReplies;
    const auto cut = [](Bytes reply, std::size_t size) {
        reply.resize(size);
        reply.back() = 0xF7;
        return reply;
    };
    struct Case {
        ReplyKind awaited;
        Bytes reply;
        QString line;
    };
    const Case cases[] = {
        {ReplyKind::DeviceVersion, cut(AsBytes(IdentityReply14), 13),
         "Ignored a reply of 13 bytes: a device version reply has 14."},
        {ReplyKind::Globals, cut(AsBytes(GlobalsDump), 24),
         "Ignored a reply of 24 bytes: a global parameter dump has 25."},
        {ReplyKind::EditBufferForLocker, cut(AsBytes(EditBufferDump), 297),
         "Ignored a reply of 297 bytes: an edit buffer dump has 298."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        memo.clear();
        sent.clear();
        Await(c.awaited);
        Feed(c.reply);
        EXPECT_EQ(memo, QStringList{c.line});
        EXPECT_EQ(sent.size(), 2u) << "asked for once more";
        EXPECT_TRUE(exchange.Waiting());
        Feed(c.reply);
        EXPECT_FALSE(exchange.Waiting()) << "not a third time";
        EXPECT_EQ(exchange.AnsweredCount(), 0);
    }
    EXPECT_TRUE(globalsShown.empty());
    EXPECT_TRUE(handedOver.empty());
}

TEST_F(DispatchTest, OnlyAMessageThatBeginsAsTheAwaitedReplyIsTaken) {
    using namespace DocumentedReplies;
    struct Awaited {
        ReplyKind kind;
        Bytes answer;
        const char* name;
    };
    const Awaited awaited[] = {
        {ReplyKind::ProgramDump, AsBytes(ProgramDumpB006), "a program dump"},
        {ReplyKind::EditBufferForEditor, AsBytes(EditBufferDump), "an edit buffer dump"},
        {ReplyKind::EditBufferForLocker, AsBytes(EditBufferDump), "an edit buffer dump"},
        {ReplyKind::Globals, AsBytes(GlobalsDump), "a global parameter dump"},
        {ReplyKind::DeviceVersion, AsBytes(IdentityReply14), "a device version reply"},
    };
    std::vector<Bytes> others = {ForeignMessage(300), {0xF0, 0x01, 0x25, 0xF7}};
    for (const Awaited& kind : awaited)
        others.push_back(kind.answer);
    const auto before = library.Sounds();

    for (const Awaited& wait : awaited) {
        for (const Bytes& other : others) {
            if (other == wait.answer)
                continue;
            SCOPED_TRACE(std::string(wait.name) + " awaited, got " + std::to_string(other.size()) +
                         " bytes");
            memo.clear();
            taken.clear();
            sent.clear();
            Await(wait.kind);
            Feed(other);
            ASSERT_EQ(memo.size(), 1);
            EXPECT_TRUE(memo[0].startsWith("Passed over a SysEx message beginning F0 "));
            EXPECT_TRUE(memo[0].endsWith(QStringLiteral(": it is not %1.").arg(wait.name)));
            EXPECT_EQ(taken, std::vector<bool>{false});
            EXPECT_EQ(library.Sounds(), before);
            EXPECT_TRUE(handedOver.empty());
            EXPECT_TRUE(globalsShown.empty());
            EXPECT_TRUE(exchange.Waiting()) << "the awaited reply may still come";
            EXPECT_EQ(sent.size(), 1u) << "no next request";
        }
    }
    // The exchange waited on: the awaited reply is still taken.
    Feed(AsBytes(IdentityReply14));
    EXPECT_EQ(memo.back(), "Software version: 3.1");
}

TEST_F(DispatchTest, NothingIsTakenOutsideAnExchange) {
    const int b006 = Slots::Of(1, 5);
    StartRead({b006, b006 + 1});
    library.MarkChanged(b006, true);
    const TSoundRecord before = library.Sound(b006);
    exchange.Abandon(); // the user closed the wait box

    // The late reply, another maker's message, an edit buffer nobody asked for.
    for (const Bytes& message : {AsBytes(DocumentedReplies::ProgramDumpB006), ForeignMessage(1000),
                                 AsBytes(DocumentedReplies::EditBufferDump)})
        Feed(message);
    EXPECT_EQ(taken, (std::vector<bool>{false, false, false}));
    EXPECT_EQ(library.Sound(b006), before);
    EXPECT_TRUE(library.IsChanged(b006));
    EXPECT_EQ(sent.size(), 1u) << "the read asks for nothing more";
    EXPECT_TRUE(memo.isEmpty());
    EXPECT_TRUE(handedOver.empty());

    // The next read awaits its reply again.
    StartRead({b006});
    Feed(AsBytes(DocumentedReplies::ProgramDumpB006));
    EXPECT_EQ(library.GetSoundName(b006), DocumentedReplies::PackedSoundName);
}

TEST_F(DispatchTest, EditBufferGoesToWhoAskedForIt) {
    TSoundRecord sound = VirtualMopho::FactorySound(4);
    SetSoundName(sound, "Current");
    Await(ReplyKind::EditBufferForEditor);
    Feed(EditBufferDumpMessage(sound));
    EXPECT_EQ(memo, QStringList{"Received current sound."});
    EXPECT_EQ(waitText, "Received current sound.");
    ASSERT_EQ(handedOver.size(), 1u);
    EXPECT_EQ(handedOver.back().first, SoundHandOver::Editor);
    EXPECT_EQ(GetSoundName(handedOver.back().second), "Current         ");

    Await(ReplyKind::EditBufferForLocker);
    Feed(EditBufferDumpMessage(sound));
    ASSERT_EQ(handedOver.size(), 2u);
    EXPECT_EQ(handedOver.back().first, SoundHandOver::Locker);
}

} // namespace
