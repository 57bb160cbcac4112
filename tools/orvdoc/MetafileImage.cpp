#include "MetafileImage.h"

namespace orv {

void UsePlatformMetafiles() {}

bool MetafileImage(const PreviewPicture&, uint32_t, RgbaImage&)
{
    return false;
}

}  // namespace orv
