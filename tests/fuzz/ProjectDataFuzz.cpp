// ReadFrom and WriteBack of a project data record that lies 6 bytes into a file, as
// it does after a block header: the input from its first byte on is the record and
// what follows it; the edits come from the input's end (DocumentChecks.h). Every
// rewrite goes to a copy, once whole and once with a write that fails part-way.
#include <vector>

#include "DocumentChecks.h"
#include "plan/BlockHeader.h"
#include "plan/ProjectData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace orv;
    using namespace orv::fuzz;
    constexpr uint64_t RecordAt = BlockHeaderSize;
    EditSource edits(data, size);
    SelectTables(edits.Byte());

    std::vector<uint8_t> bytes = {0x48, 0x02, 0x00, 0x08, 0x00, 0x00};
    bytes.insert(bytes.end(), data, data + size);
    const bool whole = size >= ProjectData::RecordSize;

    MemoryFile file(bytes);
    ProjectData record;
    file.Seek(RecordAt);
    Expect(record.ReadFrom(file) == whole, "a record is read exactly when the file holds all of it");
    Expect(whole || record.Texts() == ProjectTexts{}, "a failed read keeps the texts");
    ExpectShowable(record.Texts());
    auto write = [&](MemoryFile& copy, const ProjectTexts& typed) { return record.WriteBack(copy, RecordAt, typed); };
    Expect(ExpectProjectDataRewrite(record, bytes, edits, RecordAt, false, write) == whole,
           "a whole record can be rewritten");
    return 0;
}
