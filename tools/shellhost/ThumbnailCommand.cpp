#include "ThumbnailCommand.h"

#include <propsys.h>
#include <shlwapi.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "ServerModule.h"
#include "WideText.h"
#include "util/win32/UniqueHandle.h"

namespace orv::host {

Image ThumbnailImage(HBITMAP bitmap, WTS_ALPHATYPE alpha)
{
    DIBSECTION section = {};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof section, &section) != sizeof section ||
        section.dsBmih.biBitCount != 32)
        return {};
    Image image;
    image.width = section.dsBm.bmWidth;
    image.height = section.dsBm.bmHeight;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, image.width, -image.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    image.pixels.resize(size_t(image.width) * image.height);
    unique_hdc dc(CreateCompatibleDC(nullptr));
    int rows = GetDIBits(dc.get(), bitmap, 0, UINT(image.height), image.pixels.data(), &info, DIB_RGB_COLORS);
    if (rows != image.height)
        return {};
    for (uint32_t& pixel : image.pixels) {
        uint32_t a = alpha == WTSAT_ARGB ? pixel >> 24 : 255;
        auto channel = [&](int shift) {
            return a == 0 ? 0 : std::min(255u, ((pixel >> shift & 0xFF) * 255 + a / 2) / a);
        };
        pixel = a << 24 | channel(16) << 16 | channel(8) << 8 | channel(0);
    }
    return image;
}

int ThumbnailCommand(const std::vector<std::string>& args)
{
    std::string dll;
    std::string out;
    long size = 0;
    // The file, then options each with its value.
    bool valid = args.size() % 2 == 1;
    for (size_t i = 1; valid && i < args.size(); i += 2) {
        if (args[i] == "--size")
            size = std::strtol(args[i + 1].c_str(), nullptr, 10);
        else if (args[i] == "--out")
            out = args[i + 1];
        else if (args[i] == "--dll")
            dll = args[i + 1];
        else
            valid = false;
    }
    if (!valid || size <= 0) {
        std::fputs("usage: shellhost thumbnail FILE --size N [--out PNG] [--dll PATH]\n", stderr);
        return 2;
    }
    ServerModule server(dll, ThumbnailClassId);
    Microsoft::WRL::ComPtr<IInitializeWithStream> init;
    Microsoft::WRL::ComPtr<IThumbnailProvider> provider;
    if (FAILED(server.Create(__uuidof(IInitializeWithStream), init)) || FAILED(init.As(&provider))) {
        std::fprintf(stderr, "cannot create the server's thumbnail handler\n");
        return 2;
    }
    Microsoft::WRL::ComPtr<IStream> stream;
    const std::wstring path = Widen(args[0]);
    const DWORD mode = STGM_READ | STGM_SHARE_DENY_WRITE;
    if (FAILED(SHCreateStreamOnFileEx(path.c_str(), mode, FILE_ATTRIBUTE_NORMAL, FALSE, nullptr, &stream))) {
        std::fprintf(stderr, "cannot open %s\n", args[0].c_str());
        return 2;
    }
    HRESULT result = init->Initialize(stream.Get(), STGM_READ);
    std::printf("Initialize: 0x%08lx\n", static_cast<unsigned long>(result));
    stream.Reset();
    HBITMAP bitmap = nullptr;
    WTS_ALPHATYPE alpha = WTSAT_UNKNOWN;
    result = provider->GetThumbnail(static_cast<UINT>(size), &bitmap, &alpha);
    Image image = ThumbnailImage(bitmap, alpha);
    std::printf("GetThumbnail: 0x%08lx %dx%d alpha %d\n", static_cast<unsigned long>(result), image.width,
                image.height, static_cast<int>(alpha));
    if (bitmap != nullptr)
        DeleteObject(bitmap);
    if (!out.empty() && result == S_OK)
        std::printf("png: %s\n", WritePng(image, out) ? "ok" : "failed");
    return result == S_OK ? 0 : 1;
}

}  // namespace orv::host
