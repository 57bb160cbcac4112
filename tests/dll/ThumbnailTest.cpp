// The thumbnails the shell asks for: a document handed over as a read-only stream,
// its stored preview given back as a bitmap.
#include <gtest/gtest.h>
#include <windows.h>
#include <propsys.h>
#include <shlwapi.h>
#include <thumbcache.h>

#include <algorithm>
#include <string>
#include <vector>

#include "InfoFileBuilder.h"
#include "SampleDocuments.h"
#include "ServerFixture.h"
#include "ThumbnailCommand.h"
#include "module/win32/ClassId.h"

namespace orv::test {
namespace {

using Microsoft::WRL::ComPtr;

constexpr uint32_t opaqueRed = 0xFFFF0000;
constexpr uint32_t opaqueWhite = 0xFFFFFFFF;
constexpr uint32_t transparent = 0;

// A 128 x 96 bitmap in quadrants: red, green above, blue, yellow below.
std::vector<uint8_t> QuadrantPreview()
{
    auto colour = [](int x, int y) {
        return y < 48 ? (x < 64 ? 0xFF0000u : 0x00FF00u) : (x < 64 ? 0x0000FFu : 0xFFFF00u);
    };
    return PreviewBlockBuilder::Bitmap32(128, 96, colour).Build();
}

// Plans of release 39 and before store their preview as a bitmap block.
std::vector<uint8_t> BitmapPlan(const std::vector<uint8_t>& preview)
{
    return PlanBuilder(WW).Version(4000).Release(39).Block(468, preview, PlanPointer::Preview).Build();
}

// A module whose preview is its stored metafile: a rectangle from a tenth of the
// frame's width and height to three quarters and four fifths, filled white, outlined
// in black.
std::vector<uint8_t> MetafileModule()
{
    return test::Module({3, StoredMetafile()}, {0xD001, PreviewRecord(0xD001)});
}

struct Thumbnail {
    HRESULT result = E_UNEXPECTED;
    bool bitmapReturned = false;
    WTS_ALPHATYPE alpha = WTSAT_UNKNOWN;
    host::Image image;
};

class Thumbnails : public ServerFixture {
protected:
    host::ServerModule thumbnails{"orvshell.dll", ThumbnailClassId};

    ComPtr<IInitializeWithStream> Provider()
    {
        ComPtr<IInitializeWithStream> init;
        EXPECT_EQ(thumbnails.Create(__uuidof(IInitializeWithStream), init), S_OK);
        return init;
    }

    // The document opened as the shell opens it for a thumbnail handler.
    static ComPtr<IStream> Open(const std::string& path)
    {
        ComPtr<IStream> stream;
        EXPECT_EQ(SHCreateStreamOnFileEx(PathFromUtf8(path).c_str(), STGM_READ | STGM_SHARE_DENY_WRITE,
                                         FILE_ATTRIBUTE_NORMAL, FALSE, nullptr, &stream),
                  S_OK);
        return stream;
    }

