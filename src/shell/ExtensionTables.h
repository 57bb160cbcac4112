#pragma once
#include <array>

#include "registry/FileTypes.h"

namespace orv {

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
