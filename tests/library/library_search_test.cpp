#include "library_search.h"
#include "sound_library.h"
#include "support/library_contents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TSoundLibrary NamedLibrary(const std::vector<std::string>& names) {
    TSoundLibrary library;
    library.InitEmptyBanks();
    for (std::size_t slot = 0; slot < names.size(); ++slot)
        library.SetSoundName(static_cast<int>(slot), names[slot]);
    return library;
}

TEST(FindSounds, MatchesPartsOfNamesIgnoringCaseInWindows1252) {
    // \xE9 is é and \xDC is Ü as single Windows-1252 bytes.
    const TSoundLibrary library = NamedLibrary({"Fat Bass", "Caf\xE9 Lead", "CAF\xC9 PAD",
                                                "\xDC"
                                                "ber Sync",
                                                "bass drum"});
    const struct {
        QString text;
        std::vector<int> slots;
    } cases[] = {
        {QStringLiteral("bass"), {0, 4}},
        {QStringLiteral("café"), {1, 2}}, // é matches É
        {QStringLiteral("ÜBER"), {3}},    // Ü as typed matches the byte DC
        {QStringLiteral("cafe"), {}},     // e is not é
        {QString(), {}},                  // an empty text finds nothing
    };
    for (const auto& c : cases)
        EXPECT_EQ(SlotsNamedLike(library, c.text), c.slots) << c.text.toStdString();
    // The 379 unnamed slots are all "empty".
    EXPECT_EQ(SlotsNamedLike(library, QStringLiteral("EMPTY")).size(), 379u);
}

TEST(FindSounds, NextMatchMovesOnAndWraps) {
    const std::vector<int> matches{4, 10, 200};
    EXPECT_EQ(NextMatch(matches, -1), 4);
    EXPECT_EQ(NextMatch(matches, 4), 10);
    EXPECT_EQ(NextMatch(matches, 11), 200);
    EXPECT_EQ(NextMatch(matches, 200), 4);
    EXPECT_EQ(NextMatch({}, 3), -1);
}

TEST(FindSounds, OnlyTheLibrarysRowsAreSearched) {
    TSoundLibrary library = NamedLibrary({"Lead"});
    library.SetSlotCount(0);
    EXPECT_TRUE(SlotsNamedLike(library, QStringLiteral("Lead")).empty());
}

TEST(DuplicateSounds, EqualParametersUnderAnyNameOrLocation) {
    TSoundLibrary library = NamedLibrary({});
    for (int slot = 0; slot < Slots::Count; ++slot) // every sound different
        EditSound(library, slot, [slot](TSoundRecord& record) {
            record[SoundLayout::ParameterByte(0)] = static_cast<std::uint8_t>(slot % 128);
            record[SoundLayout::ParameterByte(1)] = static_cast<std::uint8_t>(slot / 128);
        });
    const auto copy = [&](int from, int to, const std::string& name) {
        library.StoreSound(to, library.Sound(from));
        EditSound(library, to, [to](TSoundRecord& record) {
            record[SoundLayout::BankByte] = static_cast<std::uint8_t>(Slots::BankOf(to));
            record[SoundLayout::ProgramByte] = static_cast<std::uint8_t>(Slots::ProgramOf(to));
        });
        library.SetSoundName(to, name);
    };
    library.SetSoundName(2, "Fat Bass");
    copy(2, 144, "Other Name");
    copy(2, 300, "Fat Bass");
    copy(10, 11, "Lead");
    // A difference in the last sound parameter (183) keeps a sound apart;
    // one in the parameters after the name does not count.
    copy(20, 21, "x");
    EditSound(library, 21, [](TSoundRecord& r) { r[SoundLayout::ParameterByte(183)] ^= 1; });
    copy(30, 31, "y");
    EditSound(library, 31, [](TSoundRecord& r) { r[SoundLayout::ParameterByte(200)] ^= 1; });

    const std::vector<DuplicateSound> expected{{11, 10}, {31, 30}, {144, 2}, {300, 2}};
    const std::vector<DuplicateSound> found = FindDuplicateSounds(library);
    EXPECT_EQ(found, expected);
    EXPECT_EQ(DuplicateLine(library, found[2]), QStringLiteral("B017 = A003 Fat Bass"));
}

TEST(DuplicateSounds, AnEmptyLibraryHasNone) {
    TSoundLibrary library;
    EXPECT_TRUE(FindDuplicateSounds(library).empty());
}

} // namespace
