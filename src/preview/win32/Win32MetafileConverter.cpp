#include "preview/win32/Win32MetafileConverter.h"

#include <windows.h>

#include "util/win32/UniqueHandle.h"

namespace orv {

std::vector<uint8_t> Win32MetafileConverter::ToEnhanced(const MetafilePicture& picture,
                                                        const uint8_t* bits, uint32_t length) const
{
    METAFILEPICT frame{picture.mappingMode, picture.horizontalExtent, picture.verticalExtent, nullptr};
    unique_henhmetafile metafile(SetWinMetaFileBits(length, bits, nullptr, &frame));
    if (!metafile)
        return {};
    UINT size = GetEnhMetaFileBits(metafile.get(), 0, nullptr);
    if (size == 0)
        return {};
    std::vector<uint8_t> enhanced(size);
    if (GetEnhMetaFileBits(metafile.get(), size, enhanced.data()) != size)
        return {};
    return enhanced;
}

}  // namespace orv
