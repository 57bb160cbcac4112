#pragma once
#include <cstdint>
#include <memory>

#include "preview/PictureHeaders.h"

namespace orv {

// The error accumulators of one picture's conversion: three rows for the output
// width, the row being converted (0), the next (1) and the one after (2), each pixel
// holding blue, green and red as 48 times the error that is to reach it.
class ErrorRows {
public:
    // Zero-filled rows for `width` pixels; false when they cannot be had.
    bool Allocate(uint32_t width);

    uint32_t Width() const { return width; }
    int32_t* Row(unsigned k) { return values.get() + rowStart[k]; }
    const int32_t* Row(unsigned k) const { return values.get() + rowStart[k]; }

    // Moves on by one row: row 0 takes row 1's values, row 1 row 2's, and row 2 starts
    // again from zero.
    void Advance();

private:
    std::unique_ptr<int32_t[]> values;
    uint32_t width = 0;
    uint64_t rowStart[3] = {0, 0, 0};
};

// The output rows [first, end) that source row `row` fills when sourceHeight rows are
// scaled to destinationHeight rows; first == end when the row makes none and is not
// converted at all.
struct RowRange {
    uint32_t first;
    uint32_t end;

    bool operator==(const RowRange&) const = default;
};

RowRange ScaledRows(uint32_t row, uint32_t sourceHeight, uint32_t destinationHeight);

// Resamples one row within one pixel format (1, 4, 8, 16, 24 or 32 bits per pixel):
// output pixel j is input pixel firstColumn + m(j), the nearest neighbour with both
// end pixels mapped onto each other and halves going to the higher pixel. Pixel values
// are copied unchanged; pixels of 1 and 4 bits are stored into their bits alone. The
// source must hold the columns firstColumn to firstColumn + sourceWidth - 1, the
// destination destinationWidth pixels. False, with nothing written, for another
// format or a width of 0.
bool StretchRow(const uint8_t* source, uint32_t firstColumn, uint32_t sourceWidth, uint8_t* destination,
                uint32_t destinationWidth, uint32_t bitsPerPixel);

// What stays the same for every row of one picture's conversion.
struct DitherSetup {
    // The display's bits per pixel: 1, 4 or 8.
    uint32_t outputBits;
    // 1, 4, 8, 16, 24 or 32.
    uint32_t inputBits;
    // Pixels per row, in and out.
    uint32_t width;
    // The colour the display shows for each palette index.
    const RgbQuad* paletteColours;
    uint32_t paletteSize;
    // The input's colour table, for inputs of 8 bits or fewer; indices at or beyond
    // inputColourCount read as black.
    const RgbQuad* inputColours;
    uint32_t inputColourCount;
    // Built by BuildInverseTable from the palette colours: the HSV layout for outputs
    // of 1 and 4 bits, the RGB layout for 8.
    const uint8_t* inverseTable;
    unsigned tableBits;
};

// Converts one row: each input pixel from firstColumn on, plus the error that has
// reached it, is matched to the nearest colour the display shows through the inverse
// table (on a 1-bit display every pixel, on a 4-bit display every nearly grey pixel,
// is made grey first), its palette index is stored at the output depth, and on rows
// of 6 pixels or more the difference is spread to the pixels ahead and to the next
// two rows. Rows run left to right and right to left in turn, across all conversions
// of the process. The input must hold the row's columns, the output width pixels at
// the output depth. False, without work, when a row, the error rows (or rows narrower
// than the width), the input colour table of an indexed input, the palette colours
// or the table is missing, or a depth or the table's bits are not supported.
bool DitherRow(uint8_t* output, const uint8_t* input, uint32_t firstColumn, ErrorRows& errors,
               const DitherSetup& setup);

// The direction of the last row converted in this process: 0 before any, 1 when it
// ran left to right, -1 when it ran right to left.
int32_t LastScanDirection();

}  // namespace orv
