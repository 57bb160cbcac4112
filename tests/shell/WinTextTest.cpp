#include <gtest/gtest.h>
#include <windows.h>

#include "ScopedCharTables.h"
#include "util/CharTables.h"
#include "util/win32/WinText.h"

namespace orv {
namespace {

TEST(SelectCharTables, TakesTheCodePageFromTheModulesVersionResource)
{
    test::ScopedCharTables none(nullptr);
    SelectCharTables(GetModuleHandleA(nullptr));
    EXPECT_EQ(ActiveCharTables(), &CyrillicChars);
}

TEST(AnsiToWide, ConvertsThroughTheAnsiCodePageWithTheTerminator)
{
    wchar_t wide[16];
    wmemset(wide, L'?', 16);
    AnsiToWide("House.pln", wide, 16);
    EXPECT_STREQ(wide, L"House.pln");
    EXPECT_EQ(wide[10], L'?');
}

}  // namespace
}  // namespace orv
