// orvdoc's Windows side: modules whose preview is a stored metafile are read and drawn,
// and PNG files come from the platform's imaging component.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "handlers/Document.h"
#include "MetafileImage.h"
#include "ModulBuilder.h"
#include "PngFile.h"
#include "ScratchFolder.h"

namespace orv {
namespace {

uint32_t BigEndian32(const std::vector<uint8_t>& bytes, size_t at)
{
    return uint32_t(bytes[at]) << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3];
}

TEST(OrvdocWindows, AMetafilePreviewIsDrawnAtTheAskedSizeAndWrittenAsPng)
{
    UsePlatformMetafiles();
    test::ScratchFolder folder;
    std::string path = folder.Write("Vector.mod", test::Module({3, test::StoredMetafile()},
                                                               {0xD001, test::PreviewRecord(0xD001)}));
    Document document;
    std::string error;
    ASSERT_TRUE(document.Load(path, error)) << error;
    RgbaImage image;
    ASSERT_TRUE(document.preview && MetafileImage(*document.preview, 64, image));
    // Fitted by the record's frame of 74 x 65; the rectangle's outline drawn on white.
    EXPECT_EQ(std::pair(image.width, image.height), std::pair(64u, 56u));
    auto count = [&](uint8_t level) {
        return std::count_if(image.pixels.begin(), image.pixels.end(), [&](uint8_t v) { return v == level; });
    };
    EXPECT_GT(count(0), 0);
    EXPECT_GT(count(255), 64 * 56);
    EXPECT_FALSE(MetafileImage(PreviewPicture(), 64, image));

    ASSERT_TRUE(WritePng(folder.PathOf("out.png"), image, error)) << error;
    std::vector<uint8_t> png = test::ReadWholeFile(folder.PathOf("out.png"));
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(std::vector<uint8_t>(png.begin(), png.begin() + 8),
              (std::vector<uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    EXPECT_EQ(std::pair(BigEndian32(png, 16), BigEndian32(png, 20)), std::pair(64u, 56u));
    EXPECT_FALSE(WritePng(folder.PathOf("missing\\out.png"), image, error));
}

}  // namespace
}  // namespace orv
