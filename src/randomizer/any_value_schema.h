#pragma once

#include "schema.h"

#include <string_view>

// The schema that allows every value of every control: breeding and
// randomizing with it roam the instrument's whole range.
inline constexpr std::string_view AnyValueSchemaName = "(any value)";
SchemaList AnyValueSchema();
