// The fuzz targets: the rules a caller relies on after a read or a rewrite, then what
// each target does with an input. The build gives every target a program of its own
// that runs one of these (FuzzMain.cpp). A document's input holds the document, then
// the edits a page makes, read backwards from its end so that the document keeps its
// offsets.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "FuzzTargets.h"
#include "GifWriter.h"
#include "ProjectDataBuilder.h"
#include "libpart/LibPartFile.h"
#include "libpart/ModulFile.h"
#include "libpart/QdlFile.h"
#include "plan/BlockHeader.h"
#include "plan/PlanFile.h"
#include "plan/PlatformMark.h"
#include "plan/SfoldFile.h"
#include "preview/BitmapInfo.h"
#include "preview/GifDecoder.h"
#include "preview/MetafileConverter.h"
#include "preview/ScreenResolution.h"
#include "util/CharTables.h"
#include "util/MemoryFile.h"

namespace orv::fuzz {
namespace {

using Bytes = std::vector<uint8_t>;
using test::ProjectTextFields;

// Ends the run; libFuzzer keeps the input that broke the rule.
void Expect(bool holds, const char* rule)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", rule);
        std::abort();
    }
}

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
    ProjectTexts Texts(ProjectTexts typed)
    {
        for (auto field : ProjectTextFields)
            if (end == 0 || data[end - 1] != 255)
                typed.*field = Text(200);
            else
                --end;
        return typed;
    }

private:
    const uint8_t* data;
    size_t end;
};

// Greek is left out: its tables take two characters to one, so its round trips are
// not exact.
void SelectTables(uint8_t choice)
{
    static const CharTablePair* const pairs[] = {nullptr, &RomanChars, &CentralEuropeanChars,
                                                 &CyrillicChars};
    SetActiveCharTables(pairs[choice % 4]);
}

// What a page shows after a rewrite of a typed text: the first limit characters the
// record can take, where a line end (CR LF, CR or LF alone) is one CR, and every
// line end shown as CR LF.
std::string ShownAfterRewrite(const std::string& typed, size_t limit = ProjectData::MaxTextLength)
{
    std::string shown;
    for (size_t i = 0, stored = 0; i < typed.size() && stored < limit; ++i, ++stored) {
        const bool lineEnd = typed[i] == '\r' || typed[i] == '\n';
        if (typed[i] == '\r' && i + 1 < typed.size() && typed[i + 1] == '\n')
            ++i;
        shown += lineEnd ? std::string("\r\n") : std::string(1, typed[i]);
    }
    return shown;
}

// A script or notes as a read-only page takes them: every CR followed by an LF and
// every LF preceded by a CR.
void ExpectPageText(const TextBuffer& text)
{
    const char* characters = text.GetText();
    const std::string shown = characters ? std::string(characters, text.GetLength()) : "";
    Expect(!characters || (characters[text.GetLength()] == '\0' && ShownAfterRewrite(shown, SIZE_MAX) == shown),
           "a text is terminated and has CR LF line ends");
}

// Texts as a page must get them from a record: no zeros, and each what a rewrite of
// itself would show (CR LF line ends, no more than a record holds).
void ExpectShowable(const ProjectTexts& texts)
{
    for (auto field : ProjectTextFields)
        Expect((texts.*field).find('\0') == std::string::npos && ShownAfterRewrite(texts.*field) == texts.*field,
               "a project text holds no zero, has CR LF line ends and at most 127 stored characters");
}

void ExpectPreview(const PreviewPicture& picture)
{
    const uint8_t* block = picture.GetBlock();
    const uint32_t size = picture.GetBlockSize();
    Expect(block ? size >= sizeof(PreviewHeader) && LoadStruct<PreviewHeader>(block).playHandle == 0 : size == 0,
           "a preview is nothing, or a block of a size that begins with a whole header holding no handle");
}

