#pragma once
// What the fuzzers share: the edits they take from the end of an input, the
// character tables of a run, and the rules a caller relies on after a read or a
// rewrite.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ProjectDataBuilder.h"
#include "plan/ProjectData.h"
#include "preview/PictureHeaders.h"
#include "preview/PreviewPicture.h"
#include "util/CharTables.h"
#include "util/MemoryFile.h"

namespace orv::fuzz {

// Ends the run; libFuzzer keeps the input that broke the rule.
inline void Expect(bool holds, const char* rule)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", rule);
        std::abort();
    }
}

using test::ProjectTextFields;

// Edits read backwards from the end of the input, so that the document at its front
// keeps its offsets: single bytes, and texts as a count followed by the characters.
// Zeros are dropped from texts, as an edit control cannot hold them; a used-up input
// gives zeros.
class EditSource {
public:
    EditSource(const uint8_t* data, size_t size) : data(data), end(size) {}

    uint8_t Byte() { return end > 0 ? data[--end] : 0; }

    std::string Text(size_t maxLength)
    {
        size_t count = Byte() % (maxLength + 1);
        std::string text;
        for (size_t i = 0; i < count; ++i)
            if (uint8_t c = Byte())
                text.push_back(static_cast<char>(c));
        return text;
    }

    // A count of 255 keeps what the page shows; others type up to 200 characters,
    // more than a record holds.
    ProjectTexts Texts(const ProjectTexts& shown)
    {
        ProjectTexts typed = shown;
        for (auto field : ProjectTextFields) {
            if (end > 0 && data[end - 1] == 255)
                --end;
            else
                typed.*field = Text(200);
        }
        return typed;
    }

private:
    const uint8_t* data;
    size_t end;
};

// Greek is left out: its tables take two characters to one, so its round trips are
// not exact.
inline void SelectTables(uint8_t choice)
{
    static const CharTablePair* const pairs[] = {nullptr, &RomanChars, &CentralEuropeanChars,
                                                 &CyrillicChars};
    SetActiveCharTables(pairs[choice % 4]);
}

// What a page shows after a rewrite of a typed text: the first limit characters the
// record can take, where a line end (CR LF, CR or LF alone) is one CR, and every
// line end shown as CR LF.
inline std::string ShownAfterRewrite(const std::string& typed, size_t limit = ProjectData::MaxTextLength)
{
    std::string shown;
    for (size_t i = 0, stored = 0; i < typed.size() && stored < limit; ++i, ++stored) {
        if (typed[i] == '\r' || typed[i] == '\n') {
            if (typed[i] == '\r' && i + 1 < typed.size() && typed[i + 1] == '\n')
                ++i;
            shown += "\r\n";
        } else {
            shown += typed[i];
        }
    }
    return shown;
}

inline ProjectTexts ShownAfterRewrite(const ProjectTexts& typed)
{
    ProjectTexts shown;
    for (auto field : ProjectTextFields)
        shown.*field = ShownAfterRewrite(typed.*field);
    return shown;
}

// Every CR followed by an LF and every LF preceded by a CR.
inline bool HasCrLfLineEnds(const std::string& text)
{
    return ShownAfterRewrite(text, SIZE_MAX) == text;
}

// Texts as a page must get them from a record: no zeros, CR LF line ends, and no
// more than a record holds.
inline void ExpectShowable(const ProjectTexts& texts)
{
    for (auto field : ProjectTextFields) {
        const std::string& text = texts.*field;
        Expect(text.find('\0') == std::string::npos, "a project text holds no zero");
        Expect(HasCrLfLineEnds(text), "project texts have CR LF line ends");
        Expect(ShownAfterRewrite(text) == text, "a project text holds at most 127 stored characters");
    }
}

// What a read leaves in a preview: a block exactly when there is a size, beginning
// with a whole preview header that holds no handle.
inline void ExpectPreview(const PreviewPicture& picture)
{
    const uint8_t* block = picture.GetBlock();
    Expect((block == nullptr) == (picture.GetBlockSize() == 0),
           "a preview has a block exactly when it has a size");
    if (block == nullptr)
        return;
    Expect(picture.GetBlockSize() >= sizeof(PreviewHeader),
           "a preview block begins with a whole preview header");
    Expect(LoadStruct<PreviewHeader>(block).playHandle == 0, "a preview block holds no handle");
}

// Whether two files have the same size and differ at most inside [first, first + count).
inline bool SameOutside(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after,
                        uint64_t first, uint64_t count)
{
    if (before.size() != after.size())
        return false;
    uint64_t from = std::min<uint64_t>(first, before.size());
    uint64_t to = std::min<uint64_t>(first + count, before.size());
    return std::equal(before.begin(), before.begin() + from, after.begin()) &&
           std::equal(before.begin() + to, before.end(), after.begin() + to);
}

