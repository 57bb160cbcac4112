#pragma once
#include "preview/MetafileConverter.h"

namespace orv {

// Converts through GDI: the Windows metafile becomes an enhanced metafile, whose
// bits are copied out before it is released.
class Win32MetafileConverter : public MetafileConverter {
public:
    std::vector<uint8_t> ToEnhanced(const MetafilePicture& picture, const uint8_t* bits,
                                    uint32_t length) const override;
};

}  // namespace orv