// Whether two files have the same size and differ at most inside [first, first + count).
bool SameOutside(const Bytes& before, const Bytes& after, uint64_t first, uint64_t count)
{
    uint64_t from = std::min<uint64_t>(first, before.size());
    uint64_t to = std::min<uint64_t>(first + count, before.size());
    return before.size() == after.size() && std::equal(before.begin(), before.begin() + from, after.begin()) &&
           std::equal(before.begin() + to, before.end(), after.begin() + to);
}

// Has write rewrite a copy of the bytes, after a copy whose writes stop after
// allowance bytes: either may change only [first, first + count); the stopped one
// fails, and changes nothing when it could write nothing; a refused one changes
// nothing. Returns the rewritten bytes, or nothing when the write was refused.
template <class Write>
std::optional<Bytes> ExpectWrite(const Bytes& bytes, uint64_t allowance, uint64_t first, uint64_t count,
                                 Write write)
{
    MemoryFile failing(bytes);
    failing.LimitWrites(allowance);
    Expect(!write(failing), "a write that stops part-way fails");
    Expect(SameOutside(bytes, failing.Bytes(), first, count) && (allowance > 0 || failing.Bytes() == bytes),
           "a failed write stays inside what it rewrites, and changes nothing if it could write nothing");
    MemoryFile copy(bytes);
    const bool written = write(copy);
    Expect(written ? SameOutside(bytes, copy.Bytes(), first, count) : copy.Bytes() == bytes,
           "a write changes only what it rewrites, a refused one nothing");
    return written ? std::optional(copy.Bytes()) : std::nullopt;
}

// Has a page type texts over those of record, whose stored form begins at recordAt,
// and write them into copies of bytes. A document refuses to write texts that change
// nothing. Only the texts change, each up to its new terminator; texts written back
// as they were shown give the bytes they were read from, unless a page cannot give
// them back (a text that fills its field, or holds an LF). Returns whether the texts
// were written.
template <class Write>
bool ExpectProjectDataRewrite(const ProjectData& record, const Bytes& bytes, EditSource& edits, uint64_t recordAt,
                              bool onlyChanges, Write write)
{
    const ProjectTexts shown = record.Texts();
    const ProjectTexts typed = edits.Texts(shown);
    const bool changed = record.IsChanged(typed);
    auto written = ExpectWrite(bytes, edits.Byte() * uint64_t{8}, recordAt + 16, 784 - 16, [&](MemoryFile& file) {
        const bool done = write(file, typed);
        Expect(done || record.Texts() == shown, "a failed or refused rewrite keeps the texts");
        return done;
    });
    if (!written)
        return false;
    Expect(changed || !onlyChanges, "only a changed record is written");
    Expect(!record.IsChanged(typed), "after a rewrite the record equals what the page shows");
    bool exact = typed == shown;
    for (size_t offset : test::ProjectTextOffsets) {
        const uint8_t* old = bytes.data() + recordAt + offset;
        const uint8_t* now = written->data() + recordAt + offset;
        const uint8_t* end = std::find(now, now + 128, 0);
        Expect(end != now + 128 && std::equal(end + 1, now + 128, old + (end + 1 - now)),
               "a rewritten text is terminated in its field and keeps the bytes after its terminator");
        const uint8_t* oldEnd = std::find(old, old + 128, 0);
        exact = exact && oldEnd != old + 128 && std::find(old, oldEnd, '\n') == oldEnd;
    }
    Expect(!exact || *written == bytes, "unchanged texts are written back as they were stored");
    ProjectData reread;
    MemoryFile copy(*written);
    copy.Seek(recordAt);
    Expect(reread.ReadFrom(copy), "a rewritten record reads");
    for (auto field : ProjectTextFields)
        Expect(reread.Texts().*field == ShownAfterRewrite(typed.*field), "a rewritten record reads as typed");
    return true;
}

constexpr uint32_t NameFieldSize = 32;

// A document the pages rename, read from the input under the tables its last byte
// selects: the family checks the read, then has a copy renamed and, where there is a
// record, the project data rewritten on another copy.
template <class Document>
class DocumentInput {
public:
    DocumentInput(const uint8_t* data, size_t size) : edits(data, size), bytes(data, data + size)
    {
        SelectTables(edits.Byte());
        MemoryFile file(bytes);
        read = document.Read(file);
        Expect(document.documentName.size() <= Document::MaxNameLength, "a name holds at most 31 characters");
    }

