#pragma once
#include "shell/win32/HandlerFactory.h"

namespace orv {

// The module's handler classes in the order a path is offered to them.
const HandlerFactory& ModuleHandlers();

}  // namespace orv
