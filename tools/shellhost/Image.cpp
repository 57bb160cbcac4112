#include "Image.h"

#include "PngFile.h"

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

bool WritePng(const Image& image, const std::string& path)
{
    if (image.width <= 0 || image.height <= 0)
        return false;
    RgbaImage rgba{uint32_t(image.width), uint32_t(image.height), {}};
    for (uint32_t p : image.pixels)
        rgba.pixels.insert(rgba.pixels.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), uint8_t(p >> 24)});
    std::string error;
    return orv::WritePng(path, rgba, error);
}

}  // namespace orv::host
