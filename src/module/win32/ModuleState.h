#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "module/win32/ClassId.h"

namespace orv {

// What keeps the module loaded besides its live objects: the locks hosts take
// through the class factory.
struct ModuleState {
    std::atomic<int32_t> lockCount{0};

    // No live object and no lock.
    bool CanUnload() const;
};

extern ModuleState moduleState;

// A class id in registry form, "{...}" in upper-case hexadecimal.
void MakeClassIdString(REFCLSID classId, char (&text)[128]);

}  // namespace orv
