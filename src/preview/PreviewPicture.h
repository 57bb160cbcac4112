#pragma once
#include <cstdint>
#include <memory>

#include "preview/PictureBlock.h"
#include "util/File.h"

namespace orv {

// How a stored preview block begins, as the documents' directories name it.
enum PreviewKind : uint32_t {
    PreviewKindRecord16 = 0xD001,  // 16-byte header record; the metafile comes from the caller
    PreviewKindRecord18 = 0xD002,  // 18-byte header record; the metafile comes from the caller
    PreviewKindBlock = 0xD005,     // the whole block as it lies in memory
};

// One preview picture: a PreviewHeader followed by a packed bitmap or an enhanced
// metafile, in one block. A failed read leaves the picture as it was.
class PreviewPicture {
public:
    PreviewPicture() = default;
    PreviewPicture(const PreviewPicture&) = delete;
    PreviewPicture& operator=(const PreviewPicture&) = delete;

    // The file is positioned at a stored block of length bytes; length 0 empties the
    // picture. Kinds 0xD001 and 0xD002 take their picture from the metafile bits,
    // which are copied, and frame it at the screen's resolution when there is one.
    bool ReadBlock(File& file, uint32_t length, uint32_t kind, const uint8_t* metafileBits,
                   uint32_t metafileLength);
    // The file is positioned at a GIF stream of length bytes; length 0 empties the
    // picture.
    bool ReadGif(File& file, uint32_t length);
    void Clear();

    uint32_t GetBlockSize() const { return blockSize; }
    // Null while empty; otherwise blockSize bytes that begin with a PreviewHeader.
    const uint8_t* GetBlock() const { return block.get(); }
    uint8_t* GetBlock() { return block.get(); }

private:
    void Install(PictureBlock newBlock, uint32_t newSize);

    uint32_t blockSize = 0;
    PictureBlock block;
};

}  // namespace orv
