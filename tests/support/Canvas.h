#pragma once
// A bitmap of the screen's own kind with a device context of its own, as pages and
// icons are drawn into, filled with one colour and read back pixel by pixel.
#include <windows.h>

#include "util/win32/UniqueHandle.h"

namespace orv::test {

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill)
        : bitmap(CreateCompatibleBitmap(unique_screen_dc(GetDC(nullptr)).get(), width, height)),
          selected(dc.get(), bitmap.get())
    {
        RECT all = {0, 0, width, height};
        SetDCBrushColor(dc.get(), fill);
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }

    HDC Dc() const { return dc.get(); }
    COLORREF At(int x, int y) const { return GetPixel(dc.get(), x, y); }

private:
    unique_hdc dc{CreateCompatibleDC(nullptr)};
    unique_hbitmap bitmap;
    unique_select_object selected;
};

}  // namespace orv::test
