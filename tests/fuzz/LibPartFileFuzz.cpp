// LibPartFile::Read over an in-memory library part, then the name write-back on a
// copy (once more with a write that fails part-way). The input is the part; the
// edits come from its end (DocumentChecks.h).
#include <vector>

#include "DocumentChecks.h"
#include "libpart/LibPartFile.h"
#include "plan/PlatformMark.h"

using namespace orv;
using namespace orv::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EditSource edits(data, size);
    SelectTables(edits.Byte());
    const std::vector<uint8_t> bytes(data, data + size);
    MemoryFile file(bytes);
    LibPartFile part;
    const bool read = part.Read(file);
    Expect(part.documentName.size() <= LibPartFile::MaxNameLength, "a name holds at most 31 characters");
    for (const TextBuffer* text : {&part.script1D, &part.script2D, &part.script3D, &part.propertiesScript,
                                   &part.valueListScript, &part.uidScript, &part.comment}) {
        const char* characters = text->GetText();
        Expect(!characters || (characters[text->GetLength()] == '\0' &&
                               HasCrLfLineEnds(std::string(characters, text->GetLength()))),
               "a script is terminated and has CR LF line ends");
    }
    ExpectPreview(part.preview);
    Expect(!read || IsPlatformMark(part.platformMark), "a read part has a platform");
    Expect(!read || part.nameOffset == 0 || uint64_t{part.nameOffset} + 32 <= size,
           "a writable name lies inside the file");

    MemoryFile renamed(bytes);
    if (ExpectRename(part, bytes, renamed, edits, part.nameOffset != 0, part.nameOffset, 32)) {
        LibPartFile reread;
        Expect(reread.Read(renamed) == read, "a rename keeps a part readable");
        Expect(!read || (reread.documentName == part.documentName && reread.platformMark == part.platformMark &&
                         reread.version == part.version && reread.nameOffset == part.nameOffset &&
                         reread.typeCode == part.typeCode),
               "a renamed part reads with the new name and the same header");
    }
    return 0;
}
