#include "util/PosixFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

// Opens a regular file; -1 for anything else. status is the file's.
int OpenRegular(const std::string& path, int flags, struct stat& status)
{
    if (!IsWholeName(path))
        return -1;
    int descriptor = open(path.c_str(), flags | O_CLOEXEC);
    if (descriptor >= 0 && (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))) {
        close(descriptor);
        return -1;
    }
    return descriptor;
}

}  // namespace

PosixFile::PosixFile(int descriptor, uint64_t size) : descriptor(descriptor), size(size) {}

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
    position += done;
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
    position += done;
    size = std::max(size, position);
    return done;
}

bool PosixFile::Seek(uint64_t to)
{
    if (to == position)
        return true;
    if (to > static_cast<uint64_t>(INT64_MAX) || lseek(descriptor, static_cast<off_t>(to), SEEK_SET) < 0)
        return false;
    position = to;
    return true;
}

uint64_t PosixFile::Position() const
{
    return position;
}

uint64_t PosixFile::Size() const
{
    return size;
}

bool PosixFile::Cut()
{
    if (ftruncate(descriptor, static_cast<off_t>(position)) != 0)
        return false;
    size = position;
    return true;
}

std::unique_ptr<File> OpenFile(const std::string& path, File::Access access)
{
    int flags = access == File::Access::Read    ? O_RDONLY
                : access == File::Access::Write ? O_WRONLY
                                                : O_RDWR;
    struct stat status {};
    int descriptor = OpenRegular(path, flags, status);
    if (descriptor < 0)
        return nullptr;
    return std::make_unique<PosixFile>(descriptor, static_cast<uint64_t>(status.st_size));
}

bool ReplaceFileContents(const std::string& path,
                         const std::function<bool(File& original, File& replacement)>& compose)
{
    struct stat status {};
    int source = OpenRegular(path, O_RDONLY, status);
    if (source < 0)
        return false;
    PosixFile original(source, static_cast<uint64_t>(status.st_size));

    // Beside the original, so that the rename stays on its file system.
    std::string name = path + ".XXXXXX";
    int target = mkostemp(name.data(), O_CLOEXEC);
    if (target < 0)
        return false;
    auto remove = [](char* file) { unlink(file); };
    std::unique_ptr<char, decltype(remove)> pending(name.data(), remove);
    {
        PosixFile replacement(target, 0);
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
