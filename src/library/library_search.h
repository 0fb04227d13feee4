#pragma once

#include <QString>

#include <vector>

class TSoundLibrary;

// Finding sounds in the library by name, and sounds that are the same.

// The slots (of the library's rows) whose name contains `text`, ignoring
// case, names read as Windows-1252; none for an empty text.
std::vector<int> SlotsNamedLike(const TSoundLibrary& library, const QString& text);

// The first match after `slot`, wrapping to the first; -1 when there is none.
int NextMatch(const std::vector<int>& matches, int slot);

// A slot whose sound equals an earlier slot's.
struct DuplicateSound {
    int slot = 0;
    int original = 0; // the first slot holding that sound
    bool operator==(const DuplicateSound&) const = default;
};

// Every slot whose sound parameters (0..183: the name and the location bytes
// left out) equal an earlier slot's, in slot order.
std::vector<DuplicateSound> FindDuplicateSounds(const TSoundLibrary& library);

// "B017 = A003 Fat Bass": the duplicate, the original and the original's name.
QString DuplicateLine(const TSoundLibrary& library, const DuplicateSound& duplicate);
