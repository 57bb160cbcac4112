#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "server/win32/ClassId.h"

namespace orv {

// What the whole module shares: the unload counts and its own instance handle.
struct ModuleState {
    std::atomic<int32_t> objectCount{0};
    std::atomic<int32_t> lockCount{0};
    HINSTANCE moduleInstance = nullptr;
};

extern ModuleState moduleState;

// The class id in registry form, "{...}" in upper-case hexadecimal.
void MakeClassIdString(char (&text)[128]);

}  // namespace orv
