#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ByteWriter.h"
#include "ProjectDataBuilder.h"
#include "RecordingFile.h"
#include "plan/ProjectData.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using test::ProjectDataRecord;

constexpr uint16_t Windows = 0x5757;
constexpr uint16_t Macintosh = 0x4D4D;

// Texts as a Macintosh stores them: Mac Roman (0x8E is e acute, 0x8A a umlaut) and
// lone CRs.
const ProjectTexts MacStored = {"Villa R\x8E" "sidence", "B\x8A" "r", "C", "VR-", "villa", "one\rtwo\r"};

// A record between other bytes, as it lies in a document, read from there.
struct PlacedRecord {
    explicit PlacedRecord(const std::vector<uint8_t>& record)
        : document(test::ByteWriter().Fill(100, 0x5A).Bytes(record).Fill(50, 0xA5).Data()), file(document)
    {
        EXPECT_TRUE(file.Seek(100) && data.ReadFrom(file));
    }

    std::vector<uint8_t> document;
    MemoryFile file;
    ProjectData data;
};

TEST(ProjectDataWrite, AllOfTheRecordIsWrittenAtOnceAtTheEndAndOnlyWhereItFits)
{
    test::RecordingFile file(ProjectDataRecord(Macintosh, MacStored));
    ProjectData data;
    ASSERT_TRUE(data.ReadFrom(file));
    ProjectTexts shown = data.Texts();
    shown.keywords = "new";
    file.log.clear();
    ASSERT_TRUE(data.WriteBack(file, 0, shown));
    EXPECT_EQ(file.log, (std::vector<std::string>{"seek 0", "read 2048", "seek 0", "write 2048"}));

    const std::vector<uint8_t> record = test::Cut(ProjectDataRecord(Windows, {}), 2000);
    test::RecordingFile shorter(record);
    EXPECT_FALSE(ProjectData().WriteBack(shorter, 0, shown));
    EXPECT_EQ(shorter.Bytes(), record);
    EXPECT_EQ(shorter.Count("write"), 0u);

    // A file that cannot tell where it is: the record is not written over its start.
    struct Unplaced : test::RecordingFile {
        using RecordingFile::RecordingFile;
        uint64_t Position() const override { return 0; }
    };
    PlacedRecord placed(ProjectDataRecord(Windows, {}));
    Unplaced unplaced(placed.document);
    EXPECT_FALSE(placed.data.WriteBack(unplaced, 100, shown));
    EXPECT_EQ(unplaced.Bytes(), placed.document);
}

}  // namespace
}  // namespace orv
