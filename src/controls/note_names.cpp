#include "note_names.h"

QString NoteLabel(int v) {
    return QString::fromLatin1(NoteNames[static_cast<std::size_t>(v % 12)]) +
           QString::number(v / 12);
}
