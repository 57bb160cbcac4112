#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "GifWriter.h"
#include "PreviewBlockBuilder.h"
#include "ProjectDataBuilder.h"
#include "RecordingFile.h"
#include "ScratchFolder.h"
#include "plan/ProjectData.h"
#include "util/MemoryFile.h"

namespace orv::test {

// The platform marks of Windows, the Macintosh and Unix.
inline constexpr uint16_t WW = 0x5757;
inline constexpr uint16_t MM = 0x4D4D;
inline constexpr uint16_t UU = 0x5555;

inline std::vector<uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

// A GIF stream of 2 x 2 pixels, red and blue.
inline std::vector<uint8_t> SmallGif()
{
    GifImage image;
    image.width = image.height = image.minCodeSize = 2;
    image.indices = {0, 1, 1, 0};
    return GifWriter().Screen(2, 2, {{255, 0, 0}, {0, 0, 255}}).Image(image).Trailer().Data();
}

// A stored preview block of 2 x 2 grey pixels.
inline std::vector<uint8_t> GreyPreview()
{
    return PreviewBlockBuilder::Bitmap32(2, 2, [](int, int) { return 0x3C3C3Cu; }).Build();
}

// What a rewrite of a plan or a layout book gives: the file's bytes when it succeeded,
// Failed when it failed after using the file, nothing when it was refused without.
using Written = std::optional<std::vector<uint8_t>>;
inline const Written Failed = std::vector<uint8_t>{};

// After a failed write the file keeps its size, and all of its bytes unless some could be written.
inline void ExpectKept(const MemoryFile& file, const std::vector<uint8_t>& before, uint64_t allowance)
{
    EXPECT_EQ(file.Bytes().size(), before.size());
    EXPECT_TRUE((allowance != 0 && allowance != UINT64_MAX) || file.Bytes() == before);
}

// The document is read from read, then written into written (read itself unless given)
// with this many bytes allowed. After a success a new read gives what was written;
// after a failure the document keeps what it had, and the file as ExpectKept says.
template <class Document>
Written Renamed(const std::vector<uint8_t>& read, const std::string& name, const Written& written = {},
                uint64_t allowance = UINT64_MAX)
{
    Document document, reread;
    MemoryFile source(read);
    RecordingFile file(written.value_or(read));
    EXPECT_TRUE(document.Read(source));
    std::string old = document.documentName;
    file.LimitWrites(allowance);
    if (!document.WriteDocumentName(file, name)) {
        EXPECT_EQ(document.documentName, old);
        ExpectKept(file, written.value_or(read), allowance);
        return file.log.empty() ? std::nullopt : Failed;
    }
    EXPECT_TRUE(reread.Read(file));
    EXPECT_EQ(std::tuple(document.documentName, reread.documentName), std::tuple(name, name));
    return file.Bytes();
}

// The same for project data, with new keywords and comments of two lines, or the
// texts as shown when unchanged.
template <class Document>
Written Rewritten(const std::vector<uint8_t>& read, const Written& written = {}, bool unchanged = false)
{
    Document document, reread;
    MemoryFile source(read);
    RecordingFile file(written.value_or(read));
    EXPECT_TRUE(document.Read(source));
    const ProjectTexts old = document.projectData.Texts();
    ProjectTexts shown = old;
    shown.keywords = unchanged ? shown.keywords : "caf\xE9";
    shown.comments = unchanged ? shown.comments : "\xE9t\xE9\r\nhiver";
    if (!document.WriteProjectData(file, shown)) {
        EXPECT_EQ(document.projectData.Texts(), old);
        ExpectKept(file, written.value_or(read), UINT64_MAX);
        return file.log.empty() ? std::nullopt : Failed;
    }
    EXPECT_TRUE(reread.Read(file));
    EXPECT_EQ(std::tuple(document.projectData.Texts(), reread.projectData.Texts()), std::tuple(shown, shown));
    return file.Bytes();
}

// The bytes of a document on disk, under a name outside ASCII, after it was loaded
// from there, renamed "New" and given the comments "x", "y" in two lines; the same texts
// again are refused. Then the file is removed, and later writes fail and keep the name.
template <class Document>
std::vector<uint8_t> WrittenOnDisk(const std::vector<uint8_t>& bytes)
{
    ScratchFolder folder;
    std::string path = folder.Write("\xD0\x94oc", bytes);
    Document document;
    EXPECT_TRUE(document.Load(path));
    EXPECT_TRUE(document.WriteDocumentName(path, "New"));
    ProjectTexts shown = document.projectData.Texts();
    shown.comments = "x\r\ny";
    EXPECT_TRUE(document.WriteProjectData(path, shown));
    EXPECT_FALSE(document.WriteProjectData(path, shown)) << "nothing changed, yet a write was reported";
    std::vector<uint8_t> written = ReadWholeFile(path);
    std::filesystem::remove(PathFromUtf8(path));
    EXPECT_FALSE(document.WriteProjectData(path, ProjectTexts{}));
    EXPECT_FALSE(document.WriteDocumentName(path, "Newer"));
    EXPECT_EQ(document.documentName, "New");
    EXPECT_FALSE(document.Load(path));
    return written;
}

}  // namespace orv::test
