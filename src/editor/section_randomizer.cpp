#include "section_randomizer.h"

#include "editor_sections.h"
#include "schema.h"

#include <stdexcept>

namespace {
constexpr int PulseWaveItem = 4;
} // namespace

bool ControlTakes(const ParameterBinding& binding, int value) {
    switch (binding.kind) {
    case ControlKind::Knob:
    case ControlKind::Slider:
        return value >= binding.min && value <= binding.max;
    case ControlKind::List:
        return value >= 0 && value < static_cast<int>(ListItems(binding.list).size());
    case ControlKind::Led:
        return true;
    }
    return false;
}

int AppliedValue(const ParameterBinding& binding, int shown, int value) {
    if (!ControlTakes(binding, value))
        return shown;
    if (binding.kind == ControlKind::Led)
        return value == 1 ? 1 : 0;
    return value;
}

int SectionIndex(std::string_view button) {
    for (std::size_t i = 0; i < SectionRandomizers.size(); ++i)
        if (SectionRandomizers[i].button == button)
            return static_cast<int>(i);
    return -1;
}

std::vector<int> RandomizeSection(int section, SchemaList& schema, ControlValues& values,
                                  const ValueDraw& draw) {
    std::vector<int> rows;
    for (const ControlRef control :
         SectionRandomizers.at(static_cast<std::size_t>(section)).controls) {
        const int row = RowOf(control);
        if (row < 0)
            throw std::logic_error("a section control without binding");
        const ParameterBinding& binding = ParameterBindings[static_cast<std::size_t>(row)];
        if (IsPulseWidthKnob(binding) &&
            values[static_cast<std::size_t>(RowOf({binding.parameter}))] != PulseWaveItem)
            continue;
        int& value = values[static_cast<std::size_t>(row)];
        value = AppliedValue(binding, value, draw(schema[static_cast<std::size_t>(row)]));
        rows.push_back(row);
    }
    return rows;
}

std::vector<int> RandomizeComposite(int composite, SchemaList& schema, ControlValues& values,
                                    const ValueDraw& draw) {
    std::vector<int> rows;
    for (std::string_view button :
         CompositeRandomizers.at(static_cast<std::size_t>(composite)).sections) {
        const int section = SectionIndex(button);
        if (section < 0)
            throw std::logic_error("a composite button without its section");
        const std::vector<int> drawn = RandomizeSection(section, schema, values, draw);
        rows.insert(rows.end(), drawn.begin(), drawn.end());
    }
    return rows;
}
