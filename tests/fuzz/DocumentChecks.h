#pragma once
// What the document fuzzers share: the edits they take from the end of an input,
// the character tables of a run, and the rules a caller relies on after a read or
// a rewrite.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "plan/ProjectData.h"
#include "util/MemoryFile.h"
#include "util/CharTables.h"

namespace orv::fuzz {

// Ends the run; libFuzzer keeps the input that broke the rule.
inline void Expect(bool holds, const char* rule)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", rule);
        std::abort();
    }
}

inline constexpr std::string ProjectTexts::*ProjectTextFields[] = {
    &ProjectTexts::project,       &ProjectTexts::author,   &ProjectTexts::revision,
    &ProjectTexts::drawingPrefix, &ProjectTexts::keywords, &ProjectTexts::comments,
};

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

// Every CR followed by an LF and every LF preceded by a CR.
inline bool HasCrLfLineEnds(const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '\r' && (i + 1 == length || text[i + 1] != '\n'))
            return false;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            return false;
    }
    return true;
}

// The number of characters a text takes in a record, where a line end is one CR.
inline size_t StoredLength(const std::string& text)
{
    size_t length = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\n' && i > 0 && text[i - 1] == '\r'))
            ++length;
    return length;
}

// Texts as a page must get them from a record: no zeros, CR LF line ends, and no
// more than a record holds.
inline void ExpectShowable(const ProjectTexts& texts)
{
    for (auto field : ProjectTextFields) {
        const std::string& text = texts.*field;
        Expect(text.find('\0') == std::string::npos, "a project text holds no zero");
        Expect(HasCrLfLineEnds(text.data(), text.size()), "project texts have CR LF line ends");
        Expect(StoredLength(text) <= ProjectData::MaxTextLength,
               "a project text holds at most 127 stored characters");
    }
}

// What a page shows after a rewrite of a typed text: the first 127 characters the
// record can take, every line end (CR LF, CR or LF alone) as CR LF.
inline std::string ShownAfterRewrite(const std::string& typed)
{
    std::string shown;
    size_t stored = 0;
    for (size_t i = 0; i < typed.size() && stored < ProjectData::MaxTextLength; ++i, ++stored) {
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

// Writes the texts the edits type into a copy of a document whose record begins at
// recordAt.
template <class Document>
void ExpectProjectDataRewrite(Document& document, const std::vector<uint8_t>& bytes,
                              EditSource& edits, uint64_t recordAt)
{
    const ProjectTexts shown = document.projectData.Texts();
    const ProjectTexts typed = edits.Texts(shown);
    const bool changed = document.projectData.IsChanged(typed);
    MemoryFile rewritten(bytes);
    if (document.WriteProjectData(rewritten, typed)) {
        Expect(changed, "only a changed record is written");
        Expect(SameOutside(bytes, rewritten.Bytes(), recordAt, ProjectData::RecordSize),
               "a project data rewrite stays inside the record");
        Expect(!document.projectData.IsChanged(typed), "after a rewrite the record equals the page");
    } else {
        Expect(rewritten.Bytes() == bytes, "a refused project data rewrite changes nothing");
        Expect(document.projectData.Texts() == shown,
               "a refused project data rewrite keeps the texts");
    }
}

}  // namespace orv::fuzz
