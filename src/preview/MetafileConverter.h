#pragma once
#include <cstdint>
#include <vector>

namespace orv {

// How a stored Windows metafile is to be played: the head that documents keep in
// front of its bits.
struct MetafilePicture {
    int16_t mappingMode;
    int16_t horizontalExtent;
    int16_t verticalExtent;
};

// Where Windows metafiles are turned into enhanced-metafile bits. Only the platform
// can do it: the DLL gives the module its converter; the portable build has none
// unless a test injects its own, and a preview that needs one then cannot be read.
class MetafileConverter {
public:
    virtual ~MetafileConverter() = default;
    // The enhanced-metafile bits; empty when the metafile cannot be converted.
    virtual std::vector<uint8_t> ToEnhanced(const MetafilePicture& picture, const uint8_t* bits,
                                            uint32_t length) const = 0;

    // The module's converter; null, meaning none available, until one is set.
    static const MetafileConverter* Current();
    static void SetCurrent(const MetafileConverter* converter);
};

}  // namespace orv
