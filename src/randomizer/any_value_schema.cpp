#include "any_value_schema.h"

SchemaList AnyValueSchema() {
    SchemaList list;
    for (SchemaEntry& entry : list) {
        const ParameterBinding& binding = entry.Binding();
        const std::size_t count = binding.kind == ControlKind::List
                                      ? ListItems(binding.list).size()
                                      : static_cast<std::size_t>(binding.max - binding.min + 1);
        entry.allowed.assign(count, '1');
    }
    return list;
}
