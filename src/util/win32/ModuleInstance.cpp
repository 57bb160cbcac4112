#include "util/win32/ModuleInstance.h"

namespace orv {
namespace {

HINSTANCE moduleInstance = nullptr;

}  // namespace

HINSTANCE ModuleInstance()
{
    return moduleInstance;
}

void SetModuleInstance(HINSTANCE instance)
{
    moduleInstance = instance;
}

}  // namespace orv
