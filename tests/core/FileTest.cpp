#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "ScratchFolder.h"
#include "util/File.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using test::PathFromUtf8;
using test::ReadWholeFile;
using test::ScratchFolder;
using test::Utf8Of;

const std::vector<uint8_t> tenBytes = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};

// Reads, seeks past the end, a write in place and a cut, on a file of tenBytes.
void ExpectReadWriteAndCut(File& file)
{
    char buffer[8] = {};
    EXPECT_EQ(file.Size(), 10u);
    EXPECT_EQ(file.Read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(file.Position(), 4u);
    ASSERT_TRUE(file.Seek(8));
    EXPECT_EQ(file.Remaining(), 2u);
    EXPECT_EQ(file.Read(buffer, 8), 2u);
    EXPECT_EQ(std::string(buffer, 2), "89");
    EXPECT_EQ(file.Read(buffer, 8), 0u);
    ASSERT_TRUE(file.Seek(20));
    EXPECT_EQ(file.Remaining(), 0u);
    EXPECT_FALSE(file.ReadExactly(buffer, 1));
    ASSERT_TRUE(file.Seek(2));
    EXPECT_TRUE(file.WriteExactly("ab", 2));
    ASSERT_TRUE(file.Seek(6));
    EXPECT_TRUE(file.Cut());
    EXPECT_EQ(file.Size(), 6u);
}

// The names in a folder: in the scratch folder, to see that no file is left beside
// the original.
size_t EntriesIn(const std::filesystem::path& folder)
{
    auto entries = std::filesystem::directory_iterator(folder);
    return static_cast<size_t>(std::distance(entries, std::filesystem::directory_iterator()));
}

// The process's open descriptors, where the system lists them.
size_t OpenDescriptors()
{
#ifdef __linux__
    return EntriesIn("/proc/self/fd");
#else
    return 0;
#endif
}

// A memory file's writes stop at their limit, as on a full disk. A file on disk lets go
// of its descriptor when it goes.
TEST(File, FilesOnDiskAndInMemoryReadWriteAndCutAlike)
{
    const std::vector<uint8_t> written = {'0', '1', 'a', 'b', '4', '5'};
    ScratchFolder scratch;
    std::string path = scratch.Write("\xD0\x94\xD0\xBE\xD0\xBC.bin", tenBytes);
    const size_t descriptors = OpenDescriptors();
    auto file = OpenFile(path, File::Access::ReadWrite);
    ASSERT_NE(file, nullptr);
    ExpectReadWriteAndCut(*file);
    file.reset();
    EXPECT_EQ(OpenDescriptors(), descriptors);
    EXPECT_EQ(ReadWholeFile(path), written);

    MemoryFile memory(tenBytes);
    ExpectReadWriteAndCut(memory);
    memory.LimitWrites(3);
    EXPECT_EQ(memory.Write("cdef", 4), 3u);
    EXPECT_EQ(memory.Write("g", 1), 0u);
    EXPECT_EQ(memory.Bytes(), (std::vector<uint8_t>{'0', '1', 'a', 'b', '4', '5', 'c', 'd', 'e'}));
}

// Neither opened nor replaced: a missing file, a folder, a name cut at a zero byte (which
// would be another file's). A file cut at its start is empty.
TEST(File, OnlyExistingFilesOpenAndReadOnlyOnesRefuseWrites)
{
    ScratchFolder scratch;
    std::string path = scratch.Write("doc.bin", tenBytes);
    const std::string missing = scratch.PathOf("missing.pln"), cut = path + '\0' + ".x";
    bool composed = false;
    for (const std::string& refused : {missing, Utf8Of(scratch.Folder()), cut}) {
        for (File::Access access : {File::Access::Read, File::Access::ReadWrite})
            EXPECT_EQ(OpenFile(refused, access), nullptr) << refused;
        EXPECT_FALSE(ReplaceFileContents(refused, [&composed](File&, File&) { return composed = true; }));
    }
    EXPECT_FALSE(composed);
    EXPECT_EQ(EntriesIn(scratch.Folder()), 1u);
    auto file = OpenFile(path, File::Access::Read);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Write("zz", 2), 0u);
    file.reset();
    EXPECT_EQ(ReadWholeFile(path), tenBytes);
    file = OpenFile(path, File::Access::ReadWrite);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->Cut());
    file.reset();
    EXPECT_TRUE(ReadWholeFile(path).empty());
}

TEST(ReplaceFileContents, TheNewContentsTakeThePlaceOfTheOriginalOnlyWhenComposed)
{
    using std::filesystem::perms;
    const perms kept = perms::owner_read | perms::owner_write | perms::group_read;
    for (bool composed : {true, false}) {
        ScratchFolder scratch;
        // A fullwidth H, which an approximation would turn into another file's name.
        std::string path = scratch.Write("\xEF\xBC\xA8ouse.qdl", tenBytes);
        std::filesystem::permissions(PathFromUtf8(path), kept);
        bool replaced = ReplaceFileContents(path, [composed](File& original, File& replacement) {
            char last[2];
            return original.Seek(8) && original.ReadExactly(last, 2) && replacement.WriteExactly(&last[1], 1) &&
                   replacement.WriteExactly(last, 1) && replacement.WriteExactly("new", 3) && composed;
        });
        const std::vector<uint8_t> expected = composed ? std::vector<uint8_t>{'9', '8', 'n', 'e', 'w'} : tenBytes;
        EXPECT_EQ(std::tuple(replaced, ReadWholeFile(path), EntriesIn(scratch.Folder())),
                  std::tuple(composed, expected, size_t{1}));
#ifndef _WIN32
        EXPECT_EQ(std::filesystem::status(PathFromUtf8(path)).permissions(), kept);
#endif
    }
#ifdef __linux__
    // A folder where no file can be made beside the original.
    EXPECT_FALSE(ReplaceFileContents("/proc/version", [](File&, File&) { return true; }));
#endif
}

}  // namespace
}  // namespace orv
