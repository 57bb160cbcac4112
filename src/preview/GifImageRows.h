#pragma once
#include <array>
#include <cstdint>

namespace orv {

// Where the pixels of one image land on the canvas. The data gives the image's rows
// in storage order: top to bottom, or the four passes of an interlaced image. Each
// storage row maps to an image row and so to a canvas row; the parts of the image
// beyond the canvas's right and bottom edges are cut off.
class GifImageRows {
public:
    struct Placement {
        uint32_t left;
        uint32_t top;
        uint32_t width;
        uint32_t height;
        bool interlaced;
    };

    // The bitmap holds the canvas bottom row first, 4 bytes a pixel.
    GifImageRows(uint8_t* bitmap, uint32_t canvasWidth, uint32_t canvasHeight, const Placement& image);

    // How many of the image's columns, from the left, lie on the canvas.
    uint32_t VisibleColumns() const { return visibleColumns; }
    // The canvas pixel of the image's first column in storage row s (below the
    // image's height), or null when that row lies off the canvas.
    uint8_t* Row(uint32_t s) const;
    // The last storage row at or before s that lies on the canvas; NoRow if none.
    static constexpr uint32_t NoRow = UINT32_MAX;
    uint32_t VisibleAtOrBefore(uint32_t s) const;
    // Paints the colour over the pixels on the canvas from column x of storage row s on.
    void FillFrom(uint32_t s, uint32_t x, uint32_t colour) const;

private:
    // One pass: image rows firstRow, firstRow + step ... stored from storage row start;
    // those stored before visibleEnd lie on the canvas.
    struct Pass {
        uint32_t firstRow;
        uint32_t step;
        uint32_t start;
        uint32_t visibleEnd;
    };

    uint8_t* bitmap;
    uint32_t canvasWidth;
    uint32_t canvasHeight;
    uint32_t left;
    uint32_t top;
    uint32_t visibleColumns;
    std::array<Pass, 4> passes{};
    unsigned passCount;
};

}  // namespace orv
