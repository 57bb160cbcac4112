#pragma once
#include <windows.h>

namespace orv {

// The one class the server serves: {7C5A2E1B-3F4D-4B8A-9E62-0D1F5A8C3B47}.
inline constexpr CLSID ServerClassId = {
    0x7c5a2e1b, 0x3f4d, 0x4b8a, {0x9e, 0x62, 0x0d, 0x1f, 0x5a, 0x8c, 0x3b, 0x47}};

}  // namespace orv
