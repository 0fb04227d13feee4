#pragma once

#include "sound_record.h"
#include "sound_sections.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class SchemaList;

// Sound breeding: children of one to four parent sounds. Each child takes
// every section (the locker's sections) whole from a parent drawn at random,
// then each of its controls mutates with the chance the Mutation amount
// gives, to a value its entry of the family schema allows, near the parent's
// value while the amount is low. Locked sections stay as the first parent has
// them. A control whose value the schema does not allow is moved to the
// nearest value it does, so every unlocked control of a child lies inside the
// schema; an entry that allows nothing leaves its control as inherited.

inline constexpr int MaxParents = 4;
inline constexpr int DefaultChildCount = 8;
inline constexpr int MaxChildCount = 16;
inline constexpr int MaxMutation = 100;

struct BreedingSettings {
    int childCount = DefaultChildCount; // 1..MaxChildCount
    int mutation = 0;                   // 0..MaxMutation: the percent chance a control mutates
    LockedGroups locked{};
    std::uint32_t seed = 0; // the same seed and inputs give the same children
};

struct BredChildren {
    std::vector<TSoundRecord> children;
    std::string problem; // why there are none, as a sentence; empty when bred
};

// The children of `parents`; the header and the name are the first parent's.
BredChildren Breed(std::span<const TSoundRecord> parents, const SchemaList& schema,
                   const BreedingSettings& settings);

// "Fat Bass x Glass 3-5": the parents' names (blanks trimmed, repeated names
// once) joined by " x ", then the generation and the child's number, shortened
// so the whole fits the instrument's 16 name characters: each name loses
// letters from its end, the longest first, down to two letters, then the
// joins lose their blanks. Names are the record's Windows-1252 bytes.
std::string ChildName(std::span<const std::string> parentNames, int generation, int child);
