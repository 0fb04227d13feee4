#include "sound_category.h"

#include <gtest/gtest.h>

TEST(SoundCategory, IsGuessedFromTheLastWordOfTheNameThatNamesOne) {
    const std::pair<const char*, SoundCategory> cases[] = {
        {"Fat Bass", SoundCategory::Bass},
        {"SubBass2", SoundCategory::Bass},
        {"BS-Acid 303", SoundCategory::Bass},
        {"Bass Lead", SoundCategory::Lead},
        {"Arp Bass", SoundCategory::Bass},
        {"Bass Arp", SoundCategory::Sequence},
        {"Slow Strings", SoundCategory::Strings},
        {"Warm Pad  ", SoundCategory::Pad},
        {"E-Piano", SoundCategory::Keys},
        {"Brass Section", SoundCategory::Brass},
        {"Harp Pluck", SoundCategory::Pluck},
        {"Laser FX", SoundCategory::Fx},
        {"Kick Drum", SoundCategory::Percussion},
        {"Seq 1", SoundCategory::Sequence},
        {"Basic", SoundCategory::Other},
        {"Embassy", SoundCategory::Other},
        {"", SoundCategory::Other},
    };
    for (const auto& [name, category] : cases)
        EXPECT_EQ(GuessCategory(name), category) << name;
}

TEST(SoundCategory, KeysReadBackAndArpNamesTheSequenceCategory) {
    for (const SoundCategory category : AllSoundCategories)
        EXPECT_EQ(CategoryFromKey(CategoryKey(category)), category);
    EXPECT_EQ(CategoryFromKey("ARP"), SoundCategory::Sequence);
    EXPECT_EQ(CategoryFromKey("synth"), std::nullopt);
}
