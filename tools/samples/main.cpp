// Writes a folder of sample documents, built by the same builders the tests use, for
// the demo and the end-to-end tests.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "InfoFileBuilder.h"

namespace {

bool Write(const std::filesystem::path& folder, const char* name, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    std::printf("%s\n", (folder / name).string().c_str());
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: make_samples FOLDER\n", stderr);
        return 2;
    }
    using orv::test::InfoFileBuilder;
    std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    bool written =
        Write(folder, "Materials.qpd",
              InfoFileBuilder()
                  .Info("Materials", "Stone", "grey granite")
                  .Info("Materials", "Brick", "red, 240 x 115")
                  .Info("Layers", "Walls", "load-bearing")
                  .Info("Layers", "Furniture", "2D only")
                  .Build()) &&
        Write(folder, "Empty.qdd", InfoFileBuilder().Entry("VERS", 1, {'1', '.', '0'}).Build()) &&
        Write(folder, "Outline.vec",
              InfoFileBuilder()
                  .FontTable("WICT", 2, "Arial Outline")
                  .FontTable("MACT", 1, "Chicago Outline")
                  .Version(1, "1.2")
                  .Version(2, "2.0")
                  .Build());
    return written ? 0 : 1;
}
