#include "preview/win32/Win32ScreenResolution.h"

#include <windows.h>

#include <memory>
#include <type_traits>

namespace orv {
namespace {

struct ReleaseScreenDc {
    void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};

}  // namespace

bool Win32ScreenResolution::Query(ScreenMetrics& metrics) const
{
    std::unique_ptr<std::remove_pointer_t<HDC>, ReleaseScreenDc> screen(GetDC(nullptr));
    if (!screen)
        return false;
    metrics.horizontalPixels = GetDeviceCaps(screen.get(), HORZRES);
    metrics.horizontalMillimetres = GetDeviceCaps(screen.get(), HORZSIZE);
    metrics.verticalPixels = GetDeviceCaps(screen.get(), VERTRES);
    metrics.verticalMillimetres = GetDeviceCaps(screen.get(), VERTSIZE);
    return true;
}

}  // namespace orv
