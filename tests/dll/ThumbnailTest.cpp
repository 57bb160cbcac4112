// The thumbnails the shell asks for: a document handed over as a read-only stream,
// its stored preview given back as a bitmap.
#include <gtest/gtest.h>
#include <windows.h>
#include <propsys.h>
#include <thumbcache.h>

#include <algorithm>
#include <string>
#include <vector>

#include "InfoFileBuilder.h"
#include "ServerFixture.h"
#include "ThumbnailCommand.h"
#include "module/win32/ClassId.h"

namespace orv::test {
namespace {

constexpr uint32_t red = 0xFFFF0000;
constexpr uint32_t white = 0xFFFFFFFF;

struct Thumbnail {
    HRESULT result = E_UNEXPECTED;
    WTS_ALPHATYPE alpha = WTSAT_UNKNOWN;
    host::Image image;
};

class Thumbnails : public ServerFixture {
protected:
    host::ServerModule thumbnails{"orvshell.dll", ThumbnailClassId};
    ComPtr<IInitializeWithStream> init;
    ComPtr<IThumbnailProvider> provider;

    void SetUp() override
    {
        ServerFixture::SetUp();
        Renew();
    }

    void TearDown() override
    {
        init.Reset();
        provider.Reset();
        ServerFixture::TearDown();
    }

    // A new object, as the shell makes for each thumbnail.
    void Renew()
    {
        ASSERT_EQ(thumbnails.Create(__uuidof(IInitializeWithStream), init), S_OK);
        ASSERT_EQ(init.As(&provider), S_OK);
    }

    // The document opened as the shell opens it for a thumbnail handler.
    static ComPtr<IStream> Open(const std::string& path) { return FileStream(path, STGM_READ | STGM_SHARE_DENY_WRITE); }

    // The shell's request. Whatever the answer, the stream and the document are let go;
    // a bitmap comes with success only, the caller's, 32 bits a pixel with its rows in
    // memory from the top.
    Thumbnail Take(const std::string& path, UINT side)
    {
        Renew();
        Thumbnail taken;
        ComPtr<IStream> stream = Open(path);
        const ULONG held = RefCount(stream.Get());
        EXPECT_EQ(init->Initialize(stream.Get(), STGM_READ), S_OK);
        HBITMAP bitmap = reinterpret_cast<HBITMAP>(1);
        taken.result = provider->GetThumbnail(side, &bitmap, &taken.alpha);
        EXPECT_EQ(RefCount(stream.Get()), held);
        stream.Reset();
        EXPECT_TRUE(OpensExclusively(path));
        EXPECT_EQ(bitmap != nullptr, taken.result == S_OK);
        if (bitmap == nullptr)
            return taken;
        taken.image = host::ThumbnailImage(bitmap, taken.alpha);
        DIBSECTION section = {};
        EXPECT_EQ(GetObjectA(bitmap, sizeof section, &section), int(sizeof section));
        // Opaque and fully transparent pixels read the same premultiplied or not.
        const auto* bits = static_cast<const uint32_t*>(section.dsBm.bmBits);
        EXPECT_TRUE(bits && std::equal(taken.image.pixels.begin(), taken.image.pixels.end(), bits));
        EXPECT_TRUE(DeleteObject(bitmap));
        return taken;
    }
};

// A document without a readable preview gives no bitmap, so that the shell shows the icon.
TEST_F(Thumbnails, AStoredBitmapShowsOpaqueTopRowFirstAndAnUnreadableOneNot)
{
    std::vector<uint8_t> cutGif = FullPlan();
    cutGif.resize(cutGif.size() - 40);
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } unreadable[] = {{"cutgif.pln", cutGif}, {"empty.pln", {}}};
    for (const auto& c : unreadable) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Take(scratch.Write(c.name, c.bytes), 256).result, E_FAIL);
    }
    // Plans of release 39 and before store a bitmap block: this one 128 x 96 in quadrants,
    // red and green above, blue and yellow below.
    auto colour = [](int x, int y) {
        return y < 48 ? (x < 64 ? 0xFF0000u : 0x00FF00u) : (x < 64 ? 0x0000FFu : 0xFFFF00u);
    };
    std::vector<uint8_t> preview = PreviewBlockBuilder::Bitmap32(128, 96, colour).Build();
    std::vector<uint8_t> plan =
        PlanBuilder(WW).Version(4000).Release(39).Block(468, preview, PlanPointer::Preview).Build();
    Thumbnail thumbnail = Take(scratch.Write("bitmap.pln", plan), 256);
    const host::Image& image = thumbnail.image;
    EXPECT_EQ(std::tuple(thumbnail.result, thumbnail.alpha), std::tuple(S_OK, WTSAT_RGB));
    ASSERT_EQ(std::pair(image.width, image.height), std::pair(128, 96));
    // Probed a pixel in from each corner.
    EXPECT_EQ((std::vector{image.At(1, 1), image.At(126, 1), image.At(1, 94), image.At(126, 94)}),
              (std::vector{red, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00}));
    auto opaque = [](uint32_t pixel) { return pixel >= 0xFF000000; };
    EXPECT_TRUE(std::all_of(image.pixels.begin(), image.pixels.end(), opaque));
}

