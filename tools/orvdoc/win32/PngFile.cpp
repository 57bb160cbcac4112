#include "PngFile.h"

#include <wincodec.h>
#include <windows.h>

#include <filesystem>
#include <utility>
#include <vector>

namespace orv {
namespace {

// An owned COM interface pointer.
template <typename T>
struct Com {
    ~Com()
    {
        if (p != nullptr)
            p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
    T* p = nullptr;
};

// The platform's imaging component encodes, from blue-green-red-alpha pixels as it
// takes them. created tells whether the file was made.
bool Encode(const std::wstring& path, const RgbaImage& image, bool& created)
{
    std::vector<BYTE> bgra(image.pixels);
    for (size_t i = 0; i + 3 < bgra.size(); i += 4)
        std::swap(bgra[i], bgra[i + 2]);
    Com<IWICImagingFactory> factory;
    Com<IWICStream> stream;
    Com<IWICBitmapEncoder> encoder;
    Com<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateStream(&stream)) || FAILED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)))
        return false;
    created = true;
    return SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
           SUCCEEDED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
           SUCCEEDED(frame->SetSize(image.width, image.height)) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
           IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA) &&
           SUCCEEDED(frame->WritePixels(image.height, image.width * 4, UINT(bgra.size()), bgra.data())) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace

bool WritePng(const std::string& path, const RgbaImage& image, std::string& error)
{
    std::filesystem::path file = std::filesystem::u8path(path);
    HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool created = false;
    bool written = Encode(file.wstring(), image, created);
    if (SUCCEEDED(initialised))
        CoUninitialize();
    if (written)
        return true;
    std::error_code ignored;
    if (created)
        std::filesystem::remove(file, ignored);
    error = (created ? "cannot write " : "cannot create ") + path;
    return false;
}

}  // namespace orv
