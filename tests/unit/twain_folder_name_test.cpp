#include "discovery/twain_folder_name.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace drvsweep
