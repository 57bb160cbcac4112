#include "util/win32/StreamFile.h"

#include <memory>

#include "util/win32/WinText.h"

namespace orv {
namespace {

struct TaskMemFree {
    void operator()(wchar_t* text) const { CoTaskMemFree(text); }
};

}  // namespace

StreamFile::StreamFile(IStream* stream) : stream(stream) {}

uint32_t StreamFile::Read(void* buffer, uint32_t count)
{
    ULONG done = 0;
    if (FAILED(stream->Read(buffer, count, &done)))
        return 0;
    return done;
}

uint32_t StreamFile::Write(const void* buffer, uint32_t count)
{
    ULONG done = 0;
    if (FAILED(stream->Write(buffer, count, &done)))
        return 0;
    return done;
}

bool StreamFile::Seek(uint64_t position)
{
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(position);
    return position <= static_cast<uint64_t>(INT64_MAX) &&
           SUCCEEDED(stream->Seek(distance, STREAM_SEEK_SET, nullptr));
}

uint64_t StreamFile::Position() const
{
    LARGE_INTEGER zero{};
    ULARGE_INTEGER position{};
    if (FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &position)))
        return 0;
    return position.QuadPart;
}

uint64_t StreamFile::Size() const
{
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)))
        return 0;
    return stat.cbSize.QuadPart;
}

bool StreamFile::Cut()
{
    ULARGE_INTEGER size;
    size.QuadPart = Position();
    return SUCCEEDED(stream->SetSize(size));
}

std::string StreamFile::Name() const
{
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_DEFAULT)))
        return {};
    std::unique_ptr<wchar_t, TaskMemFree> name(stat.pwcsName);
    std::string utf8;
    if (!name || !WideToUtf8(name.get(), utf8))
        return {};
    return utf8;
}

}  // namespace orv
