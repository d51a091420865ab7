#include "discovery/twain_folder_name.h"

#include <gtest/gtest.h>

#include <string>

namespace drvsweep {
namespace {

TEST(TwainFolderName, PlainFolderNamesBelowTheTwainRootAreAccepted) {
    for (const char* name : {"Sample", "Maker\\Model", "Quorin K5210", "Q.5210", "a\\b\\c"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(IsSafeTwainFolderName(CodePage(), name));
    }
}

TEST(TwainFolderName, NamesThatReachAnyOtherFolderAreRefused) {
    for (const char* name : {"",          "\\",
                             "\\Sample",  "Sample\\",
                             "a\\\\b",    ".",
                             "..",        "..\\system32",
                             "Maker\\..", "Maker\\.\\Model",
                             "...",       ". .",
                             "C:",        "C:\\Windows",
                             "D:Sample",  "\\\\server\\share",
                             "a/../b",    "Sample.",
                             "Sample ",   " Sample",
                             "Sam*",      "Sam?",
                             "Sample,x",  "Sam\"ple",
                             "Sam|ple",   "Sam<ple>",
                             "Sam\tple",  "Sample:stream"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(IsSafeTwainFolderName(CodePage(), name));
    }
}

// A second byte that looks like a separator or a forbidden character belongs to its character:
// Big5 功 A5 5C, 弋 A4 7C ('|'); GBK 乗 81 5C, 亅 81 7C.
TEST(TwainFolderName, ChineseNamesAreJudgedByCharacterInTheirCodePage) {
    const struct {
        std::uint32_t codePage;
        const char* name;
        bool safe;
    } cases[] = {
        {950, "Maker\\\xa5\x5c", true},
        {950, "\xa5\x5c", true},
        {950, "\xa4\x7c", true},
        {950, "\xa5\x5c\\..", false},
        {950, "\xa5\x5c\\", false},
        {950, "Maker\\\xa5", false},  // a lead byte with no second byte
        {936, "\x81\x5c\\\x81\x7c", true},
        {936, "\x81\x5c|", false},
        {1252, "Maker\\\xa5\x5c", false},  // single-byte: the name ends in a backslash
        {1252, "\xa4\x7c", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.codePage) + " " + c.name);
        CodePage codePage(c.codePage);
        if (c.codePage != 1252) {
            codePage.AddLeadByteRange(0x81, 0xFE);
        }
        EXPECT_EQ(IsSafeTwainFolderName(codePage, c.name), c.safe);
    }
}

}  // namespace
}  // namespace drvsweep
