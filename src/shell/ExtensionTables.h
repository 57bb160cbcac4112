#pragma once
#include <array>
#include <cstdint>
#include <span>

namespace orv {

// One extension a handler class takes, with the module's built-in icon for it
// (an icon group resource id; 0 = none).
struct ExtensionEntry {
    uint32_t iconId;
    const char* extension;  // with its leading dot, lower case
};

// The extensions of one handler class, in row order. The handler factory matches
// paths against these and registration writes a key for every row.
struct ExtensionTable {
    std::span<const ExtensionEntry> rows;
    bool quickView;  // registered for Quick View
};

extern const ExtensionTable PlanExtensions;
extern const ExtensionTable LibPartExtensions;
extern const ExtensionTable QdlExtensions;
extern const ExtensionTable ModulExtensions;
extern const ExtensionTable SfoldExtensions;
extern const ExtensionTable InfoExtensions;
extern const ExtensionTable InfoScriptExtensions;

// Every table in the order the handler factory tries their classes.
extern const std::array<const ExtensionTable*, 7> AllExtensionTables;

}  // namespace orv
