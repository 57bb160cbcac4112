// PlanFile::Read over an in-memory plan, then the two rewrites a page makes, each on
// a copy: the document name (once more with a write that fails part-way) and the
// project data. The input is the document; the edits come from its end
// (DocumentChecks.h).
#include <cstring>
#include <string>
#include <vector>

#include "DocumentChecks.h"
#include "plan/PlanFile.h"
#include "plan/PlatformMark.h"
#include "preview/PictureHeaders.h"
#include "util/MemoryFile.h"

namespace {

using namespace orv;
using namespace orv::fuzz;

constexpr uint32_t NameFieldSize = 32;
constexpr uint64_t BlockHeaderBytes = 6;

std::vector<uint8_t> PreviewBytes(const PlanFile& plan)
{
    const uint8_t* block = plan.preview.GetBlock();
    return block ? std::vector<uint8_t>(block, block + plan.preview.GetBlockSize())
                 : std::vector<uint8_t>{};
}

std::string NotesText(const PlanFile& plan)
{
    const char* text = plan.notes.GetText();
    return text ? std::string(text, plan.notes.GetLength()) : std::string();
}

void ExpectReadable(const PlanFile& plan, bool read, size_t fileSize)
{
    Expect(plan.documentName.size() <= PlanFile::MaxNameLength,
           "a name holds at most 31 characters");
    Expect(plan.projectPath.size() <= 299 && plan.projectPath.find('\0') == std::string::npos,
           "a project path is a text of at most 299 characters");
    Expect((plan.preview.GetBlock() == nullptr) == (plan.preview.GetBlockSize() == 0),
           "a preview has a block exactly when it has a size");
    Expect(plan.preview.GetBlockSize() == 0 || plan.preview.GetBlockSize() >= sizeof(PreviewHeader),
           "a preview block begins with a whole preview header");
    if (const char* notes = plan.notes.GetText()) {
        Expect(notes[plan.notes.GetLength()] == '\0', "the notes are terminated");
        Expect(HasCrLfLineEnds(notes, plan.notes.GetLength()), "the notes have CR LF line ends");
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

void ExpectOnlyTheNameChanged(const PlanFile& before, const PlanFile& after)
{
    Expect(after.platform == before.platform && after.version == before.version &&
               after.release == before.release && after.nameOffset == before.nameOffset,
           "a rename keeps the header's numbers");
    Expect(after.previewOffset == before.previewOffset && after.notesOffset == before.notesOffset &&
               after.projectDataOffset == before.projectDataOffset &&
               after.signInOffset == before.signInOffset,
           "a rename keeps the block offsets");
    Expect(after.signInMarker == before.signInMarker && after.signInValue == before.signInValue &&
               after.changesValue == before.changesValue && after.projectPath == before.projectPath,
           "a rename keeps the sign-in");
    Expect(PreviewBytes(after) == PreviewBytes(before) && NotesText(after) == NotesText(before) &&
               after.projectData.Texts() == before.projectData.Texts(),
           "a rename keeps the blocks");
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

    const std::string oldName = plan.documentName;
    const std::string newName = edits.Text(40);
    const bool renames = plan.nameOffset != 0 && !newName.empty() &&
                         newName.size() <= PlanFile::MaxNameLength && newName != oldName;
    {
        MemoryFile failing(bytes);
        uint64_t allowance = edits.Byte() % NameFieldSize;
        failing.LimitWrites(allowance);
        Expect(!plan.WriteDocumentName(failing, newName), "a rename that stops part-way fails");
        Expect(plan.documentName == oldName, "a failed rename keeps the name");
        Expect(SameOutside(bytes, failing.Bytes(), plan.nameOffset, NameFieldSize),
               "a failed rename stays inside the name field");
        Expect(allowance > 0 || failing.Bytes() == bytes,
               "a rename that could write nothing changes nothing");
    }
    MemoryFile renamed(bytes);
    Expect(plan.WriteDocumentName(renamed, newName) == renames,
           "a name is written exactly when it is a new name of 1 to 31 characters for a field");
    if (renames) {
        Expect(SameOutside(bytes, renamed.Bytes(), plan.nameOffset, NameFieldSize),
               "a rename changes only the name field");
        Expect(plan.documentName == newName, "a rename takes the new name");
        PlanFile reread;
        bool readAgain = reread.Read(renamed);
        Expect(readAgain || !read || !BlocksAfterName(plan), "a renamed plan reads");
        if (readAgain) {
            Expect(reread.documentName == newName, "a renamed plan reads with the new name");
            if (read && BlocksAfterName(plan))
                ExpectOnlyTheNameChanged(plan, reread);
        }
    } else {
        Expect(renamed.Bytes() == bytes, "a refused rename changes nothing");
        Expect(plan.documentName == oldName, "a refused rename keeps the name");
    }

    const ProjectTexts shown = plan.projectData.Texts();
    const ProjectTexts typed = edits.Texts(shown);
    const bool changed = plan.projectData.IsChanged(typed);
    MemoryFile rewritten(bytes);
    if (plan.WriteProjectData(rewritten, typed)) {
        Expect(changed, "only a changed record is written");
        Expect(SameOutside(bytes, rewritten.Bytes(),
                           uint64_t(plan.projectDataOffset) + BlockHeaderBytes,
                           ProjectData::RecordSize),
               "a project data rewrite stays inside the record");
        Expect(!plan.projectData.IsChanged(typed), "after a rewrite the record equals the page");
    } else {
        Expect(rewritten.Bytes() == bytes, "a refused project data rewrite changes nothing");
        Expect(plan.projectData.Texts() == shown, "a refused project data rewrite keeps the texts");
    }
    return 0;
}
