#include "breeding.h"
#include "breeding_history.h"
#include "schema.h"

#include "support/control_sounds.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>

namespace {

// Where a control's value sits in its schema string, read from the sound as
// the editor reads it; nothing where it shows no value of its own.
std::optional<int> PositionIn(const ParameterBinding& binding, const TSoundRecord& sound) {
    const std::uint8_t byte = sound[SoundLayout::ParameterByte(binding.parameter)];
    const std::optional<int> value = ValueForByte(binding, byte);
    if (!value || (binding.kind == ControlKind::List && *value == NoSelection))
        return std::nullopt;
    return binding.kind == ControlKind::List ? *value : *value - binding.min;
}

bool SectionLocked(int parameter, const LockedGroups& locked) {
    for (int g = 0; g < LockGroupCount; ++g)
        if (locked[static_cast<std::size_t>(g)] &&
            LockGroups[static_cast<std::size_t>(g)].Holds(parameter))
            return true;
    return false;
}

bool IsPulseWidthUnderOtherShape(const ParameterBinding& binding, const TSoundRecord& sound) {
    return binding.kind == ControlKind::Knob &&
           (binding.parameter == 2 || binding.parameter == 8) &&
           sound[SoundLayout::ParameterByte(binding.parameter)] < 4;
}

// The first unlocked control whose value the schema does not allow, as its
// member name; empty when the sound lies inside the schema.
std::string OutsideSchema(const TSoundRecord& sound, const SchemaList& schema,
                          const LockedGroups& locked) {
    for (const SchemaEntry& entry : schema) {
        const ParameterBinding& binding = entry.Binding();
        if (SectionLocked(binding.parameter, locked) ||
            entry.allowed.find('1') == std::string::npos ||
            IsPulseWidthUnderOtherShape(binding, sound))
            continue;
        const std::optional<int> position = PositionIn(binding, sound);
        if (!position || static_cast<std::size_t>(*position) >= entry.allowed.size() ||
            entry.allowed[static_cast<std::size_t>(*position)] != '1')
            return std::string(binding.member);
    }
    return {};
}

bool SameSection(const TSoundRecord& a, const TSoundRecord& b, const LockGroup& group) {
    for (int p = 0; p < SoundLayout::ParameterCount; ++p)
        if (group.Holds(p) && a[SoundLayout::ParameterByte(p)] != b[SoundLayout::ParameterByte(p)])
            return false;
    return true;
}

struct SchemaCase {
    const char* what;
    SchemaTolerances tolerances;
};

// The derivation examples: the stored defaults, no tolerance at all, wide
// tolerances, sequencer steps held to octaves or to a scale the parent's
// steps may miss.
const SchemaCase DerivedSchemas[] = {
    {"defaults", {}},
    {"no tolerance", {0, 0, 0, 0, 0, 0}},
    {"wide", {64, 64, 64, 64, 120, 0}},
    {"octave steps", {0, 2, 10, 3, 12, 13}},
    {"ionian steps", {2, 1, 5, 3, 0, 2}},
};

} // namespace

TEST(Breeding, EveryChildLiesInsideTheSchemaAndLockedSectionsStay) {
    const TSoundRecord first = RandomSound(1, "Fat Bass");
    const TSoundRecord second = RandomSound(2, "Glass");
    // Bytes no control shows: every child still lies inside the schema.
    TSoundRecord hostile;
    hostile.Bytes.fill(0xFF);
    const TSoundRecord parents[] = {first, second, hostile};
    LockedGroups locked{};
    locked[1] = locked[10] = locked[17] = true; // oscillator 2, modulation, track 3

    std::vector<std::pair<std::string, SchemaList>> schemas;
    for (const SchemaCase& c : DerivedSchemas)
        schemas.emplace_back(c.what, DeriveSchemaFromSound(RandomControlValues(1), c.tolerances));
    schemas.emplace_back(AnyValueSchemaName, AnyValueSchema());

    for (const auto& [name, schema] : schemas) {
        for (const int mutation : {0, 5, 50, 100}) {
            const BreedingSettings settings{MaxChildCount, mutation, locked, 77};
            const BredChildren bred = Breed(parents, schema, settings);
            ASSERT_EQ(bred.children.size(), static_cast<std::size_t>(MaxChildCount));
            for (const TSoundRecord& child : bred.children) {
                EXPECT_EQ(OutsideSchema(child, schema, locked), "") << name << " at " << mutation;
                for (int g = 0; g < LockGroupCount; ++g) {
                    const LockGroup& group = LockGroups[static_cast<std::size_t>(g)];
                    if (locked[static_cast<std::size_t>(g)]) {
                        EXPECT_TRUE(SameSection(child, first, group)) << name << ", " << g;
                    }
                }
                EXPECT_EQ(GetSoundName(child), GetSoundName(first));
            }
        }
    }
}

