#pragma once

#include <string>
#include <string_view>

// Name text as the catalogue compares it: Windows-1252 bytes, case folded,
// so that searching ignores case also for the accented letters.

// Each upper-case letter of Windows-1252 (A-Z, À-Þ but ×, Š, Œ, Ž, Ÿ) as its
// lower-case letter; every other byte unchanged.
std::string FoldCase(std::string_view cp1252);

// The name without the spaces that pad it to 16 characters.
std::string TrimmedName(std::string_view nameBytes);
