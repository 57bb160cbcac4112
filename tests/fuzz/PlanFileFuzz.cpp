// PlanFile::Read over an in-memory plan, then the two rewrites a page makes, each on
// a copy: the document name (once more with a write that fails part-way) and the
// project data. The input is the document; the edits come from its end
// (DocumentChecks.h).
#include <string>
#include <tuple>
#include <vector>

#include "DocumentChecks.h"
#include "plan/BlockHeader.h"
#include "plan/PlanFile.h"
#include "plan/PlatformMark.h"

namespace {

using namespace orv;
using namespace orv::fuzz;

constexpr uint32_t NameFieldSize = 32;

void ExpectReadable(const PlanFile& plan, bool read, size_t fileSize)
{
    Expect(plan.documentName.size() <= PlanFile::MaxNameLength,
           "a name holds at most 31 characters");
    Expect(plan.projectPath.size() <= 299 && plan.projectPath.find('\0') == std::string::npos,
           "a project path is a text of at most 299 characters");
    ExpectPreview(plan.preview);
    if (const char* notes = plan.notes.GetText()) {
        Expect(notes[plan.notes.GetLength()] == '\0', "the notes are terminated");
        Expect(HasCrLfLineEnds(std::string(notes, plan.notes.GetLength())), "the notes have CR LF line ends");
    }
    Expect(!plan.HasNotes() || plan.notesOffset > 0, "notes come from a notes block");
    ExpectShowable(plan.projectData.Texts());
    if (!read)
        return;
    Expect(IsPlatformMark(plan.platform), "a read plan has a platform");
    Expect(plan.nameOffset == 0 || uint64_t{plan.nameOffset} + NameFieldSize <= fileSize,
           "a writable name lies inside the file");
}

// Whether no block that a load visits begins before the end of the name field, so
// that a rename cannot change what the blocks hold.
bool BlocksAfterName(const PlanFile& plan)
{
    int64_t nameEnd = int64_t{plan.nameOffset} + NameFieldSize;
    auto clear = [&](int32_t offset) { return offset <= 0 || offset >= nameEnd; };
    return clear(plan.previewOffset) && clear(plan.projectDataOffset) &&
           (plan.signInMarker == 0 || clear(plan.signInOffset));
}

// What a rename must keep: the header's numbers, the block offsets, the sign-in and
// what the blocks hold.
auto KeptByRename(const PlanFile& plan)
{
    const uint8_t* preview = plan.preview.GetBlock();
    const char* notes = plan.notes.GetText();
    return std::tuple(plan.platform, plan.version, plan.release, plan.nameOffset, plan.previewOffset,
                      plan.notesOffset, plan.projectDataOffset, plan.signInOffset, plan.signInMarker,
                      plan.signInValue, plan.changesValue, plan.projectPath,
                      std::vector<uint8_t>(preview, preview + plan.preview.GetBlockSize()),
                      std::string(notes ? notes : "", plan.notes.GetLength()), plan.projectData.Texts());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EditSource edits(data, size);
    SelectTables(edits.Byte());
    const std::vector<uint8_t> bytes(data, data + size);

    MemoryFile file(bytes);
    PlanFile plan;
    const bool read = plan.Read(file);
    ExpectReadable(plan, read, size);

    MemoryFile renamed(bytes);
    if (ExpectRename(plan, bytes, renamed, edits, plan.nameOffset != 0, plan.nameOffset, NameFieldSize)) {
        PlanFile reread;
        const bool readAgain = reread.Read(renamed);
        const bool blocksKept = read && BlocksAfterName(plan);
        Expect(readAgain || !blocksKept, "a renamed plan reads");
        Expect(!readAgain || reread.documentName == plan.documentName,
               "a renamed plan reads with the new name");
        Expect(!blocksKept || KeptByRename(reread) == KeptByRename(plan),
               "a rename keeps everything but the name");
    }
    auto write = [&](auto& copy, const auto& typed) { return plan.WriteProjectData(copy, typed); };
    const uint64_t recordAt = uint64_t(plan.projectDataOffset) + BlockHeaderSize;
    ExpectProjectDataRewrite(plan.projectData, bytes, edits, recordAt, true, write);
    return 0;
}
