#pragma once

#include "parameter_binding.h"

#include <functional>
#include <string_view>
#include <vector>

class SchemaList;
struct SchemaEntry;

// The editor's randomize buttons without their window: which controls a
// press draws, in which order, and what each control then shows. The window
// shows the outcome through the controls' setters.

// Draws a value for one schema entry (RandomValueFor by default).
using ValueDraw = std::function<int(SchemaEntry&)>;

// Whether the control of `binding` takes `value` as a program's setter does:
// knobs and sliders within Min..Max, lists an index that names an item; an
// LED takes any value (on for 1, off otherwise).
bool ControlTakes(const ParameterBinding& binding, int value);
// The value the control shows after `value` was applied to it.
int AppliedValue(const ParameterBinding& binding, int shown, int value);

// The section of SectionRandomizers whose button is named `button`, or -1.
int SectionIndex(std::string_view button);

// Runs section `section` on `values`: each control in its order gets a drawn
// value, applied before the next is drawn; an oscillator's pulse width only
// when its shape list now shows "Pulse Wave". Returns the rows drawn.
std::vector<int> RandomizeSection(int section, SchemaList& schema, ControlValues& values,
                                  const ValueDraw& draw);
// Runs the sections of composite button `composite` in their order.
std::vector<int> RandomizeComposite(int composite, SchemaList& schema, ControlValues& values,
                                    const ValueDraw& draw);
