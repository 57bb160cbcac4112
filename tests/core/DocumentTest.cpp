#include <gtest/gtest.h>

#include <string>

#include "LibPartBuilder.h"
#include "handlers/Document.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

// A library part's texts are its sections that hold anything, one character enough.
TEST(Document, LibraryPartTextsAreTheSectionsThatAreNotEmpty)
{
    MemoryFile file(test::LibPart(0x5757, "Door", {{"1DSC", ""}, {"2DSC", "x"}, {"CTXT", "notes"}}));
    Document document;
    std::string error;
    ASSERT_TRUE(document.Read(file, "Door.qxm", error)) << error;
    std::string shown;
    for (const DocumentText& text : document.texts)
        shown += std::string(" ") + text.section + ":" + text.text;
    EXPECT_EQ(shown, " 2D:x comment:notes");
}

}  // namespace
}  // namespace orv
