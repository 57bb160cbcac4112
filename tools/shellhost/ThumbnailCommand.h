#pragma once
#include <windows.h>
#include <thumbcache.h>

#include <string>
#include <vector>

#include "Image.h"

namespace orv::host {

// A thumbnail's pixels, top row first, with their colours no longer premultiplied
// (opaque for WTSAT_RGB); empty unless the bitmap is a 32-bit DIB section, as the
// shell takes thumbnails.
Image ThumbnailImage(HBITMAP bitmap, WTS_ALPHATYPE alpha);

// shellhost thumbnail FILE --size N [--out PNG] [--dll PATH]: the file opened as the
// shell opens it for a thumbnail handler, a read-only stream, and the thumbnail asked
// for; prints both answers, the thumbnail's size and alpha type, and writes it as PNG.
int ThumbnailCommand(const std::vector<std::string>& args);

}  // namespace orv::host
