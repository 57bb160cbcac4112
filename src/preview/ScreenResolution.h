#pragma once
#include <cstdint>

namespace orv {

// The screen's size in pixels and in millimetres, as the display driver reports
// them. Metafile previews are framed at this resolution.
struct ScreenMetrics {
    int32_t horizontalPixels;
    int32_t horizontalMillimetres;
    int32_t verticalPixels;
    int32_t verticalMillimetres;
};

// Where the screen's metrics come from. The DLL gives the module the screen's; the
// portable build and tests have none unless a test injects its own.
class ScreenResolution {
public:
    virtual ~ScreenResolution() = default;
    // False when no screen can be asked.
    virtual bool Query(ScreenMetrics& metrics) const = 0;

    // The module's source; null, meaning none available, until one is set.
    static const ScreenResolution* Current();
    static void SetCurrent(const ScreenResolution* source);
};

}  // namespace orv
