// LibPartFile::Read over an in-memory library part, then the name write-back on a
// copy (once more with a write that fails part-way). The input is the part; the
// edits come from its end (DocumentChecks.h).
#include <vector>

#include "DocumentChecks.h"
#include "libpart/LibPartFile.h"
#include "plan/PlatformMark.h"
#include "preview/PictureHeaders.h"

namespace {

using namespace orv;
using namespace orv::fuzz;

constexpr uint32_t NameFieldSize = 32;

bool IsShowable(const TextBuffer& text)
{
    const char* characters = text.GetText();
    return characters == nullptr ||
           (characters[text.GetLength()] == '\0' && HasCrLfLineEnds(std::string(characters, text.GetLength())));
}

void ExpectReadable(const LibPartFile& part, bool read, size_t fileSize)
{
    Expect(part.documentName.size() <= LibPartFile::MaxNameLength, "a name holds at most 31 characters");
    for (const TextBuffer* text : {&part.script1D, &part.script2D, &part.script3D, &part.propertiesScript,
                                   &part.valueListScript, &part.uidScript, &part.comment})
        Expect(IsShowable(*text), "a script is terminated and has CR LF line ends");
    Expect((part.preview.GetBlock() == nullptr) == (part.preview.GetBlockSize() == 0),
           "a preview has a block exactly when it has a size");
    Expect(part.preview.GetBlockSize() == 0 || part.preview.GetBlockSize() >= sizeof(PreviewHeader),
           "a preview block begins with a whole preview header");
    if (!read)
        return;
    Expect(IsPlatformMark(part.platformMark), "a read part has a platform");
    Expect(part.nameOffset == 0 || uint64_t{part.nameOffset} + NameFieldSize <= fileSize,
           "a writable name lies inside the file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EditSource edits(data, size);
    SelectTables(edits.Byte());
    const std::vector<uint8_t> bytes(data, data + size);

    MemoryFile file(bytes);
    LibPartFile part;
    const bool read = part.Read(file);
    ExpectReadable(part, read, size);

    MemoryFile renamed(bytes);
    if (ExpectRename(part, bytes, renamed, edits, part.nameOffset != 0, part.nameOffset, NameFieldSize)) {
        LibPartFile reread;
        Expect(reread.Read(renamed) == read, "a rename keeps a part readable");
        if (read) {
            Expect(reread.documentName == part.documentName, "a renamed part reads with the new name");
            Expect(reread.platformMark == part.platformMark && reread.version == part.version &&
                       reread.nameOffset == part.nameOffset && reread.typeCode == part.typeCode,
                   "a rename keeps the header");
        }
    }
    return 0;
}
