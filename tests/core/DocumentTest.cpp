#include <gtest/gtest.h>

#include <string>

#include "PlanBuilder.h"
#include "ProjectDataBuilder.h"
#include "handlers/Document.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

// A plan read, then its project data written into a file that no longer holds its
// record (cut short, or another plan without one), or renamed in a file too short
// for a header: each write-back is refused with its reason and leaves the file as it was.
TEST(Document, WriteBacksIntoAFileChangedSinceTheReadAreRefused)
{
    const ProjectTexts texts = {"Villa", "Ann", "C", "VR-", "villa", "notes"};
    const std::vector<uint8_t> plan = test::PlanBuilder(0x5757).Version(4550).DocumentName("Villa")
        .Block(584, test::ProjectDataRecord(0x5757, texts), test::PlanPointer::ProjectData).Build();
    Document document;
    std::string error;
    MemoryFile read(plan);
    ASSERT_TRUE(document.Read(read, "Villa.pln", error)) << error;
    ProjectTexts changed = texts;
    changed.keywords = "garden";
    const std::vector<uint8_t> others[] = {
        {plan.begin(), plan.begin() + 300},
        test::PlanBuilder(0x5757).Version(4550).DocumentName("Villa").Build(),
    };
    for (const std::vector<uint8_t>& other : others) {
        MemoryFile file(other);
        EXPECT_FALSE(document.SetProjectTexts(file, changed, error));
        EXPECT_EQ(error, "the project data could not be written as read; the file was left unchanged");
        EXPECT_EQ(file.Bytes(), other);
    }
    MemoryFile tiny(std::vector<uint8_t>(plan.begin(), plan.begin() + 10));
    EXPECT_FALSE(document.Rename(tiny, "Casa", error));
    EXPECT_EQ(error, "the file could not be written as read; it was left unchanged");
    EXPECT_EQ(tiny.Bytes().size(), 10u);
}

}  // namespace
}  // namespace orv
