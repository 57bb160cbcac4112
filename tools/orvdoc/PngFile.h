#pragma once
#include <string>

#include "preview/PreviewImage.h"

namespace orv {

// Writes the image as an 8-bit RGBA PNG file. On failure nothing is left at the path.
bool WritePng(const std::string& path, const RgbaImage& image, std::string& error);

}  // namespace orv
