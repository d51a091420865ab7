#include "platform/wininit_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace drvsweep {
namespace {

using Paths = std::vector<std::string>;

const CodePage kWestern(1252);

TEST(WininitTextTest, TheLineGoesAtTheEndOfTheRenameSectionAndNothingElseMoves) {
    const std::string kLine = "NUL=C:\\WINDOWS\\QUOR~PCC.DLL\r\n";
    const struct {
        const char* name;
        std::string text;
        std::string expected;
    } kCases[] = {
        {"no file", "", "[rename]\r\n" + kLine},
        {"no section, last line open", "[boot]\r\nshell=x",
         "[boot]\r\nshell=x\r\n[rename]\r\n" + kLine},
        {"no section", "; note\n[boot]\n", "; note\n[boot]\n[rename]\r\n" + kLine},
        {"header alone at the end", "[rename]", "[rename]\r\n" + kLine},
        {"lines with one key kept, blank lines and the next section after",
         "[Rename]\r\nNUL=C:\\A.DLL\r\nNUL=C:\\B.DLL\r\n\r\n[other]\r\nk=v\r\n",
         "[Rename]\r\nNUL=C:\\A.DLL\r\nNUL=C:\\B.DLL\r\n" + kLine + "\r\n[other]\r\nk=v\r\n"},
        {"renames kept, LF lines, blanks in the header", " [ rename ] \nC:\\NEW.DLL=C:\\OLD.DLL\n",
         " [ rename ] \nC:\\NEW.DLL=C:\\OLD.DLL\n" + kLine},
        {"last line open", "[rename]\r\nNUL=C:\\A.DLL", "[rename]\r\nNUL=C:\\A.DLL\r\n" + kLine},
        {"only the first section", "[rename]\r\n[x]\r\n[rename]\r\n",
         "[rename]\r\n" + kLine + "[x]\r\n[rename]\r\n"},
        {"already there", "[rename]\r\nnul = C:\\WINDOWS\\QUOR~PCC.DLL\r\n",
         "[rename]\r\nnul = C:\\WINDOWS\\QUOR~PCC.DLL\r\n"},
    };
    for (const auto& test : kCases) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(AddWininitDeletion(kWestern, test.text, "C:\\WINDOWS\\QUOR~PCC.DLL"),
                  test.expected);
    }
}

TEST(WininitTextTest, DeletionsAreTheNulLinesOfTheRenameSections) {
    const std::string text =
        "NUL=C:\\OUTSIDE.DLL\r\n[rename]\r\nNUL=C:\\A.DLL\r\nC:\\N.DLL=C:\\O.DLL\r\n"
        "; NUL=C:\\NOTE.DLL\r\n[boot]\r\nNUL=C:\\BOOT.DLL\r\n[RENAME]\nnul= C:\\B~1\\C.DS \n";
    EXPECT_EQ(WininitDeletions(kWestern, text), (Paths{"C:\\A.DLL", "C:\\B~1\\C.DS"}));
    EXPECT_EQ(WininitDeletions(
                  kWestern,
                  AddWininitDeletion(kWestern, AddWininitDeletion(kWestern, "", "C:\\X"), "C:\\Y")),
              (Paths{"C:\\X", "C:\\Y"}));
}

}  // namespace
}  // namespace drvsweep
