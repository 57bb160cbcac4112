#include "util/PosixFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace orv {
namespace {

// A name cut at a zero byte inside would be another file's.
bool IsWholeName(const std::string& path)
{
    return path.find('\0') == std::string::npos;
}

}  // namespace

PosixFile::PosixFile(int descriptor) : descriptor(descriptor) {}

PosixFile::~PosixFile()
{
    close(descriptor);
}

uint32_t PosixFile::Read(void* buffer, uint32_t count)
{
    uint32_t done = 0;
    while (done < count) {
        ssize_t n = read(descriptor, static_cast<char*>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<uint32_t>(n);
    }
    return done;
}

uint32_t PosixFile::Write(const void* buffer, uint32_t count)
{
    uint32_t done = 0;
    while (done < count) {
        ssize_t n = write(descriptor, static_cast<const char*>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<uint32_t>(n);
    }
    return done;
}

bool PosixFile::Seek(uint64_t position)
{
    if (position > static_cast<uint64_t>(INT64_MAX))
        return false;
    return lseek(descriptor, static_cast<off_t>(position), SEEK_SET) >= 0;
}

uint64_t PosixFile::Position() const
{
    off_t position = lseek(descriptor, 0, SEEK_CUR);
    return position < 0 ? 0 : static_cast<uint64_t>(position);
}

uint64_t PosixFile::Size() const
{
    struct stat status {};
    if (fstat(descriptor, &status) != 0)
        return 0;
    return static_cast<uint64_t>(status.st_size);
}

bool PosixFile::Cut()
{
    off_t position = lseek(descriptor, 0, SEEK_CUR);
    return position >= 0 && ftruncate(descriptor, position) == 0;
}

std::unique_ptr<File> OpenFile(const std::string& path, File::Access access)
{
    if (!IsWholeName(path))
        return nullptr;
    int flags = access == File::Access::Read    ? O_RDONLY
                : access == File::Access::Write ? O_WRONLY
                                                : O_RDWR;
    int descriptor = open(path.c_str(), flags | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        return nullptr;
    }
    return std::make_unique<PosixFile>(descriptor);
}

bool ReplaceFileContents(const std::string& path,
                         const std::function<bool(File& original, File& replacement)>& compose)
{
    if (!IsWholeName(path))
        return false;
    int source = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return false;
    PosixFile original(source);
    struct stat status {};
    if (fstat(source, &status) != 0 || !S_ISREG(status.st_mode))
        return false;

    // Beside the original, so that the rename stays on its file system.
    std::string name = path + ".XXXXXX";
    int target = mkostemp(name.data(), O_CLOEXEC);
    if (target < 0)
        return false;
    auto remove = [](char* file) { unlink(file); };
    std::unique_ptr<char, decltype(remove)> pending(name.data(), remove);
    {
        PosixFile replacement(target);
        if (fchmod(target, status.st_mode & 07777) != 0 || !compose(original, replacement) ||
            fsync(target) != 0)
            return false;
    }
    if (rename(name.c_str(), path.c_str()) != 0)
        return false;
    pending.release();
    return true;
}

}  // namespace orv
