#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace orv::host {

// Pixels as 0xAARRGGBB, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// What a window's client area shows on the screen now.
Image CaptureWindow(HWND window);
// An icon's colour pixels, transparent where its mask says so.
Image IconPixels(HICON icon);

// A PNG file of the image, written by the platform's imaging component.
bool WritePng(const Image& image, const std::string& path);

}  // namespace orv::host
