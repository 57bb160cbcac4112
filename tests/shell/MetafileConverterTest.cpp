#include <gtest/gtest.h>
#include <windows.h>

#include <tuple>
#include <vector>

#include "ModulBuilder.h"
#include "libpart/ModulFile.h"
#include "preview/PictureHeaders.h"
#include "preview/win32/Win32MetafileConverter.h"
#include "util/MemoryFile.h"
#include "util/win32/UniqueHandle.h"

namespace orv {
namespace {

TEST(Win32MetafileConverter, AStoredMetafileBecomesAnEnhancedMetafilePreview)
{
    const Win32MetafileConverter converter;
    MetafileConverter::SetCurrent(&converter);
    MemoryFile file(test::Module({3, test::StoredMetafile()}, {0xD001, test::PreviewRecord(0xD001)}));
    ModulFile module;
    bool read = module.Read(file);
    MetafileConverter::SetCurrent(nullptr);

    ASSERT_TRUE(read && module.version == 4160);
    ASSERT_GT(module.preview.GetBlockSize(), sizeof(PreviewHeader) + sizeof(EnhMetaHeader));
    auto header = LoadStruct<EnhMetaHeader>(module.preview.GetBlock() + sizeof(PreviewHeader));
    EXPECT_EQ(std::tuple(header.iType, header.dSignature, header.nBytes),
              std::tuple(uint32_t{EMR_HEADER}, uint32_t{ENHMETA_SIGNATURE},
                         static_cast<uint32_t>(module.preview.GetBlockSize() - sizeof(PreviewHeader))));

    // What the converter gives back plays as a metafile.
    const uint8_t* bits = module.preview.GetBlock() + sizeof(PreviewHeader);
    unique_henhmetafile played(SetEnhMetaFileBits(header.nBytes, bits));
    EXPECT_TRUE(played);
}

}  // namespace
}  // namespace orv
