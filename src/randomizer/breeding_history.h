#pragma once

#include "breeding.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The breeder's generations: the parents it started from, each generation's
// children with their liked marks, and the walk back and forth through them.
// Breeding from an earlier generation drops the ones after it, as a new
// branch does.

struct ParentSound {
    TSoundRecord sound;
    std::string label; // how the parents list shows it: "A001 Fat Bass", "Editor: Glass"
};

struct BredChild {
    TSoundRecord sound; // named "Fat Bass x Glass 3-5" until the user renames it
    bool liked = false;
};

struct Generation {
    int number = 1;                    // 1 for the children of the chosen parents
    std::vector<TSoundRecord> parents; // what it was bred from
    std::uint32_t seed = 0;
    int mutation = 0;
    std::vector<BredChild> children;
};

class BreedingHistory {
public:
    // The chosen parents, at most MaxParents; changing them starts again at
    // generation 1 (the generations bred so far are dropped).
    const std::vector<ParentSound>& Parents() const { return parents_; }
    // False, with nothing changed, when four are chosen already.
    bool AddParent(ParentSound parent);
    void RemoveParent(std::size_t index);

    // The next generation, from the liked children of the one shown (the
    // first four of them), or from its parents when none is liked, or from
    // the chosen parents before the first. Returns why nothing was bred, or
    // an empty string.
    std::string Breed(const SchemaList& schema, const BreedingSettings& settings);
    // How many liked children the next Breed passes over (beyond four).
    std::size_t LikedBeyondParents() const;

    std::size_t GenerationCount() const { return generations_.size(); }
    // The generation shown, nothing before the first Breed.
    const Generation* Shown() const;
    bool CanGoBack() const { return shown_ > 0; }
    bool CanGoForward() const { return shown_ + 1 < generations_.size(); }
    void Back();
    void Forward();

    // Children of the shown generation; an index beyond them does nothing.
    void SetLiked(std::size_t child, bool liked);
    // The name bytes (Windows-1252), cut to 16.
    void Rename(std::size_t child, std::string_view name);

private:
    Generation* ShownGeneration();
    std::vector<TSoundRecord> NextParents() const;

    std::vector<ParentSound> parents_;
    std::vector<Generation> generations_;
    std::size_t shown_ = 0;
};
