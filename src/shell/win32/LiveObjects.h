#pragma once
#include <cstdint>

namespace orv {

// The server's COM objects alive now. Each counts itself from construction to
// destruction, so that the module is not unloaded while one exists.
class LiveObjects {
public:
    static void Add();
    static void Remove();
    static int32_t Count();
};

}  // namespace orv
