#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <string>

#include "ScopedRegistry.h"
#include "shell/ExtensionMatch.h"

namespace orv {
namespace {

using test::ScopedRegistry;

// The table that claims a path, as the handler factory would find it.
const ExtensionTable* Claimer(const char* path, ExtensionMatch& match)
{
    for (const ExtensionTable* table : AllExtensionTables) {
        match = ExtensionMatch{};
        if (match.MatchExtension(path, *table))
            return table;
    }
    return nullptr;
}

size_t ZerosInPath(const ExtensionMatch& match)
{
    return std::count(std::begin(match.path), std::end(match.path), '\0');
}

TEST(ExtensionTables, EveryExtensionStandsInOneRowOnly)
{
    std::set<std::string> seen;
    size_t rows = 0;
    for (const ExtensionTable* table : AllExtensionTables)
        for (const ExtensionEntry& row : table->rows) {
            ++rows;
            EXPECT_TRUE(seen.insert(row.extension).second) << row.extension;
            EXPECT_EQ(row.extension[0], '.');
        }
    EXPECT_EQ(rows, 30u);
}

TEST(ExtensionTables, QuickViewIsForPlansLibraryPartsAndModules)
{
    std::set<const ExtensionTable*> quick;
    for (const ExtensionTable* table : AllExtensionTables)
        if (table->quickView)
            quick.insert(table);
    EXPECT_EQ(quick, (std::set<const ExtensionTable*>{&PlanExtensions, &LibPartExtensions, &ModulExtensions}));
}

TEST(MatchExtension, ClaimsByTheLastExtensionOfTheLastComponentIgnoringCase)
{
    ScopedRegistry registry;
    struct Case {
        const char* path;
        const ExtensionTable* table;
        int row;
        uint32_t icon;
    };
    const Case cases[] = {
        {"C:\\Projects\\House.PLN", &PlanExtensions, 0, 170},
        {"C:\\p\\tower.bpc", &PlanExtensions, 8, 172},
        {"\\\\server\\share\\lamp.Esm", &LibPartExtensions, 6, 0},
        {"D:/unix/style/book.LAY", &SfoldExtensions, 1, 168},
        {"C:\\a.b.c\\font.vec", &InfoScriptExtensions, 0, 174},
        {"plain.qdl", &QdlExtensions, 0, 152},
        {"C:\\x\\engine.mod", &ModulExtensions, 0, 166},
        {"data.qpd", &InfoExtensions, 1, 151},
    };
    for (const Case& c : cases) {
        ExtensionMatch match;
        EXPECT_EQ(Claimer(c.path, match), c.table) << c.path;
        EXPECT_EQ(match.entryIndex, c.row) << c.path;
        EXPECT_EQ(match.extensionTable, c.table);
        EXPECT_STREQ(match.GetPath(), c.path);
        EXPECT_EQ(c.table->rows[match.entryIndex].iconId, c.icon);
    }
}

TEST(MatchExtension, UnclaimedPathsLeaveThePathZeroedButRecordTheAttempt)
{
    ScopedRegistry registry;
    for (const char* path : {"report.qxm.bak", "C:\\dir.pln\\file", "C:\\dir.pln\\", "noextension",
                             "C:\\x\\.pln.", "trailing.", "C:file.txt"}) {
        ExtensionMatch match;
        EXPECT_EQ(Claimer(path, match), nullptr) << path;
        EXPECT_EQ(match.entryIndex, -1) << path;
        EXPECT_EQ(match.extensionTable, &InfoScriptExtensions);
        EXPECT_EQ(ZerosInPath(match), sizeof match.path) << path;
    }
}

TEST(MatchExtension, NullOrEmptyPathChangesNothing)
{
    ExtensionMatch match;
    match.entryIndex = 4;
    EXPECT_FALSE(match.MatchExtension(nullptr, PlanExtensions));
    EXPECT_FALSE(match.MatchExtension("", PlanExtensions));
    EXPECT_EQ(match.entryIndex, 4);
    EXPECT_EQ(match.extensionTable, nullptr);
}

TEST(MatchExtension, PathsTooLongForTheBufferAreNotClaimed)
{
    ScopedRegistry registry;
    std::string longest = "C:\\" + std::string(252, 'd') + ".pln";
    ASSERT_EQ(longest.size(), 259u);
    ExtensionMatch match;
    EXPECT_TRUE(match.MatchExtension(longest.c_str(), PlanExtensions));
    EXPECT_EQ(std::string(match.GetPath()), longest);

    std::string tooLong = "C:\\" + std::string(253, 'd') + ".pln";
    ExtensionMatch other;
    EXPECT_FALSE(other.MatchExtension(tooLong.c_str(), PlanExtensions));
    EXPECT_EQ(ZerosInPath(other), sizeof other.path);
}

TEST(MatchExtension, TakesTheRegisteredDefaultIconButClaimsWithoutOne)
{
    ScopedRegistry registry;
    RegistryAccess& access = RegistryAccess::Instance();
    access.SetStringValue(RegistryRoot::ClassesRoot, ".pln", nullptr, "Orv.Plan", nullptr);
    access.SetStringValue(RegistryRoot::ClassesRoot, "Orv.Plan", "DefaultIcon", "C:\\App\\icons.dll,-105", nullptr);
    access.SetStringValue(RegistryRoot::ClassesRoot, ".pla", nullptr, "Orv.Archive", nullptr);
    access.SetStringValue(RegistryRoot::ClassesRoot, "Orv.Archive", "DefaultIcon", "%1", nullptr);

    const struct {
        const char* path;
        const char* iconFile;
        int iconIndex;
    } cases[] = {{"C:\\House.pln", "C:\\App\\icons.dll", -105}, {"C:\\House.pla", "%1", 0}, {"C:\\House.bpn", "", 0}};
    for (const auto& [path, iconFile, iconIndex] : cases) {
        ExtensionMatch match;
        ASSERT_TRUE(match.MatchExtension(path, PlanExtensions)) << path;
        EXPECT_STREQ(match.iconFile, iconFile) << path;
        EXPECT_EQ(match.iconIndex, iconIndex) << path;
    }
}

}  // namespace
}  // namespace orv