    // The shell's request. Whatever the answer, the provider must have let go of the
    // stream and the document; a bitmap comes only with success, 32 bits a pixel, its
    // rows in memory from the top.
    Thumbnail Take(const std::string& path, UINT side)
    {
        Thumbnail taken;
        ComPtr<IInitializeWithStream> init = Provider();
        ComPtr<IThumbnailProvider> provider;
        if (!init || FAILED(init.As(&provider)))
            return taken;
        ComPtr<IStream> stream = Open(path);
        const ULONG held = RefCount(stream.Get());
        EXPECT_EQ(init->Initialize(stream.Get(), STGM_READ), S_OK);
        HBITMAP bitmap = reinterpret_cast<HBITMAP>(1);
        taken.result = provider->GetThumbnail(side, &bitmap, &taken.alpha);
        EXPECT_EQ(RefCount(stream.Get()), held) << "the stream was kept";
        stream.Reset();
        EXPECT_TRUE(OpensExclusively(path)) << "the document stayed open";
        taken.bitmapReturned = bitmap != nullptr;
        EXPECT_EQ(taken.bitmapReturned, taken.result == S_OK);
        if (!taken.bitmapReturned)
            return taken;
        taken.image = host::ThumbnailImage(bitmap, taken.alpha);
        DIBSECTION section = {};
        EXPECT_EQ(GetObjectA(bitmap, sizeof section, &section), int(sizeof section));
        EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
        // Opaque and fully transparent pixels read the same premultiplied or not.
        const auto* bits = static_cast<const uint32_t*>(section.dsBm.bmBits);
        if (bits != nullptr) {
            EXPECT_TRUE(std::equal(taken.image.pixels.begin(), taken.image.pixels.end(), bits));
        }
        EXPECT_TRUE(DeleteObject(bitmap)) << "the bitmap is not the caller's";
        return taken;
    }
};

TEST_F(Thumbnails, StoredBitmapsAndGifsShowAtTheirOwnSizeOrScaledDownOpaque)
{
    struct Probe {
        int x;
        int y;
        uint32_t argb;
    };
    auto quadrants = [](int width, int height) {
        return std::vector<Probe>{{1, 1, opaqueRed}, {width - 2, 1, 0xFF00FF00},
                                  {1, height - 2, 0xFF0000FF}, {width - 2, height - 2, 0xFFFFFF00}};
    };
    const std::vector<uint8_t> quadrantPlan = BitmapPlan(QuadrantPreview());
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        UINT side;
        int width;
        int height;
        std::vector<Probe> probes;
    } cases[] = {
        {"gif.pln", FullPlan(), 256, 64, 32, {{0, 0, opaqueRed}, {63, 31, opaqueRed}}},
        {"bitmap.pln", quadrantPlan, 256, 128, 96, quadrants(128, 96)},
        {"fitting.pln", quadrantPlan, 128, 128, 96, quadrants(128, 96)},
        {"half.pln", quadrantPlan, 64, 64, 48, quadrants(64, 48)},
        {"small.pln", quadrantPlan, 10, 10, 8, quadrants(10, 8)},
        {"door.qxm", Part(), 16, 16, 8, {{0, 0, opaqueRed}, {15, 7, opaqueRed}}},
        {"stored.mod", Module(), 2000, 64, 32, {{0, 0, opaqueRed}, {63, 31, opaqueRed}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Thumbnail thumbnail = Take(scratch.Write(c.name, c.bytes), c.side);
        ASSERT_EQ(thumbnail.result, S_OK);
        EXPECT_EQ(thumbnail.alpha, WTSAT_RGB);
        ASSERT_EQ(std::pair(thumbnail.image.width, thumbnail.image.height), std::pair(c.width, c.height));
        for (const Probe& probe : c.probes)
            EXPECT_EQ(thumbnail.image.At(probe.x, probe.y), probe.argb) << probe.x << "," << probe.y;
        EXPECT_TRUE(std::all_of(thumbnail.image.pixels.begin(), thumbnail.image.pixels.end(),
                                [](uint32_t pixel) { return pixel >> 24 == 0xFF; }));
    }
}

TEST_F(Thumbnails, AMetafileIsPlayedAtTheSizeAskedTransparentWhereItDrawsNothing)
{
    const std::string path = scratch.Write("drawn.mod", MetafileModule());
    for (UINT side : {256u, 64u}) {
        SCOPED_TRACE(side);
        Thumbnail thumbnail = Take(path, side);
        ASSERT_EQ(thumbnail.result, S_OK);
        EXPECT_EQ(thumbnail.alpha, WTSAT_ARGB);
        const host::Image& image = thumbnail.image;
        // The frame is twice as wide as high.
        ASSERT_EQ(std::pair(image.width, image.height), std::pair(int(side), int(side / 2)));
        EXPECT_EQ(image.At(1, 1), transparent);
        EXPECT_EQ(image.At(image.width - 2, image.height - 2), transparent);
        EXPECT_EQ(image.At(image.width / 2, image.height / 2), opaqueWhite);
        // Played, not scaled: every pixel is drawn or not, and the outline is one dark
        // pixel wide across the middle row, where the transparent margin meets the fill.
        std::vector<uint32_t> middle(image.pixels.begin() + image.width * (image.height / 2),
                                     image.pixels.begin() + image.width * (image.height / 2 + 1));
        EXPECT_TRUE(std::all_of(image.pixels.begin(), image.pixels.end(),
                                [](uint32_t pixel) { return pixel >> 24 == 0 || pixel >> 24 == 0xFF; }));
        auto firstDrawn = std::find_if(middle.begin(), middle.end(), [](uint32_t pixel) { return pixel != 0; });
        ASSERT_NE(firstDrawn, middle.end());
        EXPECT_EQ(firstDrawn - middle.begin(), int(side + 5) / 10);
        EXPECT_EQ(*firstDrawn, 0xFF000000u);
        EXPECT_EQ(firstDrawn[1], opaqueWhite);
    }
}

TEST_F(Thumbnails, DocumentsWithoutAReadablePreviewGiveNoBitmapSoTheShellShowsTheIcon)
{
    std::vector<uint8_t> cutPreview = FullPlan();
    cutPreview.resize(cutPreview.size() - 40);
    std::vector<uint8_t> cutHeader = FullPlan();
    cutHeader.resize(100);
    // A header that claims more colours than the block holds.
    std::vector<uint8_t> claiming = QuadrantPreview();
    claiming[24 + 32] = 0xFF;
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"door.qdl", Script()},
        {"table.qpd", InfoFileBuilder().Info("Layers", "Walls", "A").Build()},
        {"book.sfk", Book()},
        {"bare.pln", PlanBuilder(WW).Version(5000).Release(42).DocumentName("Bare").Build()},
        {"cut.pln", cutPreview},
        {"header.pln", cutHeader},
        {"claiming.pln", BitmapPlan(claiming)},
        {"empty.pln", {}},
        {"plain.qxm", Part(0x446F6F72, false)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Thumbnail thumbnail = Take(scratch.Write(c.name, c.bytes), 256);
        EXPECT_EQ(thumbnail.result, E_FAIL);
        EXPECT_FALSE(thumbnail.bitmapReturned);
    }
}

TEST_F(Thumbnails, TheStreamIsHeldFromInitializeUntilGetThumbnailOnly)
{
    const std::string path = scratch.Write("villa.pln", FullPlan());
    ComPtr<IInitializeWithStream> init = Provider();
    ComPtr<IThumbnailProvider> provider;
    ASSERT_EQ(init.As(&provider), S_OK);
    ComPtr<IStream> first = Open(path);
    ComPtr<IStream> second = Open(path);
    const ULONG held = RefCount(first.Get());
    EXPECT_EQ(init->Initialize(nullptr, STGM_READ), E_INVALIDARG);
    EXPECT_EQ(init->Initialize(first.Get(), STGM_READ), S_OK);
    EXPECT_EQ(RefCount(first.Get()), held + 1);
    EXPECT_EQ(init->Initialize(second.Get(), STGM_READ), HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED));
    EXPECT_EQ(RefCount(second.Get()), held);

    // A refused request lets go of the stream too; the next one needs a new stream.
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(1);
    WTS_ALPHATYPE alpha = WTSAT_UNKNOWN;
    EXPECT_EQ(provider->GetThumbnail(0, &bitmap, &alpha), E_INVALIDARG);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_EQ(RefCount(first.Get()), held);
    EXPECT_EQ(provider->GetThumbnail(32, &bitmap, &alpha), E_UNEXPECTED);
    EXPECT_EQ(init->Initialize(second.Get(), STGM_READ), S_OK);
    EXPECT_EQ(provider->GetThumbnail(32, &bitmap, &alpha), S_OK);
    EXPECT_EQ(host::ThumbnailImage(bitmap, alpha).At(5, 5), opaqueRed);
    DeleteObject(bitmap);
    EXPECT_EQ(RefCount(second.Get()), held);
}

}  // namespace
}  // namespace orv::test