    // Renames a copy when the name's field [first, first + count) is writable, and reads
    // it again: it must read, with the new name, when mustRead.
    void Rename(bool writable, uint64_t first, uint64_t count, bool mustRead)
    {
        Expect(!read || !writable || first + count <= bytes.size(), "a writable name lies inside the file");
        const std::string oldName = document.documentName;
        const std::string newName = edits.Text(40);
        auto renamed = ExpectWrite(bytes, edits.Byte() % count, first, count, [&](MemoryFile& file) {
            const bool written = document.WriteDocumentName(file, newName);
            Expect(document.documentName == (written ? newName : oldName), "a name changes only when written");
            return written;
        });
        const bool fits = !newName.empty() && newName.size() <= Document::MaxNameLength;
        Expect(renamed.has_value() == (writable && fits && newName != oldName),
               "a name is written exactly when its field is writable and the name is new and fits");
        if (!renamed)
            return;
        MemoryFile file(*renamed);
        Document reread;
        const bool readAgain = reread.Read(file);
        Expect(readAgain || !mustRead, "a renamed document reads");
        Expect(!readAgain || reread.documentName == newName, "a renamed document has the new name");
    }

    void RewriteProjectData(uint64_t recordAt)
    {
        ExpectProjectDataRewrite(document.projectData, bytes, edits, recordAt, true,
                                 [&](MemoryFile& copy, const ProjectTexts& typed) {
                                     return document.WriteProjectData(copy, typed);
                                 });
    }

    EditSource edits;
    const Bytes bytes;
    Document document;
    bool read = false;
};

// Gives back bits of its own for a stored metafile, or fails when told to.
class FuzzConverter : public MetafileConverter {
public:
    Bytes ToEnhanced(const MetafilePicture&, const uint8_t* bits, uint32_t length) const override
    {
        Expect(length >= 18, "a converted metafile holds at least its header");
        calls++;
        const Bytes copy(bits, bits + length);
        return converts ? Bytes(length % 97 + 1, copy.back()) : Bytes{};
    }

    bool converts = true;
    mutable int calls = 0;
};

class FuzzScreen : public ScreenResolution {
public:
    bool Query(ScreenMetrics& out) const override
    {
        out = metrics;
        return true;
    }

    ScreenMetrics metrics{};
};

}  // namespace

void FuzzPlanFile(const uint8_t* data, size_t size)
{
    DocumentInput<PlanFile> input(data, size);
    const PlanFile& plan = input.document;
    Expect(plan.projectPath.size() <= 299 && plan.projectPath.find('\0') == std::string::npos,
           "a project path is a text of at most 299 characters");
    ExpectPreview(plan.preview);
    ExpectPageText(plan.notes);
    Expect(!plan.HasNotes() || plan.notesOffset > 0, "notes come from a notes block");
    ExpectShowable(plan.projectData.Texts());
    Expect(!input.read || IsPlatformMark(plan.platform), "a read plan has a platform");
    // A rename cannot change what the blocks hold when none that a load visits begins
    // before the name's end.
    const int64_t nameEnd = int64_t{plan.nameOffset} + NameFieldSize;
    auto clear = [&](int32_t offset) { return offset <= 0 || offset >= nameEnd; };
    input.Rename(plan.nameOffset != 0, plan.nameOffset, NameFieldSize,
                 input.read && clear(plan.previewOffset) && clear(plan.projectDataOffset) &&
                     (plan.signInMarker == 0 || clear(plan.signInOffset)));
    input.RewriteProjectData(uint64_t(plan.projectDataOffset) + BlockHeaderSize);
}

