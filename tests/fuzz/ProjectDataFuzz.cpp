// ReadFrom and WriteBack of a project data record that lies 6 bytes into a file, as
// it does after a block header: the input from its first byte on is the record and
// what follows it; the edits come from the input's end (DocumentChecks.h). Every
// rewrite goes to a copy, once whole and once with a write that fails part-way.
#include <algorithm>
#include <vector>

#include "DocumentChecks.h"
#include "ProjectDataBuilder.h"
#include "plan/BlockHeader.h"
#include "plan/ProjectData.h"

namespace {

using namespace orv;
using namespace orv::fuzz;
using orv::test::ProjectTextOffsets;

constexpr uint64_t RecordAt = BlockHeaderSize;

// Whether writing back the texts as read must give the record byte for byte: each
// stored text ends within its first 128 bytes and holds no LF, which a page cannot
// give back.
bool RoundTripsExactly(const uint8_t* record)
{
    for (size_t offset : ProjectTextOffsets) {
        const uint8_t* field = record + offset;
        const uint8_t* end = std::find(field, field + 128, 0);
        if (end == field + 128 || std::find(field, end, '\n') != end)
            return false;
    }
    return true;
}

// After a rewrite only the texts' bytes up to each new terminator may differ.
void ExpectOnlyTextsChanged(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after)
{
    Expect(before.size() == after.size(), "a rewrite keeps the file's size");
    const uint8_t* old = before.data() + RecordAt;
    const uint8_t* now = after.data() + RecordAt;
    Expect(SameOutside(before, after, RecordAt + 16, 784 - 16),
           "a rewrite changes nothing outside the texts");
    for (size_t offset : ProjectTextOffsets) {
        const uint8_t* end = std::find(now + offset, now + offset + 128, 0);
        Expect(end != now + offset + 128, "a rewritten text is terminated in its field");
        size_t kept = static_cast<size_t>(end - now) + 1;
        Expect(std::equal(now + kept, now + offset + 128, old + kept),
               "a rewrite keeps the bytes after a text's terminator");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EditSource edits(data, size);
    SelectTables(edits.Byte());

    std::vector<uint8_t> bytes = {0x48, 0x02, 0x00, 0x08, 0x00, 0x00};
    bytes.insert(bytes.end(), data, data + size);
    const bool whole = size >= ProjectData::RecordSize;

    MemoryFile file(bytes);
    ProjectData record;
    file.Seek(RecordAt);
    bool read = record.ReadFrom(file);
    Expect(read == whole, "a record is read exactly when the file holds all of it");
    Expect(read || record.Texts() == ProjectTexts{}, "a failed read keeps the texts");
    ExpectShowable(record.Texts());
    const ProjectTexts shown = record.Texts();
    const ProjectTexts typed = edits.Texts(shown);

    ExpectFailedWrite(bytes, edits.Byte() * uint64_t{8}, RecordAt, ProjectData::RecordSize,
                      [&](MemoryFile& failing) {
                          failing.Seek(RecordAt);
                          return record.WriteBack(failing, typed);
                      });
    Expect(record.Texts() == shown, "a failed rewrite keeps the texts");

    MemoryFile copy(bytes);
    copy.Seek(RecordAt);
    bool written = record.WriteBack(copy, typed);
    Expect(written == whole, "a whole record can be rewritten");
    if (!written) {
        Expect(copy.Bytes() == bytes, "a refused rewrite changes nothing");
        Expect(record.Texts() == shown, "a refused rewrite keeps the texts");
        return 0;
    }
    ExpectOnlyTextsChanged(bytes, copy.Bytes());
    Expect(!record.IsChanged(typed), "after a rewrite the record equals what the page shows");
    if (typed == shown && RoundTripsExactly(bytes.data() + RecordAt))
        Expect(copy.Bytes() == bytes, "unchanged texts are written back as they were stored");

    ProjectData reread;
    copy.Seek(RecordAt);
    Expect(reread.ReadFrom(copy), "a rewritten record reads");
    Expect(reread.Texts() == ShownAfterRewrite(typed), "a rewritten record reads as typed");
    return 0;
}
