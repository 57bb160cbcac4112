#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace orv::test {

// A folder of its own under the system's temporary folder, removed with everything
// in it when the test ends. Names and paths are UTF-8, as the file seam takes them.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Writes the bytes to a file of that name and returns its full path.
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    std::string PathOf(const std::string& name) const;
    const std::filesystem::path& Folder() const { return folder; }

private:
    std::filesystem::path folder;
};

std::vector<uint8_t> ReadWholeFile(const std::string& path);

std::filesystem::path PathFromUtf8(const std::string& path);
std::string Utf8Of(const std::filesystem::path& path);

}  // namespace orv::test
