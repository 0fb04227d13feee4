#include "note_names.h"

std::string NoteLabel(int v) {
    return NoteNames[static_cast<std::size_t>(v % 12)] + std::to_string(v / 12);
}