// A rename rewrites the masked header: only the name and the check value change.
void FuzzSfoldFile(const uint8_t* data, size_t size)
{
    DocumentInput<SfoldFile> input(data, size);
    const SfoldFile& book = input.document;
    const std::string& version = book.versionText;
    Expect(book.documentName.find('\0') == std::string::npos && version.find('\0') == std::string::npos &&
               version.size() <= SfoldFile::MaxNameLength,
           "a name and a version are texts of at most 31 characters");
    ExpectShowable(book.projectData.Texts());
    MemoryFile file(input.bytes);
    SfoldHeader header;
    const bool headerReads = SfoldFile::ReadHeader(file, header);
    Expect(!input.read || headerReads, "a book reads only with a header that passes its check");
    Expect(!input.read || book.platform == PlatformWindows || book.platform == PlatformMacintosh,
           "a read book is from Windows or a Macintosh");
    input.Rename(headerReads, 48, SfoldFile::HeaderSize - 48, input.read);
    input.RewriteProjectData(SfoldFile::HeaderSize + BlockHeaderSize);
}

void FuzzLibPartFile(const uint8_t* data, size_t size)
{
    DocumentInput<LibPartFile> input(data, size);
    const LibPartFile& part = input.document;
    for (const TextBuffer* text : {&part.script1D, &part.script2D, &part.script3D, &part.propertiesScript,
                                   &part.valueListScript, &part.uidScript, &part.comment})
        ExpectPageText(*text);
    ExpectPreview(part.preview);
    Expect(!input.read || IsPlatformMark(part.platformMark), "a read part has a platform");
    input.Rename(part.nameOffset != 0, part.nameOffset, NameFieldSize, input.read);
}

// The first-line rewrite of an object script is composed into an empty file.
void FuzzQdlFile(const uint8_t* data, size_t size)
{
    EditSource edits(data, size);
    const Bytes bytes(data, data + size);
    MemoryFile file(bytes), source(bytes), target;
    QdlFile script;
    const bool read = script.Read(file);
    const std::string name = script.documentName;
    Expect(name.size() <= QdlFile::MaxNameLength &&
               name.find_first_of(std::string("\r\n\0", 3)) == std::string::npos && (read || name.empty()),
           "a name is one line of at most 31 characters, none when the script does not read");
    ExpectPageText(script.scriptText);
    const char* prefix = QdlFile::DocumentNamePrefix;
    Expect(!read || (size >= QdlFile::PrefixLength && std::memcmp(data, prefix, QdlFile::PrefixLength) == 0 &&
                     script.bodyOffset <= script.scriptText.GetLength()),
           "a script that reads begins with the prefix and has its body inside its text");
    const std::string newName = edits.Text(40);
    const bool renames = read && script.lineEndKind == LineEndsWindows && !newName.empty() &&
                         newName.size() <= QdlFile::MaxNameLength &&
                         newName.find_first_of("\r\n") == std::string::npos && newName != name;
    Expect(script.WriteDocumentName(source, target, newName) == renames && source.Bytes() == bytes,
           "a script is renamed, never in place, when it has CR LF line ends and the name is new and fits");
    if (!renames) {
        Expect(target.Size() == 0 && script.documentName == name, "a refused rewrite writes nothing");
        return;
    }
    // The prefix and the new name, then everything from the first line end on.
    Bytes expected(prefix, prefix + QdlFile::PrefixLength);
    expected.insert(expected.end(), newName.begin(), newName.end());
    expected.insert(expected.end(), std::find_if(bytes.begin() + QdlFile::PrefixLength, bytes.end(),
                                                 [](uint8_t c) { return c == '\r' || c == '\n'; }),
                    bytes.end());
    Expect(target.Bytes() == expected, "a rewrite keeps every byte after the first line");
    QdlFile reread;
    Expect(reread.Read(target) && reread.documentName == newName && script.documentName == newName,
           "a renamed script reads with the new name");
}

// The metafile converter converts or fails as the input's last byte says.
void FuzzModulFile(const uint8_t* data, size_t size)
{
    EditSource edits(data, size);
    FuzzConverter converter;
    converter.converts = edits.Byte() % 4 != 0;
    MetafileConverter::SetCurrent(&converter);
    MemoryFile file(data, size);
    ModulFile module;
    const bool read = module.Read(file);
    MetafileConverter::SetCurrent(nullptr);
    ExpectPreview(module.preview);
    Expect(read || module.preview.GetBlock() == nullptr, "a module that does not read has no preview");
    Expect(converter.calls <= 1, "the stored metafile is converted at most once");
}

