#include "PngFile.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace orv {
namespace {

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Writes through libpng, whose errors arrive as a long jump back into this function;
// nothing here owns anything that the jump could leak.
bool Encode(std::FILE* file, const RgbaImage& image)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (uint32_t y = 0; y < image.height; ++y)
        png_write_row(png, &image.pixels[size_t{y} * image.width * 4]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePng(const std::string& path, const RgbaImage& image, std::string& error)
{
    std::unique_ptr<std::FILE, CloseFile> file{std::fopen(path.c_str(), "wb")};
    if (file == nullptr) {
        error = "cannot create " + path;
        return false;
    }
    bool encoded = Encode(file.get(), image);
    if (std::fclose(file.release()) == 0 && encoded)
        return true;
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    error = "cannot write " + path;
    return false;
}

}  // namespace orv
