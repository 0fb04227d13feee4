#include "parameter_list.h"

#include "note_names.h"
#include "schema.h"

#include <algorithm>

std::string ParameterListWindowCaption(const ParameterBinding& binding, int value) {
    std::string caption(ParameterListViewCaption);
    if (binding.kind == ControlKind::Knob || binding.kind == ControlKind::Led)
        caption += " (" + CaptionAt(binding, value) + ")";
    return caption;
}

std::vector<std::string> ParameterListRows(const ParameterBinding& binding, bool noteNames) {
    switch (binding.kind) {
    case ControlKind::List:
        return ListItems(binding.list);
    case ControlKind::Led:
        return {"Off", "On"};
    case ControlKind::Knob:
    case ControlKind::Slider:
        break;
    }
    std::vector<std::string> rows;
    for (int value = binding.min; value <= binding.max; ++value) {
        std::string row = std::to_string(value);
        if (binding.kind == ControlKind::Slider && noteNames && value >= 0)
            row += std::string(" ") + NoteNames[static_cast<std::size_t>(value % 12)] + " " +
                   std::to_string(value / 12);
        else if (binding.kind == ControlKind::Knob && binding.display == ValueDisplay::Note &&
                 value >= 0)
            row += " " + NoteLabel(value);
        else if (binding.kind == ControlKind::Knob && binding.display == ValueDisplay::LfoRate)
            row += " " + LfoFrequencyText(value);
        rows.push_back(std::move(row));
    }
    return rows;
}

AllowedValueChecks::AllowedValueChecks(const ParameterBinding& binding, std::string_view allowed) {
    const std::size_t rows = binding.kind == ControlKind::List
                                 ? ListItems(binding.list).size()
                                 : static_cast<std::size_t>(binding.max - binding.min + 1);
    checked_.assign(rows, false);
    for (std::size_t i = 0; i < rows && i < allowed.size(); ++i)
        checked_[i] = allowed[i] != '0';
    if (binding.kind == ControlKind::Knob && allowed.find('1') == std::string_view::npos)
        checked_[rows / 2] = true;
}

void AllowedValueChecks::SelectAll() {
    std::fill(checked_.begin(), checked_.end(), true);
}

void AllowedValueChecks::Invert() {
    checked_.flip();
}

void AllowedValueChecks::SelectTo(std::optional<std::size_t> current) {
    if (current && *current < checked_.size())
        std::fill(checked_.begin(), checked_.begin() + static_cast<long>(*current) + 1, true);
}

void AllowedValueChecks::SelectFrom(std::optional<std::size_t> current) {
    if (current && *current < checked_.size())
        std::fill(checked_.begin() + static_cast<long>(*current), checked_.end(), true);
}

void AllowedValueChecks::SelectScale(int fromRow, int toRow, int scaleRow) {
    if (toRow < fromRow || scaleRow < 0 || scaleRow >= ScaleCount)
        return;
    const Scale& scale = ScaleTable[static_cast<std::size_t>(scaleRow)];
    for (int row = std::max(fromRow, 0); row <= toRow && row < static_cast<int>(size()); ++row)
        checked_[static_cast<std::size_t>(row)] = scale.Contains(row);
}

std::string AllowedValueChecks::Result() const {
    std::string text;
    text.reserve(checked_.size());
    for (const bool checked : checked_)
        text += checked ? '1' : '0';
    return text;
}

std::optional<int> TrackOfStepOne(int row) {
    const int track = SeqTrackOfRow(row);
    if (track == 0 || row != SeqStepRow(track, 1))
        return std::nullopt;
    return track;
}

void ApplyStepOneToTrack(SchemaList& list, int track) {
    if (track < 1 || track > SoundParameter::SeqTracks)
        return;
    const std::string allowed = list[static_cast<std::size_t>(SeqStepRow(track, 1))].allowed;
    for (int step = 2; step <= SoundParameter::SeqSteps; ++step)
        list[static_cast<std::size_t>(SeqStepRow(track, step))].allowed = allowed;
}