// A project data record lies 6 bytes into a file, as it does after a block header:
// the input from its first byte on is the record and what follows it.
void FuzzProjectData(const uint8_t* data, size_t size)
{
    constexpr uint64_t RecordAt = BlockHeaderSize;
    EditSource edits(data, size);
    SelectTables(edits.Byte());
    Bytes bytes = {0x48, 0x02, 0x00, 0x08, 0x00, 0x00};
    bytes.insert(bytes.end(), data, data + size);
    const bool whole = size >= ProjectData::RecordSize;
    MemoryFile file(bytes);
    ProjectData record;
    file.Seek(RecordAt);
    Expect(record.ReadFrom(file) == whole, "a record is read exactly when the file holds all of it");
    Expect(whole || record.Texts() == ProjectTexts{}, "a failed read keeps the texts");
    ExpectShowable(record.Texts());
    auto write = [&](MemoryFile& copy, const ProjectTexts& typed) {
        return record.WriteBack(copy, RecordAt, typed);
    };
    Expect(ExpectProjectDataRewrite(record, bytes, edits, RecordAt, false, write) == whole,
           "a whole record can be rewritten");
}

// ReadBlock and ReadGif: the first byte chooses the operation and the screen, the
// next four the stored length, the next two how many of the following bytes are the
// caller's metafile bits; the rest is the file. The picture read is then fitted and
// clipped as a page draws it.
void FuzzPreviewPicture(const uint8_t* data, size_t size)
{
    if (size < 7)
        return;
    uint8_t choice = data[0];
    uint32_t length;
    std::memcpy(&length, data + 1, 4);
    size_t bitsLength = std::min<size_t>(data[5] | data[6] << 8, size - 7);
    const uint8_t* bits = data + 7;
    MemoryFile file(bits + bitsLength, size - 7 - bitsLength);
    FuzzScreen screen;
    if (choice & 0x10 && bitsLength >= 16) {
        std::memcpy(&screen.metrics, bits, 16);
        ScreenResolution::SetCurrent(&screen);
    }
    static const uint32_t kinds[] = {PreviewKindRecord16, PreviewKindRecord18, PreviewKindBlock, 0xD003};
    PreviewPicture picture;
    const uint8_t* callerBits = (choice & 0x20) ? nullptr : bits;
    bool read = (choice & 7) == 4 ? picture.ReadGif(file, length)
                                  : picture.ReadBlock(file, length, kinds[choice & 3], callerBits,
                                                      static_cast<uint32_t>(bitsLength));
    ScreenResolution::SetCurrent(nullptr);
    ExpectPreview(picture);
    const uint8_t* block = picture.GetBlock();
    if (!read || block == nullptr)
        return;
    auto header = LoadStruct<PreviewHeader>(block);
    Rect rect{0, 0, 120, 90};
    if (header.pictureType != 0 || picture.GetBlockSize() < 64) {
        FitToRect(rect, header.frameRight - header.frameLeft, header.frameBottom - header.frameTop);
        return;
    }
    auto bitmap = LoadStruct<BitmapInfoHeader>(block + sizeof(PreviewHeader));
    BitmapFacts facts;
    if (GetBitmapInfo(&bitmap, facts)) {
        FitToRect(rect, bitmap.biWidth, bitmap.biHeight);
        Rect source = facts.source;
        ClipToVisible({30, 20, 100, 70}, source, rect);
    }
}

