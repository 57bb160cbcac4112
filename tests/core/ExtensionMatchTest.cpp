#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "ScopedRegistry.h"
#include "shell/ExtensionMatch.h"

namespace orv {
namespace {

using test::ScopedRegistry;

// The table that claims a path, as the handler factory would find it.
const ExtensionTable* Claimer(const char* path, ExtensionMatch& match)
{
    for (const ExtensionTable* table : AllExtensionTables)
        if (match.MatchExtension(path, *table))
            return table;
    return nullptr;
}

// The extension of the last path component decides, whatever its case; a claim keeps
// the whole path, the row, and the icon its program id registers: the file before the
// first comma, cut to the buffer, and the index after it, kept within int. An
// unclaimed path replaces an earlier claim with nothing; the last table tried stays.
TEST(MatchExtension, ClaimsByTheLastExtensionOfTheLastComponentIgnoringCase)
{
    ScopedRegistry registry;
    const std::string longFile(400, 'p');
    const std::string longIcon = longFile + ",2";
    const std::string cutFile = longFile.substr(0, ExtensionMatch::PathSize - 1);
    const char* const icons[][3] = {
        {".pln", "Orv.Plan", "C:\\App\\icons.dll,-105"},
        {".esm", "Orv.Part", "%1"},
        {".qpd", "Orv.Data", "a.dll,99999999999,8"},
        {".lay", "Orv.Layout", longIcon.c_str()},
        {".vec", "Orv.Font", nullptr},
    };
    RegistryAccess& access = RegistryAccess::Instance();
    for (const auto& [extension, programId, icon] : icons) {
        access.SetStringValue(RegistryRoot::ClassesRoot, extension, nullptr, programId, nullptr);
        access.SetStringValue(RegistryRoot::ClassesRoot, programId, "DefaultIcon", icon, nullptr);
    }
    std::string cyrillic = "C:\\";
    for (int letter = 0; letter < 130; ++letter)
        cyrillic += "\xD0\x94";
    cyrillic += ".pln";
    const struct {
        const char* path;
        const ExtensionTable* table;
        int row;
        const char* iconFile;
        int iconIndex;
    } cases[] = {
        {"C:\\Projects\\House.PLN", &PlanExtensions, 0, "C:\\App\\icons.dll", -105},
        {"C:\\p\\tower.bpc", &PlanExtensions, 8, "", 0},
        {"\\\\server\\share\\lamp.Esm", &LibPartExtensions, 6, "%1", 0},
        {"D:/unix/style/book.LAY", &SfoldExtensions, 1, cutFile.c_str(), 2},
        {"C:\\a.b.c\\font.vec", &InfoScriptExtensions, 0, "", 0},
        {"plain.qdl", &QdlExtensions, 0, "", 0},
        {"C:\\x\\engine.mod", &ModulExtensions, 0, "", 0},
        {"data.qpd", &InfoExtensions, 1, "a.dll", INT_MAX},
        {"report.qxm.bak", nullptr, -1, "", 0},    {"C:\\dir.pln\\file", nullptr, -1, "", 0},
        {"C:\\dir.pln\\", nullptr, -1, "", 0},     {"noextension", nullptr, -1, "", 0},
        {"C:\\x\\.pln.", nullptr, -1, "", 0},      {"trailing.", nullptr, -1, "", 0},
        // Longer in UTF-8 than the shell's 260 characters.
        {cyrillic.c_str(), &PlanExtensions, 0, "C:\\App\\icons.dll", -105},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ExtensionMatch match;
        ASSERT_TRUE(match.MatchExtension("C:\\earlier.bpc", PlanExtensions));
        ASSERT_EQ(Claimer(c.path, match), c.table);
        EXPECT_EQ(match.extensionTable, c.table ? c.table : &InfoScriptExtensions);
        EXPECT_EQ(match.entryIndex, c.row);
        EXPECT_EQ(match.path, c.table ? c.path : "");
        EXPECT_STREQ(match.iconFile, c.iconFile);
        EXPECT_EQ(match.iconIndex, c.iconIndex);
    }

    ExtensionMatch untouched;
    untouched.entryIndex = 4;
    EXPECT_FALSE(untouched.MatchExtension(nullptr, PlanExtensions));
    EXPECT_FALSE(untouched.MatchExtension("", PlanExtensions));
    EXPECT_EQ(untouched.entryIndex, 4);
    EXPECT_EQ(untouched.extensionTable, nullptr);
}

}  // namespace
}  // namespace orv