TEST(Breeding, WithoutMutationChildrenAreMadeOfWholeParentSections) {
    const TSoundRecord a = RandomSound(10, "A");
    const TSoundRecord b = RandomSound(11, "B");
    const SchemaList any = AnyValueSchema();

    // One parent: every child is the parent.
    const TSoundRecord one[] = {a};
    for (const TSoundRecord& child : Breed(one, any, {8, 0, {}, 5}).children)
        EXPECT_EQ(child, a);
    // A schema derived from the parent holds the parent too.
    const SchemaList derived = DeriveSchemaFromSound(RandomControlValues(10), {});
    for (const TSoundRecord& child : Breed(one, derived, {4, 0, {}, 6}).children)
        EXPECT_EQ(child, a);

    // Two parents: each section whole from one of them, and both are used.
    const TSoundRecord two[] = {a, b};
    std::set<int> fromB;
    for (const TSoundRecord& child : Breed(two, any, {16, 0, {}, 9}).children) {
        for (int g = 0; g < LockGroupCount; ++g) {
            const LockGroup& group = LockGroups[static_cast<std::size_t>(g)];
            const bool fromA = SameSection(child, a, group);
            EXPECT_TRUE(fromA || SameSection(child, b, group)) << group.caption;
            if (!fromA)
                fromB.insert(g);
        }
    }
    EXPECT_GT(fromB.size(), 10u);
}

TEST(Breeding, MutationChangesMoreAndFartherAsTheAmountGrows) {
    const TSoundRecord parent = RandomSound(20, "P");
    const TSoundRecord one[] = {parent};
    const SchemaList any = AnyValueSchema();
    const auto changes = [&](int mutation) {
        int changed = 0;
        long distance = 0;
        for (const TSoundRecord& child : Breed(one, any, {16, mutation, {}, 3}).children)
            for (const ParameterBinding& binding : ParameterBindings) {
                const auto from = PositionIn(binding, parent);
                const auto to = PositionIn(binding, child);
                if (from && to && *from != *to) {
                    ++changed;
                    distance += std::abs(*to - *from);
                }
            }
        return std::pair{changed, changed ? distance / changed : 0};
    };
    const auto [few, near] = changes(10);
    const auto [many, far] = changes(100);
    EXPECT_GT(few, 0);
    EXPECT_GT(many, 5 * few);
    EXPECT_LE(near, 8);
    EXPECT_GT(far, 4 * near);
}

TEST(Breeding, ASeedGivesTheSameGenerationAndAnotherSeedAnother) {
    const TSoundRecord parents[] = {RandomSound(30, "X"), RandomSound(31, "Y")};
    const SchemaList any = AnyValueSchema();
    const BreedingSettings settings{12, 40, {}, 123456};
    EXPECT_EQ(Breed(parents, any, settings).children, Breed(parents, any, settings).children);
    BreedingSettings other = settings;
    other.seed = 123457;
    EXPECT_NE(Breed(parents, any, settings).children, Breed(parents, any, other).children);
}

TEST(Breeding, RefusesWhatItCannotBreed) {
    const SchemaList any = AnyValueSchema();
    const TSoundRecord five[5] = {};
    EXPECT_EQ(Breed({}, any, {}).problem, "Choose one to four parent sounds.");
    EXPECT_EQ(Breed(five, any, {}).problem, "Choose one to four parent sounds.");
    EXPECT_EQ(Breed(std::span(five, 1), any, {17, 0, {}, 0}).problem,
              "A generation has 1 to 16 children.");
}

