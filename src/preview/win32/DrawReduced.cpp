#include "preview/win32/DrawReduced.h"

#include <cstring>
#include <memory>
#include <new>

#include "preview/BitmapInfo.h"
#include "preview/ColorReduction.h"
#include "preview/InverseColorTable.h"
#include "preview/win32/PreviewDrawing.h"

namespace orv {
namespace {

constexpr unsigned tableBits = 4;

template <typename T>
std::unique_ptr<T[]> Zeroed(uint64_t count)
{
    if (count == 0 || count > SIZE_MAX / sizeof(T))
        return nullptr;
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]());
}

uint64_t RowBytes(uint64_t bitsPerPixel, uint64_t width)
{
    return (bitsPerPixel * width + 31) / 32 * 4;
}

// Shows the wait cursor while the conversion runs.
class WaitCursor {
public:
    WaitCursor() : previous(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous;
};

// Selects a palette as background palette and the previous one back on exit.
class BackgroundPalette {
public:
    BackgroundPalette(HDC dc, HPALETTE palette) : dc(dc), previous(SelectPalette(dc, palette, TRUE))
    {
        RealizePalette(dc);
    }
    ~BackgroundPalette()
    {
        SelectPalette(dc, previous ? previous : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), TRUE);
        RealizePalette(dc);
    }
    BackgroundPalette(const BackgroundPalette&) = delete;
    BackgroundPalette& operator=(const BackgroundPalette&) = delete;

private:
    HDC dc;
    HPALETTE previous;
};

class StretchModeScope {
public:
    StretchModeScope(HDC dc, uint32_t colourCount) : dc(dc), previous(SelectStretchMode(dc, colourCount)) {}
    ~StretchModeScope() { SetStretchBltMode(dc, previous); }
    StretchModeScope(const StretchModeScope&) = delete;
    StretchModeScope& operator=(const StretchModeScope&) = delete;

private:
    HDC dc;
    int previous;
};

// The output bitmap's header and colour table: palette indices on a palette
// device, the palette's colours otherwise.
std::unique_ptr<uint8_t[]> OutputHeader(uint32_t width, uint32_t bitsPerPixel, const ScreenPalette& palette,
                                        bool paletteDevice)
{
    uint32_t count = static_cast<uint32_t>(palette.colours.size());
    auto header = Zeroed<uint8_t>(sizeof(BitmapInfoHeader) + uint64_t{count} * 4);
    if (!header)
        return nullptr;
    BitmapInfoHeader info = {};
    info.biSize = sizeof info;
    info.biWidth = static_cast<int32_t>(width);
    info.biHeight = 1;
    info.biPlanes = 1;
    info.biBitCount = static_cast<uint16_t>(bitsPerPixel);
    info.biClrUsed = count;
    StoreStruct(header.get(), info);
    uint8_t* table = header.get() + sizeof info;
    for (uint32_t i = 0; i < count; ++i) {
        if (paletteDevice)
            StoreStruct(table + i * 2, static_cast<uint16_t>(i));
        else
            StoreStruct(table + i * 4, palette.colours[i]);
    }
    return header;
}

void SetOutputHeight(uint8_t* header, int32_t height)
{
    auto info = LoadStruct<BitmapInfoHeader>(header);
    info.biHeight = height;
    StoreStruct(header, info);
}

}  // namespace

