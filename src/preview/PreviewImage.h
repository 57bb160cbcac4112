#pragma once
#include <cstdint>
#include <vector>

#include "preview/PreviewPicture.h"

namespace orv {

// Pixels as image files and thumbnails want them: 8-bit red, green, blue and alpha,
// rows from the top.
struct RgbaImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;
};

enum class PreviewContent : uint8_t { None, Bitmap, Metafile };

// What a preview block holds and the size it is shown at: a bitmap's own width and
// height, a metafile's frame. None, 0 x 0, for an empty picture or a block too short
// for its header.
struct PreviewShape {
    PreviewContent content = PreviewContent::None;
    uint32_t width = 0;
    uint32_t height = 0;
};
PreviewShape ShapeOf(const PreviewPicture& picture);

// Pictures larger than this are refused rather than expanded: stored previews are a
// few hundred pixels wide, and a run-length header can claim any size in a few bytes.
inline constexpr uint64_t MaxPreviewPixels = uint64_t{1} << 22;

// The preview's bitmap, opaque, at its own size or scaled down by averaging so that
// neither side exceeds maxSide (0: no limit); never scaled up. Reads uncompressed
// bitmaps of 1, 4, 8, 16, 24 and 32 bits, bit-field bitmaps of 16 and 32 bits, and
// run-length bitmaps of 4 and 8 bits; indices beyond the colour table are black, and
// pixels a run-length stream skips are black. False, with the image untouched, for an
// empty picture, a metafile, a header the block cannot hold or a picture larger than
// MaxPreviewPixels.
bool PreviewBitmap(const PreviewPicture& picture, uint32_t maxSide, RgbaImage& image);

}  // namespace orv
