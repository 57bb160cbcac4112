#include "Image.h"

#include <algorithm>
#include <array>
#include <fstream>

#include "WideText.h"

namespace orv::host {
namespace {

// 32-bit top-down pixels of a bitmap.
std::vector<uint32_t> BitmapPixels(HDC dc, HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    return pixels;
}

}  // namespace

Image CaptureWindow(HWND window)
{
    Image image;
    // The client area: without a window manager the frame is not drawn.
    RECT rect;
    if (!GetClientRect(window, &rect))
        return image;
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    image.width = rect.right - rect.left;
    image.height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, image.width, image.height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, image.width, image.height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    image.pixels = BitmapPixels(memory, bitmap, image.width, image.height);
    for (uint32_t& pixel : image.pixels)
        pixel |= 0xFF000000u;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

Image IconPixels(HICON icon)
{
    Image image;
    ICONINFO info = {};
    if (icon == nullptr || !GetIconInfo(icon, &info))
        return image;
    BITMAP mask = {};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    image.width = mask.bmWidth;
    // A monochrome icon keeps its AND and XOR masks stacked in one bitmap.
    image.height = info.hbmColor ? mask.bmHeight : mask.bmHeight / 2;
    HDC dc = CreateCompatibleDC(nullptr);
    std::vector<uint32_t> andMask = BitmapPixels(dc, info.hbmMask, mask.bmWidth, mask.bmHeight);
    std::vector<uint32_t> colour;
    if (info.hbmColor)
        colour = BitmapPixels(dc, info.hbmColor, image.width, image.height);
    else
        colour.assign(andMask.begin() + static_cast<size_t>(image.width) * image.height, andMask.end());
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        bool transparent = (andMask[i] & 0xFFFFFF) != 0;
        image.pixels[i] = transparent ? 0 : ((colour[i] & 0xFFFFFF) | 0xFF000000u);
    }
    DeleteDC(dc);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return image;
}

namespace {

uint32_t Crc(const uint8_t* data, size_t size, uint32_t crc = 0xFFFFFFFFu)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

void PutU32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void Chunk(std::ofstream& file, const char* type, const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> bytes;
    PutU32(bytes, static_cast<uint32_t>(data.size()));
    bytes.insert(bytes.end(), type, type + 4);
    bytes.insert(bytes.end(), data.begin(), data.end());
    PutU32(bytes, Crc(bytes.data() + 4, bytes.size() - 4) ^ 0xFFFFFFFFu);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

bool WritePng(const Image& image, const std::string& path)
{
    if (image.width <= 0 || image.height <= 0)
        return false;
    std::vector<uint8_t> raw;
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < image.width; ++x) {
            uint32_t p = image.At(x, y);
            raw.insert(raw.end(), {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                                   static_cast<uint8_t>(p), static_cast<uint8_t>(p >> 24)});
        }
    }
    // zlib stream of stored deflate blocks.
    std::vector<uint8_t> z = {0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t offset = 0; offset < raw.size() || offset == 0; offset += 65535) {
        size_t length = std::min<size_t>(65535, raw.size() - offset);
        bool last = offset + length >= raw.size();
        z.push_back(last ? 1 : 0);
        z.insert(z.end(), {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                           static_cast<uint8_t>(~length), static_cast<uint8_t>(~length >> 8)});
        z.insert(z.end(), raw.begin() + offset, raw.begin() + offset + length);
        if (last)
            break;
    }
    PutU32(z, b << 16 | a);

    std::ofstream file(Widen(path).c_str(), std::ios::binary | std::ios::trunc);
    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    file.write(reinterpret_cast<const char*>(signature), 8);
    std::vector<uint8_t> header;
    PutU32(header, static_cast<uint32_t>(image.width));
    PutU32(header, static_cast<uint32_t>(image.height));
    header.insert(header.end(), {8, 6, 0, 0, 0});
    Chunk(file, "IHDR", header);
    Chunk(file, "IDAT", z);
    Chunk(file, "IEND", {});
    return static_cast<bool>(file);
}

}  // namespace orv::host