std::optional<ScreenPalette> BuildScreenPalette(HDC dc, uint32_t size)
{
    if (size == 0 || size > 256)
        return std::nullopt;
    auto logical = Zeroed<uint8_t>(sizeof(LOGPALETTE) + uint64_t{size} * sizeof(PALETTEENTRY));
    if (!logical)
        return std::nullopt;
    auto* palette = reinterpret_cast<LOGPALETTE*>(logical.get());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(size);
    PALETTEENTRY* entries = palette->palPalEntry;
    if (size == 2) {
        entries[1] = {255, 255, 255, 0};
    } else if (GetSystemPaletteEntries(dc, 0, size, entries) == 0) {
        return std::nullopt;
    }
    ScreenPalette result;
    result.palette.reset(CreatePalette(palette));
    if (!result.palette)
        return std::nullopt;
    result.colours.resize(size);
    for (uint32_t i = 0; i < size; ++i)
        result.colours[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    return result;
}

bool DrawReduced(HDC dc, const uint8_t* bitmapInfo, const uint8_t* pixels, Rect src, Rect dst)
{
    if (dc == nullptr || bitmapInfo == nullptr || pixels == nullptr)
        return false;
    auto info = LoadStruct<BitmapInfoHeader>(bitmapInfo);
    BitmapFacts facts;
    if (!GetBitmapInfo(&info, facts) || info.biCompression != CompressionRgb)
        return false;
    int64_t sourceWidth = int64_t{src.right} - src.left;
    int64_t sourceHeight = int64_t{src.bottom} - src.top;
    int64_t width = int64_t{dst.right} - dst.left;
    int64_t height = int64_t{dst.bottom} - dst.top;
    int64_t rows = info.biHeight < 0 ? -int64_t{info.biHeight} : info.biHeight;
    if (sourceWidth <= 0 || sourceHeight <= 0 || width <= 0 || height <= 0 || src.left < 0 || src.top < 0 ||
        src.right > info.biWidth || src.bottom > rows)
        return false;

    WaitCursor wait;
    ScreenDepth screen;
    if (!GetScreenDepth(nullptr, screen) ||
        (screen.bitsPerPixel != 1 && screen.bitsPerPixel != 4 && screen.bitsPerPixel != 8))
        return false;
    auto palette = BuildScreenPalette(dc, static_cast<uint32_t>(screen.paletteSize));
    if (!palette)
        return false;
    uint32_t paletteSize = static_cast<uint32_t>(palette->colours.size());
    auto table = Zeroed<uint8_t>(InverseTableSize(tableBits));
    if (!table || !BuildInverseTable(paletteSize, palette->colours.data(), tableBits, table.get()))
        return false;
    auto header = OutputHeader(static_cast<uint32_t>(width), static_cast<uint32_t>(screen.bitsPerPixel), *palette,
                               screen.paletteDevice);
    if (!header)
        return false;

    uint64_t outputRowBytes = RowBytes(static_cast<uint64_t>(screen.bitsPerPixel), static_cast<uint64_t>(width));
    // The whole image when memory allows, else one row drawn as soon as it is made.
    auto image = Zeroed<uint8_t>(outputRowBytes * static_cast<uint64_t>(height));
    bool wholeImage = image != nullptr;
    if (!wholeImage && !(image = Zeroed<uint8_t>(outputRowBytes)))
        return false;
    SetOutputHeight(header.get(), wholeImage ? static_cast<int32_t>(height) : 1);
    ErrorRows errors;
    if (!errors.Allocate(static_cast<uint32_t>(width)))
        return false;

    const bool sameSize = sourceWidth == width && sourceHeight == height;
    std::unique_ptr<uint8_t[]> stretched;
    if (!sameSize && !(stretched = Zeroed<uint8_t>(RowBytes(facts.bitsPerPixel, static_cast<uint64_t>(width)))))
        return false;

    std::optional<BackgroundPalette> selected;
    if (screen.paletteDevice)
        selected.emplace(dc, palette->palette.get());
    StretchModeScope mode(dc, paletteSize);

    const UINT usage = screen.paletteDevice ? DIB_PAL_COLORS : DIB_RGB_COLORS;
    const auto* bitmap = reinterpret_cast<const BITMAPINFO*>(header.get());
    DitherSetup setup = {static_cast<uint32_t>(screen.bitsPerPixel), facts.bitsPerPixel, static_cast<uint32_t>(width),
                         palette->colours.data(), paletteSize,
                         reinterpret_cast<const RgbQuad*>(bitmapInfo + sizeof(BitmapInfoHeader)), facts.colourCount,
                         table.get(), tableBits};
    // Output row j, top first: in the whole image it is stored bottom row first.
    auto outputRow = [&](uint32_t j) {
        return wholeImage ? image.get() + (static_cast<uint64_t>(height) - 1 - j) * outputRowBytes : image.get();
    };
    auto emit = [&](uint32_t j) {
        if (!wholeImage)
            StretchDIBits(dc, dst.left, dst.top + static_cast<int>(j), static_cast<int>(width), 1, 0, 0,
                          static_cast<int>(width), 1, image.get(), bitmap, usage, SRCCOPY);
    };
    auto sourceRow = [&](int64_t k) {
        int64_t stored = info.biHeight < 0 ? src.top + k : rows - 1 - src.top - k;
        return pixels + static_cast<uint64_t>(stored) * static_cast<uint64_t>(facts.rowBytes);
    };

    for (uint32_t k = 0; k < sourceHeight; ++k) {
        if (sameSize) {
            DitherRow(outputRow(k), sourceRow(k), static_cast<uint32_t>(src.left), errors, setup);
            emit(k);
            continue;
        }
        RowRange range = ScaledRows(k, static_cast<uint32_t>(sourceHeight), static_cast<uint32_t>(height));
        if (range.first == range.end)
            continue;
        std::memset(stretched.get(), 0, RowBytes(facts.bitsPerPixel, static_cast<uint64_t>(width)));
        StretchRow(sourceRow(k), static_cast<uint32_t>(src.left), static_cast<uint32_t>(sourceWidth), stretched.get(),
                   static_cast<uint32_t>(width), facts.bitsPerPixel);
        for (uint32_t j = range.first; j < range.end; ++j) {
            DitherRow(outputRow(j), stretched.get(), 0, errors, setup);
            emit(j);
        }
    }
    if (wholeImage)
        StretchDIBits(dc, dst.left, dst.top, static_cast<int>(width), static_cast<int>(height), 0, 0,
                      static_cast<int>(width), static_cast<int>(height), image.get(), bitmap, usage, SRCCOPY);
    return true;
}

}  // namespace orv
