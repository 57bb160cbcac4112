#pragma once
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

}  // namespace orv
