#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace orv::test {

inline std::filesystem::path PathFromUtf8(const std::string& path)
{
    return std::u8string(path.begin(), path.end());
}

inline std::string Utf8Of(const std::filesystem::path& path)
{
    std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

inline std::vector<uint8_t> ReadWholeFile(const std::string& path)
{
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A folder of its own under the system's temporary folder, removed with everything
// in it when the test ends. Names and paths are UTF-8, as the file seam takes them.
class ScratchFolder {
public:
    ScratchFolder()
    {
        static std::atomic<unsigned> counter{0};
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        folder = std::filesystem::temp_directory_path() /
                 ("orvtest-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(folder);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Writes the bytes to a file of that name and returns its full path.
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        std::string path = PathOf(name);
        std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            throw std::runtime_error("cannot write " + path);
        return path;
    }
    std::string PathOf(const std::string& name) const { return Utf8Of(folder / PathFromUtf8(name)); }
    const std::filesystem::path& Folder() const { return folder; }

private:
    std::filesystem::path folder;
};

}  // namespace orv::test