TEST(ChildName, JoinsTheParentsAndFitsSixteenCharacters) {
    struct Case {
        std::vector<std::string> parents;
        int generation, child;
        std::string name;
    };
    const Case cases[] = {
        {{"Bass", "Glass"}, 3, 5, "Bass x Glass 3-5"},
        {{"Fat Bass        ", "Glass"}, 3, 5, "Fat x Glass 3-5"},
        {{"  Lead  "}, 1, 16, "Lead 1-16"},
        {{"Lead", "Lead"}, 2, 1, "Lead 2-1"},
        {{"Strings Ensemble"}, 12, 10, "Strings En 12-10"},
        {{"Alpha", "Bravo", "Charlie", "Delta"}, 2, 7, "AlxBrxChxDe 2-7"},
        {{"", "  "}, 1, 1, "Child 1-1"},
    };
    for (const Case& c : cases) {
        const std::string name = ChildName(c.parents, c.generation, c.child);
        EXPECT_EQ(name, c.name);
        EXPECT_LE(name.size(), 16u) << name;
    }
}

TEST(BreedingHistory, BreedsFromLikedChildrenAndWalksTheGenerations) {
    BreedingHistory history;
    const SchemaList any = AnyValueSchema();
    EXPECT_EQ(history.Breed(any, {}), "Choose one to four parent sounds.");
    for (int p = 0; p < 5; ++p)
        EXPECT_EQ(history.AddParent({RandomSound(40 + p, "Pad"), "Pad"}), p < MaxParents);
    history.RemoveParent(3);
    history.RemoveParent(2);
    ASSERT_EQ(history.Parents().size(), 2u);

    ASSERT_EQ(history.Breed(any, {8, 30, {}, 1}), "");
    const Generation first = *history.Shown();
    EXPECT_EQ(first.number, 1);
    EXPECT_EQ(GetSoundName(first.children[4].sound), "Pad 1-5         ");

    // None liked: the next generation comes from the same parents.
    ASSERT_EQ(history.Breed(any, {8, 30, {}, 2}), "");
    EXPECT_EQ(history.Shown()->parents, first.parents);
    history.SetLiked(2, true);
    history.SetLiked(6, true);
    history.Rename(6, "Keeper");
    ASSERT_EQ(history.Breed(any, {8, 30, {}, 3}), "");
    const Generation& third = *history.Shown();
    EXPECT_EQ(third.number, 3);
    ASSERT_EQ(third.parents.size(), 2u);
    EXPECT_EQ(GetSoundName(third.parents[1]), "Keeper          ");
    EXPECT_EQ(GetSoundName(third.children[0].sound), "Pad 3-1         ");

    // Back twice and breed: the generations after the shown one go.
    history.Back();
    history.Back();
    EXPECT_FALSE(history.CanGoBack());
    EXPECT_EQ(history.Shown()->seed, 1u);
    history.Forward();
    EXPECT_TRUE(history.Shown()->children[2].liked);
    history.Back();
    ASSERT_EQ(history.Breed(any, {4, 30, {}, 4}), "");
    EXPECT_EQ(history.GenerationCount(), 2u);
    EXPECT_FALSE(history.CanGoForward());

    // More than four liked: the first four are the parents.
    for (std::size_t c = 0; c < 4; ++c)
        history.SetLiked(c, true);
    history.Back();
    for (std::size_t c = 0; c < 6; ++c)
        history.SetLiked(c, true);
    EXPECT_EQ(history.LikedBeyondParents(), 2u);
    ASSERT_EQ(history.Breed(any, {4, 0, {}, 5}), "");
    EXPECT_EQ(history.Shown()->parents.size(), 4u);

    // New parents start again.
    EXPECT_TRUE(history.AddParent({RandomSound(50, "New"), "New"}));
    EXPECT_EQ(history.Shown(), nullptr);
}