TEST_F(Thumbnails, AMetafileIsPlayedAtTheSizeAskedTransparentWhereItDrawsNothing)
{
    const std::string path = scratch.Write("drawn.mod", MetafileModule());
    // The frame is twice as wide as high; a request beyond the largest side gets that.
    for (auto [asked, width] : {std::pair(64u, 64), std::pair(100000u, 2560)}) {
        SCOPED_TRACE(asked);
        Thumbnail thumbnail = Take(path, asked);
        const host::Image& image = thumbnail.image;
        EXPECT_EQ(std::tuple(thumbnail.result, thumbnail.alpha), std::tuple(S_OK, WTSAT_ARGB));
        ASSERT_EQ(std::pair(image.width, image.height), std::pair(width, width / 2));
        EXPECT_EQ(std::pair(image.At(1, 1), image.At(width - 2, width / 2 - 2)), std::pair(0u, 0u));
        // Played, not scaled: every pixel is drawn or not, and across the middle row the
        // transparent margin meets a one pixel black outline, then the white fill.
        EXPECT_TRUE(std::all_of(image.pixels.begin(), image.pixels.end(),
                                [](uint32_t p) { return p >> 24 == 0 || p >> 24 == 0xFF; }));
        auto row = image.pixels.begin() + width * width / 4;
        auto edge = std::find_if(row, row + width, [](uint32_t pixel) { return pixel != 0; });
        EXPECT_NEAR(edge - row, width / 10, width / 100 + 1);
        EXPECT_EQ((std::vector{edge[0], edge[1], row[width / 2]}), (std::vector{0xFF000000u, white, white}));
    }
}

TEST_F(Thumbnails, AStreamIsHeldFromInitializeUntilGetThumbnailWhateverItAnswers)
{
    const std::string path = scratch.Write("villa.pln", FullPlan());
    ComPtr<IStream> first = Open(path);
    ComPtr<IStream> second = Open(path);
    const ULONG held = RefCount(first.Get());
    HBITMAP bitmap = nullptr;
    WTS_ALPHATYPE alpha = WTSAT_UNKNOWN;
    EXPECT_EQ(init->Initialize(nullptr, STGM_READ), E_INVALIDARG);
    EXPECT_EQ(provider->GetThumbnail(32, &bitmap, &alpha), E_UNEXPECTED);
    EXPECT_EQ(init->Initialize(first.Get(), STGM_READ), S_OK);
    EXPECT_EQ(RefCount(first.Get()), held + 1);
    EXPECT_EQ(init->Initialize(second.Get(), STGM_READ), HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED));
    EXPECT_EQ(RefCount(second.Get()), held);
    EXPECT_EQ(provider->GetThumbnail(32, nullptr, &alpha), E_POINTER);
    EXPECT_EQ(RefCount(first.Get()), held);
    EXPECT_EQ(init->Initialize(first.Get(), STGM_READ), S_OK);
    EXPECT_EQ(provider->GetThumbnail(0, &bitmap, &alpha), E_INVALIDARG);
    EXPECT_EQ(RefCount(first.Get()), held);
    // Let go, it takes the next stream.
    EXPECT_EQ(init->Initialize(second.Get(), STGM_READ), S_OK);
    EXPECT_EQ(provider->GetThumbnail(32, &bitmap, &alpha), S_OK);
    EXPECT_EQ(host::ThumbnailImage(bitmap, alpha).At(5, 5), red);
    DeleteObject(bitmap);
}

}  // namespace
}  // namespace orv::test
