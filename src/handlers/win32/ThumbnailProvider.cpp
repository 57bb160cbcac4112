#include "handlers/win32/ThumbnailProvider.h"

#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "handlers/Document.h"
#include "handlers/ThumbnailPixels.h"
#include "preview/win32/MetafilePixels.h"
#include "util/win32/StreamFile.h"

namespace orv {
namespace {

// Larger requests get a thumbnail of this size, which the shell scales as it does
// every thumbnail smaller than it asked.
constexpr UINT MaxSide = 2560;

// A bitmap at its own size or smaller, opaque; a metafile played at the size asked,
// transparent where it draws nothing. False for an empty or unreadable picture.
bool RenderPreview(const PreviewPicture& picture, uint32_t side, BgraImage& image, WTS_ALPHATYPE& alpha)
{
    PreviewShape shape = ShapeOf(picture);
    if (shape.content == PreviewContent::Bitmap) {
        RgbaImage rgba;
        if (!PreviewBitmap(picture, side, rgba))
            return false;
        image = ToBgra(rgba);
        alpha = WTSAT_RGB;
        return true;
    }
    PixelSize size = FitInSquare(shape.width, shape.height, side);
    std::vector<std::vector<uint8_t>> plays;
    if (shape.content != PreviewContent::Metafile ||
        !PlayMetafilePixels(picture, size.width, size.height, {RGB(255, 255, 255), RGB(0, 0, 0)}, plays))
        return false;
    image = FromBackgrounds(size.width, size.height, plays[0], plays[1]);
    alpha = WTSAT_ARGB;
    return true;
}

}  // namespace

HRESULT STDMETHODCALLTYPE ThumbnailProvider::QueryInterface(REFIID iid, void** out) noexcept
{
    // IUnknown is answered by the first entry.
    static const QITAB interfaces[] = {
        QITABENT(ThumbnailProvider, IInitializeWithStream),
        QITABENT(ThumbnailProvider, IThumbnailProvider),
        {nullptr, 0},
    };
    return QISearch(this, interfaces, iid, out);
}

// IInitializeWithStream

HRESULT STDMETHODCALLTYPE ThumbnailProvider::Initialize(IStream* given, DWORD) noexcept
{
    if (given == nullptr)
        return E_INVALIDARG;
    if (stream)
        return HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED);
    stream = given;
    return S_OK;
}

// IThumbnailProvider

HRESULT STDMETHODCALLTYPE ThumbnailProvider::GetThumbnail(UINT side, HBITMAP* bitmap,
                                                         WTS_ALPHATYPE* alpha) noexcept
{
    // The document is let go whatever the answer.
    Microsoft::WRL::ComPtr<IStream> held(std::move(stream));
    if (bitmap == nullptr || alpha == nullptr)
        return E_POINTER;
    *bitmap = nullptr;
    if (!held)
        return E_UNEXPECTED;
    if (side == 0)
        return E_INVALIDARG;
    try {
        Document document;
        std::string error;
        {
            StreamFile file(held.Get());
            if (!document.Read(file, file.Name(), error))
                return E_FAIL;
        }
        // The drawing needs nothing more of the document.
        held.Reset();
        BgraImage image;
        WTS_ALPHATYPE type = WTSAT_UNKNOWN;
        const PreviewPicture* preview = document.preview;
        if (preview == nullptr || !RenderPreview(*preview, std::min(side, MaxSide), image, type))
            return E_FAIL;
        uint8_t* bits = nullptr;
        unique_hbitmap made = MakeTopDownBitmap(image.width, image.height, bits);
        if (!made)
            return E_OUTOFMEMORY;
        std::copy(image.pixels.begin(), image.pixels.end(), bits);
        *bitmap = made.release();
        *alpha = type;
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace orv
