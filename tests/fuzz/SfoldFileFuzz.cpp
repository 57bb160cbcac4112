// SfoldFile::Read over an in-memory layout book, then the two rewrites a page makes,
// each on a copy: the document name (once more with a write that fails part-way) and
// the project data. The input is the book; the edits come from its end
// (DocumentChecks.h).
#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "DocumentChecks.h"
#include "plan/BlockHeader.h"
#include "plan/PlatformMark.h"
#include "plan/SfoldFile.h"

namespace {

using namespace orv;
using namespace orv::fuzz;

constexpr uint64_t NameOffset = 48;
constexpr uint64_t NameFieldSize = 32;
constexpr uint64_t CheckOffset = 84;
constexpr uint64_t RecordAt = SfoldFile::HeaderSize + BlockHeaderSize;

bool IsHeaderText(const std::string& text)
{
    return text.size() <= SfoldFile::MaxNameLength && text.find('\0') == std::string::npos;
}

bool Unmasked(const std::vector<uint8_t>& bytes, SfoldHeader& header)
{
    MemoryFile file(bytes);
    return SfoldFile::ReadHeader(file, header);
}

// A rename leaves the unmasked header as it was outside the name and the check value.
bool SameHeaderButName(const SfoldHeader& before, const SfoldHeader& after)
{
    return std::equal(before.begin(), before.begin() + NameOffset, after.begin()) &&
           std::equal(before.begin() + NameOffset + NameFieldSize, before.begin() + CheckOffset,
                      after.begin() + NameOffset + NameFieldSize);
}

// What a page shows of a book besides its name.
auto KeptByRename(const SfoldFile& book)
{
    return std::tie(book.versionText, book.platform, book.writerCode, book.projectDataOffset,
                    book.projectData.Texts());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EditSource edits(data, size);
    SelectTables(edits.Byte());
    const std::vector<uint8_t> bytes(data, data + size);

    MemoryFile file(bytes);
    SfoldFile book;
    const bool read = book.Read(file);
    Expect(IsHeaderText(book.documentName), "a name is a text of at most 31 characters");
    Expect(IsHeaderText(book.versionText), "a version is a text of at most 31 characters");
    ExpectShowable(book.projectData.Texts());
    SfoldHeader header;
    const bool headerReads = Unmasked(bytes, header);
    Expect(!read || headerReads, "a book reads only with a header that passes its check");
    Expect(!read || book.platform == PlatformWindows || book.platform == PlatformMacintosh,
           "a read book is from Windows or a Macintosh");
    Expect(!read || book.projectDataOffset == 0 || book.projectDataOffset == SfoldFile::HeaderSize,
           "project data follows the header or is not there");

    MemoryFile renamed(bytes);
    if (ExpectRename(book, bytes, renamed, edits, headerReads, 0, SfoldFile::HeaderSize)) {
        SfoldHeader after;
        Expect(Unmasked(renamed.Bytes(), after), "a renamed header passes its check");
        Expect(SameHeaderButName(header, after), "a rename changes only the name in the header");
        SfoldFile reread;
        Expect(reread.Read(renamed) == read, "a rename keeps a book readable");
        Expect(!read || reread.documentName == book.documentName, "a renamed book reads with the new name");
        Expect(!read || KeptByRename(reread) == KeptByRename(book),
               "a rename keeps everything else a page shows");
    }
    auto write = [&](auto& copy, const auto& typed) { return book.WriteProjectData(copy, typed); };
    ExpectProjectDataRewrite(book.projectData, bytes, edits, RecordAt, true, write);
    return 0;
}
