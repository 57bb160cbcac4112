#pragma once
#include <windows.h>
#include <objidl.h>
#include <wrl/client.h>

#include <string>

#include "util/File.h"

namespace orv {

// The file seam over a stream, as the shell hands documents to thumbnail, preview and
// property handlers (an isolated process gets a stream, never a path). Holds one
// reference on the stream for as long as it lives; writes and cuts reach the stream
// only when the shell opened it for writing, and fail otherwise.
class StreamFile : public File {
public:
    explicit StreamFile(IStream* stream);

    uint32_t Read(void* buffer, uint32_t count) override;
    uint32_t Write(const void* buffer, uint32_t count) override;
    bool Seek(uint64_t position) override;
    uint64_t Position() const override;
    uint64_t Size() const override;
    bool Cut() override;

    // The name the stream's document has, in UTF-8 (its extension tells the reader);
    // empty when the stream gives none.
    std::string Name() const;

private:
    Microsoft::WRL::ComPtr<IStream> stream;
};

}  // namespace orv
