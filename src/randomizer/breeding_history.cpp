#include "breeding_history.h"

bool BreedingHistory::AddParent(ParentSound parent) {
    if (parents_.size() >= static_cast<std::size_t>(MaxParents))
        return false;
    parents_.push_back(std::move(parent));
    generations_.clear();
    shown_ = 0;
    return true;
}

void BreedingHistory::RemoveParent(std::size_t index) {
    if (index >= parents_.size())
        return;
    parents_.erase(parents_.begin() + static_cast<std::ptrdiff_t>(index));
    generations_.clear();
    shown_ = 0;
}

const Generation* BreedingHistory::Shown() const {
    return generations_.empty() ? nullptr : &generations_[shown_];
}

Generation* BreedingHistory::ShownGeneration() {
    return generations_.empty() ? nullptr : &generations_[shown_];
}

std::vector<TSoundRecord> BreedingHistory::NextParents() const {
    std::vector<TSoundRecord> next;
    const Generation* shown = Shown();
    if (!shown) {
        for (const ParentSound& parent : parents_)
            next.push_back(parent.sound);
        return next;
    }
    for (const BredChild& child : shown->children)
        if (child.liked && next.size() < static_cast<std::size_t>(MaxParents))
            next.push_back(child.sound);
    return next.empty() ? shown->parents : next;
}

std::size_t BreedingHistory::LikedBeyondParents() const {
    const Generation* shown = Shown();
    if (!shown)
        return 0;
    std::size_t liked = 0;
    for (const BredChild& child : shown->children)
        liked += child.liked ? 1 : 0;
    return liked > static_cast<std::size_t>(MaxParents) ? liked - MaxParents : 0;
}

std::string BreedingHistory::Breed(const SchemaList& schema, const BreedingSettings& settings) {
    const std::vector<TSoundRecord> parents = NextParents();
    BredChildren bred = ::Breed(parents, schema, settings);
    if (!bred.problem.empty())
        return bred.problem;

    Generation next;
    next.number = Shown() ? Shown()->number + 1 : 1;
    next.parents = parents;
    next.seed = settings.seed;
    next.mutation = settings.mutation;
    // Every generation is named after the parents the user chose.
    std::vector<std::string> names;
    for (const ParentSound& parent : parents_)
        names.push_back(GetSoundName(parent.sound));
    for (std::size_t c = 0; c < bred.children.size(); ++c) {
        BredChild child{bred.children[c], false};
        SetSoundName(child.sound, ChildName(names, next.number, static_cast<int>(c) + 1));
        next.children.push_back(child);
    }
    if (!generations_.empty())
        generations_.erase(generations_.begin() + static_cast<std::ptrdiff_t>(shown_) + 1,
                           generations_.end());
    generations_.push_back(std::move(next));
    shown_ = generations_.size() - 1;
    return {};
}

void BreedingHistory::Back() {
    if (CanGoBack())
        --shown_;
}

void BreedingHistory::Forward() {
    if (CanGoForward())
        ++shown_;
}

void BreedingHistory::SetLiked(std::size_t child, bool liked) {
    Generation* shown = ShownGeneration();
    if (shown && child < shown->children.size())
        shown->children[child].liked = liked;
}

void BreedingHistory::Rename(std::size_t child, std::string_view name) {
    Generation* shown = ShownGeneration();
    if (shown && child < shown->children.size())
        SetSoundName(shown->children[child].sound, name);
}
