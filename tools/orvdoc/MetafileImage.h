#pragma once
#include <cstdint>

#include "preview/PreviewImage.h"

namespace orv {

// Gives the readers the platform's metafile converter (modules whose preview is a
// stored Windows metafile need it), where there is one.
void UsePlatformMetafiles();

// A metafile preview played into pixels: fitted into maxSide x maxSide (its frame's
// size when 0), on white, opaque. Only the platform can play one; elsewhere, and for
// bits the platform does not take, this answers false and the caller says so.
bool MetafileImage(const PreviewPicture& picture, uint32_t maxSide, RgbaImage& image);

}  // namespace orv