// A write into a copy of the bytes that may store only allowance bytes fails, stays
// inside [first, first + count), and changes nothing when it could write nothing.
template <class Write>
void ExpectFailedWrite(const std::vector<uint8_t>& bytes, uint64_t allowance, uint64_t first,
                       uint64_t count, Write write)
{
    MemoryFile failing(bytes);
    failing.LimitWrites(allowance);
    Expect(!write(failing), "a write that stops part-way fails");
    Expect(SameOutside(bytes, failing.Bytes(), first, count),
           "a failed write stays inside what it rewrites");
    Expect(allowance > 0 || failing.Bytes() == bytes, "a write that could write nothing changes nothing");
}

// Renames a copy of a read document after a copy whose writes stop part-way; a
// rename may change only the bytes in [first, first + count). Returns whether the
// name was written to renamed.
template <class Document>
bool ExpectRename(Document& document, const std::vector<uint8_t>& bytes, MemoryFile& renamed,
                  EditSource& edits, bool writable, uint64_t first, uint64_t count)
{
    const std::string oldName = document.documentName;
    const std::string newName = edits.Text(40);
    const bool renames = writable && !newName.empty() &&
                         newName.size() <= Document::MaxNameLength && newName != oldName;
    ExpectFailedWrite(bytes, edits.Byte() % count, first, count,
                      [&](MemoryFile& failing) { return document.WriteDocumentName(failing, newName); });
    Expect(document.documentName == oldName, "a failed rename keeps the name");

    Expect(document.WriteDocumentName(renamed, newName) == renames,
           "a name is written exactly when its field is writable and the name is new and fits");
    if (!renames) {
        Expect(renamed.Bytes() == bytes, "a refused rename changes nothing");
        Expect(document.documentName == oldName, "a refused rename keeps the name");
        return false;
    }
    Expect(SameOutside(bytes, renamed.Bytes(), first, count),
           "a rename changes only what a rename writes");
    Expect(document.documentName == newName, "a rename takes the new name");
    return true;
}

// Whether writing back the texts as read must give the record byte for byte: each
// stored text ends within its field and holds no LF, which a page cannot give back.
inline bool RoundTripsExactly(const uint8_t* record)
{
    for (size_t offset : test::ProjectTextOffsets) {
        const uint8_t* field = record + offset;
        const uint8_t* end = std::find(field, field + 128, 0);
        if (end == field + 128 || std::find(field, end, '\n') != end)
            return false;
    }
    return true;
}

// After a rewrite of the record at recordAt only the texts' bytes up to each new
// terminator may differ.
inline void ExpectOnlyTextsChanged(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after,
                                   uint64_t recordAt)
{
    Expect(before.size() == after.size(), "a rewrite keeps the file's size");
    Expect(SameOutside(before, after, recordAt + 16, 784 - 16),
           "a rewrite changes nothing outside the texts");
    const uint8_t* old = before.data() + recordAt;
    const uint8_t* now = after.data() + recordAt;
    for (size_t offset : test::ProjectTextOffsets) {
        const uint8_t* end = std::find(now + offset, now + offset + 128, 0);
        Expect(end != now + offset + 128, "a rewritten text is terminated in its field");
        size_t kept = static_cast<size_t>(end - now) + 1;
        Expect(std::equal(now + kept, now + offset + 128, old + kept),
               "a rewrite keeps the bytes after a text's terminator");
    }
}

// Has a page type texts over those of record, whose stored form begins at recordAt,
// and write them into copies of bytes, once with a write that stops part-way. A
// document refuses to write texts that change nothing. Returns whether the texts
// were written.
template <class Write>
bool ExpectProjectDataRewrite(const ProjectData& record, const std::vector<uint8_t>& bytes,
                              EditSource& edits, uint64_t recordAt, bool onlyChanges, Write write)
{
    const ProjectTexts shown = record.Texts();
    const ProjectTexts typed = edits.Texts(shown);
    const bool changed = record.IsChanged(typed);
    ExpectFailedWrite(bytes, edits.Byte() * uint64_t{8}, recordAt, ProjectData::RecordSize,
                      [&](MemoryFile& failing) { return write(failing, typed); });
    Expect(record.Texts() == shown, "a failed rewrite keeps the texts");

    MemoryFile copy(bytes);
    if (!write(copy, typed)) {
        Expect(copy.Bytes() == bytes, "a refused rewrite changes nothing");
        Expect(record.Texts() == shown, "a refused rewrite keeps the texts");
        return false;
    }
    Expect(changed || !onlyChanges, "only a changed record is written");
    ExpectOnlyTextsChanged(bytes, copy.Bytes(), recordAt);
    Expect(!record.IsChanged(typed), "after a rewrite the record equals what the page shows");
    if (typed == shown && RoundTripsExactly(bytes.data() + recordAt))
        Expect(copy.Bytes() == bytes, "unchanged texts are written back as they were stored");
    ProjectData reread;
    copy.Seek(recordAt);
    Expect(reread.ReadFrom(copy), "a rewritten record reads");
    Expect(reread.Texts() == ShownAfterRewrite(typed), "a rewritten record reads as typed");
    return true;
}

}  // namespace orv::fuzz
