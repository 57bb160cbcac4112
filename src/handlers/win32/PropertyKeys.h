#pragma once
#include <windows.h>
#include <propsys.h>

#include <string>

namespace orv {

// The keys of the system properties documents have, by canonical name ("System.Title").
// False, or an empty name, for a property the documents do not have.
bool PropertyKeyOf(const std::string& name, PROPERTYKEY& key);
std::string PropertyNameOf(REFPROPERTYKEY key);

}  // namespace orv
