#include <gtest/gtest.h>

#include <string>

#include "platform/win32/ansi_text.h"

// The conversions between the ANSI code page (1252 in the runner's default locale) and UTF-16
// that the store and protection calls need.
namespace drvsweep::win32 {
namespace {

TEST(AnsiTextTest, WidensAndNarrowsWhatTheCodePageHolds) {
    const std::string longPath = "C:\\windows\\" + std::string(600, 'a') + "\\caf\xE9.inf";
    const std::wstring longWide = L"C:\\windows\\" + std::wstring(600, L'a') + L"\\caf\u00E9.inf";
    std::wstring wide;
    ASSERT_TRUE(WidenAnsi(longPath.c_str(), &wide));
    EXPECT_EQ(wide, longWide);
    std::string text;
    ASSERT_TRUE(NarrowToAnsi(longWide.c_str(), &text));
    EXPECT_EQ(text, longPath);
    ASSERT_TRUE(WidenAnsi("", &wide));
    EXPECT_EQ(wide, L"");
}

// A character the code page lacks would come back as "?" and name another file.
TEST(AnsiTextTest, RefusesACharacterTheCodePageLacks) {
    std::string text = "untouched";
    EXPECT_FALSE(NarrowToAnsi(L"C:\\windows\\inf\\\u4E2D.inf", &text));
    EXPECT_EQ(text, "untouched");
}

}  // namespace
}  // namespace drvsweep::win32
