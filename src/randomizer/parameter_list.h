#pragma once

#include "parameter_binding.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SchemaList;

// The Parameter List View's logic, without its window: one check-list row
// per value of a control, checked when the schema allows the value, and the
// buttons that tick rows one by one, in ranges or by scale.

inline constexpr std::string_view ParameterListViewCaption = "Parameter List View";
// "Parameter List View (C5)": a knob adds what its caption shows at `value`,
// an LED its caption; lists and sliders keep the plain caption.
std::string ParameterListWindowCaption(const ParameterBinding& binding, int value);

// The row texts: a list's items; a knob's values ("60 C5" for a note knob,
// "151 DIV 32" for an LFO frequency knob); a slider's values, "60 C 5" while
// its track plays notes (`noteNames`); "Off" and "On" for an LED.
std::vector<std::string> ParameterListRows(const ParameterBinding& binding, bool noteNames = false);

// The "Select from" and "Select to" lists: NoteLabel(0) .. NoteLabel(127),
// "C0" and "H9" chosen at first. Their rows address check-list rows by
// position.
inline constexpr int NoteRangeRowCount = 128;
inline constexpr int DefaultFromRow = 0;
inline constexpr int DefaultToRow = 119;

class AllowedValueChecks {
public:
    // Row i is checked when character i of `allowed` exists and is not '0'. A
    // knob with no '1' has its middle row checked, the value the randomizer
    // would give it.
    AllowedValueChecks(const ParameterBinding& binding, std::string_view allowed);

    std::size_t size() const { return checked_.size(); }
    bool IsChecked(std::size_t row) const { return checked_.at(row); }
    void SetChecked(std::size_t row, bool checked) { checked_.at(row) = checked; }

    void SelectAll();
    void Invert();
    // Check every row up to and including `current`, or every row from it on;
    // with no current row nothing changes. Neither unchecks a row.
    void SelectTo(std::optional<std::size_t> current);
    void SelectFrom(std::optional<std::size_t> current);
    // Rows fromRow..toRow that exist become checked when the scale of
    // ScaleTable row `scaleRow` holds their position, unchecked otherwise;
    // nothing happens when toRow < fromRow.
    void SelectScale(int fromRow, int toRow, int scaleRow);

    // "1" per checked row, "0" per unchecked row.
    std::string Result() const;

private:
    std::vector<bool> checked_;
};

// The track (1..4) whose first step is the control of `row`.
std::optional<int> TrackOfStepOne(int row);
// "Select for all": steps 2..16 of the track take the first step's string.
void ApplyStepOneToTrack(SchemaList& list, int track);
