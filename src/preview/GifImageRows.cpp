#include "preview/GifImageRows.h"

#include <algorithm>
#include <cstring>

namespace orv {
namespace {

// How many of the rows first, first + step ... lie below the limit.
uint32_t RowsBelow(uint32_t limit, uint32_t first, uint32_t step)
{
    return limit > first ? (limit - first + step - 1) / step : 0;
}

}  // namespace

GifImageRows::GifImageRows(uint8_t* bitmap, uint32_t canvasWidth, uint32_t canvasHeight,
                           const Placement& image)
    : bitmap(bitmap), canvasWidth(canvasWidth), canvasHeight(canvasHeight), left(image.left),
      top(image.top), visibleColumns(0), passCount(image.interlaced ? 4 : 1)
{
    static constexpr Pass interlacedPasses[] = {{0, 8, 0, 0}, {4, 8, 0, 0}, {2, 4, 0, 0}, {1, 2, 0, 0}};
    if (left < canvasWidth)
        visibleColumns = std::min(image.width, canvasWidth - left);
    uint32_t visibleRows = 0;
    if (top < canvasHeight && visibleColumns > 0)
        visibleRows = std::min(image.height, canvasHeight - top);
    uint32_t start = 0;
    for (unsigned k = 0; k < passCount; ++k) {
        Pass pass = image.interlaced ? interlacedPasses[k] : Pass{0, 1, 0, 0};
        pass.start = start;
        pass.visibleEnd = start + RowsBelow(visibleRows, pass.firstRow, pass.step);
        passes[k] = pass;
        start += RowsBelow(image.height, pass.firstRow, pass.step);
    }
}

uint8_t* GifImageRows::Row(uint32_t s) const
{
    unsigned k = passCount - 1;
    while (passes[k].start > s)
        --k;
    const Pass& pass = passes[k];
    if (s >= pass.visibleEnd)
        return nullptr;
    uint32_t y = top + pass.firstRow + pass.step * (s - pass.start);
    return bitmap + (uint64_t{canvasHeight - 1 - y} * canvasWidth + left) * 4;
}

uint32_t GifImageRows::VisibleAtOrBefore(uint32_t s) const
{
    for (unsigned k = passCount; k-- > 0;) {
        if (passes[k].start > s)
            continue;
        if (s < passes[k].visibleEnd)
            return s;
        if (passes[k].visibleEnd > passes[k].start)
            return passes[k].visibleEnd - 1;
    }
    return NoRow;
}

void GifImageRows::FillFrom(uint32_t s, uint32_t x, uint32_t colour) const
{
    for (unsigned k = 0; k < passCount; ++k) {
        for (uint32_t r = std::max(s, passes[k].start); r < passes[k].visibleEnd; ++r) {
            uint8_t* pixels = Row(r);
            for (uint32_t c = r == s ? x : 0; c < visibleColumns; ++c)
                std::memcpy(pixels + 4 * c, &colour, 4);
        }
    }
}

}  // namespace orv
