#pragma once

#include "sound_library.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <vector>

// Undo and redo of the library's contents: the sounds, their "Changed" marks
// and the number of rows. A command runs inside a step; the history watches
// the library and keeps each slot's state from before its first change in
// the step; when the outermost step ends, the slots that differ from that
// state become one entry. Steps nest, so a read of many sounds, or a reply taken while a
// command runs, joins the step already open. An entry keeps only the slots
// it changed; undoing exchanges them with the library's, so the same entry
// then redoes the change.
class LibraryHistory : private LibraryObserver {
public:
    static constexpr std::size_t DefaultDepth = 100;

    explicit LibraryHistory(TSoundLibrary& library, std::size_t depth = DefaultDepth);
    ~LibraryHistory() override;
    LibraryHistory(const LibraryHistory&) = delete;
    LibraryHistory& operator=(const LibraryHistory&) = delete;

    // Holds a step open for its lifetime.
    class Step {
    public:
        explicit Step(LibraryHistory& history) : history_(history) { history_.BeginStep(); }
        ~Step() { history_.EndStep(); }
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

    private:
        LibraryHistory& history_;
    };

    void BeginStep();
    void EndStep();
    bool StepOpen() const { return openSteps_ > 0; }
    // What changed so far in the open step is not to be undone (a send
    // rewriting location bytes and clearing marks).
    void AcceptChangesSoFar();
    // What changed so far in the open step becomes an entry of its own and
    // the step goes on: a sound kept while a long session (the editor) holds
    // a step open is undone by itself.
    void SplitStep();

    // Called whenever CanUndo or CanRedo may have changed: a step ended, an
    // undo or a redo (the window's Undo and Redo items follow it).
    void SetChangeNotice(std::function<void()> notice) { changeNotice_ = std::move(notice); }

    bool CanUndo() const { return !StepOpen() && !undo_.empty(); }
    bool CanRedo() const { return !StepOpen() && !redo_.empty(); }
    // The slots the undo or redo changed; empty when there was nothing to do.
    std::vector<int> Undo();
    std::vector<int> Redo();
    // True when the last undo or redo changed the number of rows.
    bool RowCountChanged() const { return rowCountChanged_; }

    std::size_t UndoCount() const { return undo_.size(); }
    // Bytes held by the stored entries (not counting the open step's snapshot).
    std::size_t StoredBytes() const;

private:
    struct SlotState {
        std::uint16_t slot = 0;
        std::uint8_t changed = 0;
        TSoundRecord record{};
    };
    struct Entry {
        std::vector<SlotState> slots;
        int slotCount = 0;
    };
    void SlotAboutToChange(int slot) override;
    void Notify() const;

    std::vector<int> Exchange(std::deque<Entry>& from, std::deque<Entry>& to);
    // The slots that differ from their state before the step, as an entry, if any.
    void RecordEntry();
    // What the library holds now is where the open step starts from.
    void StartFromNow();

    TSoundLibrary& library_;
    std::size_t depth_;
    std::function<void()> changeNotice_;
    int openSteps_ = 0;
    bool rowCountChanged_ = false;
    // The open step's slots as they were before its first change to each.
    std::map<int, SlotState> before_;
    int slotCountBefore_ = 0;
    std::deque<Entry> undo_;
    std::deque<Entry> redo_;
};