// Any stream either fails quietly or gives a block whose size and headers agree with
// each other; the sanitizers catch every read or write outside a buffer.
void FuzzGifDecoder(const uint8_t* data, size_t size)
{
    // Large canvases only slow the search down; the unit tests cover the limits.
    if (size > UINT32_MAX ||
        (size >= 10 && uint32_t(data[6] | data[7] << 8) * uint32_t(data[8] | data[9] << 8) > 512 * 512))
        return;
    uint32_t blockSize = 12345;
    PictureBlock block = DecodeGif(data, static_cast<uint32_t>(size), blockSize);
    Expect(block != nullptr || blockSize == 0, "a failed decode gives no block size");
    if (!block)
        return;
    auto preview = LoadStruct<PreviewHeader>(block.get());
    auto bitmap = LoadStruct<BitmapInfoHeader>(block.get() + sizeof(PreviewHeader));
    const int32_t width = bitmap.biWidth;
    const int32_t height = bitmap.biHeight;
    const uint64_t pixelBytes = uint64_t(width) * uint64_t(height) * 4;
    Expect(width > 0 && height > 0 && width <= int32_t{GifMaxSide} && height <= int32_t{GifMaxSide},
           "a picture has 1 to GifMaxSide pixels a side");
    Expect(blockSize == 64 + pixelBytes && bitmap.biSizeImage == pixelBytes,
           "the block holds the headers and 4 bytes a pixel");
    Expect(preview.flags == PreviewFlagGif && preview.frameRight == width && preview.frameBottom == height,
           "the preview header frames the whole picture");
    for (uint64_t at = 64 + 3; at < blockSize; at += 4)
        Expect(block[at] == 0, "the fourth byte of every pixel is 0");
}

// The decoder's indices against the format's definition, where every string is
// rebuilt through its prefixes: any code stream, at any minimum code size, in an
// image of any shape, must give the same pixels.
void FuzzLzwDefinition(const uint8_t* data, size_t size)
{
    if (size < 4 || size > 1 << 16)
        return;
    unsigned minCodeSize = data[0] % 12;
    uint16_t width = static_cast<uint16_t>(1 + data[1] % 64);
    uint16_t height = static_cast<uint16_t>(1 + data[2] % 64);
    test::GifImage image{.width = width, .height = height, .interlaced = (data[3] & 1) != 0,
                         .minCodeSize = static_cast<uint8_t>(minCodeSize), .subBlockSize = 1 + data[3] % 255u};
    // An image that hangs over the canvas's right and bottom edges is written straight
    // onto the canvas; one that fits, through the index buffer.
    auto canvasWidth = static_cast<uint16_t>(data[3] & 2 && width > 1 ? width - 1 : width);
    auto canvasHeight = static_cast<uint16_t>(data[3] & 2 && height > 1 ? height - 1 : height);
    const Bytes codeBytes(data + 4, data + size);
    test::Palette identity;
    for (int i = 0; i < 256; ++i)
        identity.push_back({uint8_t(i), uint8_t(i ^ 0x5A), uint8_t(255 - i)});
    const Bytes stream = test::GifWriter()
                             .Screen(canvasWidth, canvasHeight, identity)
                             .ImageWithCodes(image, codeBytes)
                             .Trailer()
                             .Data();
    uint32_t blockSize = 0;
    PictureBlock block = DecodeGif(stream.data(), static_cast<uint32_t>(stream.size()), blockSize);
    Expect(block != nullptr, "any code stream decodes");
    // Pixels the codes do not reach keep the background, entry 0.
    Bytes stored = test::ExpandCodesByChain(codeBytes, minCodeSize, size_t{width} * height);
    stored.resize(size_t{width} * height);
    // Heights stay below 256, so a row number fits an index.
    Bytes rows(height);
    std::iota(rows.begin(), rows.end(), 0);
    rows = image.interlaced ? test::InterlaceRows(rows, 1, height) : rows;
    bool same = true;
    for (size_t s = 0; s < height; ++s) {
        if (rows[s] >= canvasHeight)
            continue;
        const uint8_t* shown = block.get() + 64 + (canvasHeight - 1 - rows[s]) * canvasWidth * 4;
        for (size_t x = 0; x < canvasWidth; ++x)
            same = same && shown[x * 4 + 2] == stored[s * width + x];
    }
    Expect(same, "the decoder gives the pixels the definition gives");
}

}  // namespace orv::fuzz
