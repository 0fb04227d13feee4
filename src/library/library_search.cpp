#include "library_search.h"

#include "sound_library.h"

#include <algorithm>
#include <map>
#include <string_view>

namespace {
QString ShownName(const TSoundLibrary& library, int slot) {
    const std::u16string name = NameToUtf16(library.GetSoundName(slot));
    return QString::fromStdU16String(name);
}

std::string_view SoundParameters(const TSoundRecord& record) {
    const auto* first = record.Bytes.data() + SoundLayout::ParameterByte(0);
    return {reinterpret_cast<const char*>(first), SoundLayout::NameParameter};
}
} // namespace

std::vector<int> SlotsNamedLike(const TSoundLibrary& library, const QString& text) {
    std::vector<int> matches;
    if (text.isEmpty())
        return matches;
    for (int slot = 0; slot < library.SlotCount(); ++slot)
        if (ShownName(library, slot).contains(text, Qt::CaseInsensitive))
            matches.push_back(slot);
    return matches;
}

int NextMatch(const std::vector<int>& matches, int slot) {
    if (matches.empty())
        return -1;
    const auto next = std::upper_bound(matches.begin(), matches.end(), slot);
    return next == matches.end() ? matches.front() : *next;
}

std::vector<DuplicateSound> FindDuplicateSounds(const TSoundLibrary& library) {
    std::vector<DuplicateSound> duplicates;
    std::map<std::string_view, int> firstSlotOf;
    for (int slot = 0; slot < library.SlotCount(); ++slot) {
        const auto sound = SoundParameters(library.Sound(slot));
        const auto [known, inserted] = firstSlotOf.emplace(sound, slot);
        if (!inserted)
            duplicates.push_back({slot, known->second});
    }
    return duplicates;
}

QString DuplicateLine(const TSoundLibrary& library, const DuplicateSound& duplicate) {
    return QStringLiteral("%1 = %2 %3")
        .arg(QString::fromStdString(Slots::Caption(duplicate.slot)),
             QString::fromStdString(Slots::Caption(duplicate.original)),
             ShownName(library, duplicate.original).trimmed());
}
