#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/fixed_text.h"
#include "platform/inf_files.h"
#include "tests/support/test_machine.h"

// INF files read as Windows 4 style INFs on the scenario contract_inf, whose windir\inf holds
// one file per kind of case. Every count and text expected here was read from Wine 8.0's
// SetupGetLineCountA, SetupGetLineTextA, SetupGetFieldCount and SetupGetStringFieldA, so the
// simulated reader must give the same.
namespace drvsweep {
namespace {

constexpr char kFailed[] = "<failed>";

struct SectionCase {
    const char* name;
    long count;
    std::vector<std::string> texts;  // read into 260 bytes
};

class InfContract : public ::testing::Test {
protected:
    void SetUp() override { machine_ = testing::OpenScenarioMachine(); }

    std::unique_ptr<InfFile> Open(const std::string& name) {
        return machine_->platform().inf.OpenWin4(("C:\\windows\\inf\\" + name).c_str());
    }

    // Every line text of the section, walked as the driver INF lookup walks it; kFailed for a
    // text that could not be read.
    static std::vector<std::string> Texts(InfFile& file, const char* section,
                                          std::uint32_t size = kMaxPath) {
        std::vector<std::string> texts;
        InfLine line;
        for (bool more = file.FindFirstLine(section, &line); more;
             more = file.FindNextLine(&line)) {
            std::vector<char> text(size);
            texts.push_back(file.LineText(line, text.data(), size) ? text.data() : kFailed);
        }
        return texts;
    }

    void ExpectSections(const std::string& name, const std::vector<SectionCase>& sections) {
        SCOPED_TRACE(name);
        const std::unique_ptr<InfFile> file = Open(name);
        ASSERT_NE(file, nullptr);
        for (const SectionCase& section : sections) {
            SCOPED_TRACE(section.name);
            EXPECT_EQ(file->LineCount(section.name), section.count);
            EXPECT_EQ(Texts(*file, section.name), section.texts);
        }
    }

    std::unique_ptr<testing::TestMachine> machine_;
};

TEST_F(InfContract, OpensOnlyWin4InfFiles) {
    const struct {
        const char* name;
        bool opens;
    } cases[] = {
        {"lines.inf", true},
        {"models.inf", true},
        {"utf16.inf", true},
        {"utf16_no_mark.inf", true},
        {"utf8.inf", true},
        {"nul_chars.inf", true},
        {"missing.inf", false},
        {"empty.inf", false},
        {"binary.inf", false},
        {"no_signature.inf", false},
        {"other_signature.inf", false},
        {"text_before_section.inf", false},
        {"unfinished_section.inf", false},
        {"long_section_name.inf", false},
        {"utf16_big_endian.inf", false},
        {"nul_read_as_utf16.inf", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Open(c.name) != nullptr, c.opens);
    }
}

TEST_F(InfContract, LineTextIsTheValueWithQuotesCommentsAndContinuationsResolved) {
    ExpectSections(
        "lines.inf",
        {
            {"Manufacturer",
             16,
             {"Models", "Models,NTx86", "Quoted Models", "JustText", "a,b,c",
              "spaced   words  here", "", "novalue", "a,b=c", "a,,b", "a\"b", "unterminated\r",
              "a b c", "x \\ y", "x\\\\\\\\y", "v1,v2"}},
            {"Models",
             3,
             {"Install,USB\\VID_0C6E&PID_0001", "Install,usb\\vid_0c6e&pid_0002&rev_0100",
              "Install,USB\\VID_0C6E&PID_0003"}},
            {"DestinationDirs",
             6,
             {"11", "10,TWAIN_32", "10,TWAIN_32\\", "10,ANext = 11", "ab",
              "10,twain_32\\Maker\\Model"}},
            {"Strings", 4, {"Quorin, Inc.", "Quorin Scanner", "  padded  ", "Quorin, Inc. again"}},
        });
}

TEST_F(InfContract, SubstitutesStringsAndDirectoryIds) {
    ExpectSections("lines.inf", {{"Substitutions",
                                  16,
                                  {"%Unknown%", "%", "100%", "  padded  ", "%Mfg% again",
                                   "Quorin, Inc.,Quorin, Inc.x", "C:\\windows", "C:\\windows\\x",
                                   "C:\\windows\\system32\\x", "C:\\windows\\inf\\x",
                                   "C:\\windows\\inf\\", "C:\\windows\\inf\\x", "C:\\\\x", "||",
                                   "C:\\windows\\system32\\unknown|C:\\windows\\system32\\unknown",
                                   "%32768%|C:\\windows|%10 %|%0x10%"}}});
}

TEST_F(InfContract, SectionsMatchInAnyCaseAndMerge) {
    const std::string longestName(255, 's');
    ExpectSections("merge.inf", {
                                    {"S", 2, {"a", "b"}},
                                    {"s", 2, {"a", "b"}},
                                    {"Empty", 0, {}},
                                    {"Missing", -1, {}},
                                    {"U", 1, {"one"}},  // the first of two [Strings] wins
                                    {longestName.c_str(), 1, {"longest name"}},
                                    {"Cut", 1, {"x"}},  // Ctrl-Z ends the file
                                    {"After", -1, {}},
                                });
}

TEST_F(InfContract, TextMustFitTheBufferWithItsTerminator) {
    ExpectSections("long.inf", {{"S",
                                 6,
                                 {std::string(259, 'x'), kFailed,
                                  std::string(200, 'a') + "," + std::string(58, 'b'), kFailed,
                                  kFailed, kFailed}},
                                {"T", 1, {kFailed}}});
    const std::unique_ptr<InfFile> file = Open("long.inf");
    ASSERT_NE(file, nullptr);
    // With room enough: a field is cut at 511 characters, a substituted one at 4097.
    EXPECT_EQ(Texts(*file, "S", 8192),
              (std::vector<std::string>{std::string(259, 'x'), std::string(260, 'x'),
                                        std::string(200, 'a') + "," + std::string(58, 'b'),
                                        std::string(200, 'a') + "," + std::string(59, 'b'),
                                        std::string(511, 'q'),
                                        std::string(300, 'A') + std::string(211, 'B')}));
    EXPECT_EQ(Texts(*file, "T", 8192),
              std::vector<std::string>{std::string(20, 'x') + std::string(4077, 'z')});
}

TEST_F(InfContract, NulCharactersAreBlanksInsideValues) {
    ExpectSections("nul_chars.inf", {{"S", 6, {"a b", " a", "a", "  x", "ab ", "a"}}});
}

// Every line of the section as its fields 0 (the key) to count + 1, each read into 260 bytes,
// kFailed for a field that could not be read; the count comes first.
std::vector<std::vector<std::string>> Fields(InfFile& file, const char* section) {
    std::vector<std::vector<std::string>> lines;
    InfLine line;
    for (bool more = file.FindFirstLine(section, &line); more; more = file.FindNextLine(&line)) {
        const std::uint32_t count = file.FieldCount(line);
        std::vector<std::string> fields{std::to_string(count)};
        for (std::uint32_t index = 0; index <= count + 1; ++index) {
            char text[kMaxPath] = {};
            fields.push_back(file.StringField(line, index, text, sizeof text) ? text : kFailed);
        }
        lines.push_back(fields);
    }
    return lines;
}

TEST_F(InfContract, FieldsAreSplitAtCommasWithTheKeyAsFieldZero) {
    const std::unique_ptr<InfFile> file = Open("models.inf");
    ASSERT_NE(file, nullptr);
    const std::string mfg = "Quorin, Inc.";
    const std::vector<std::vector<std::string>> manufacturer = {
        {"3", mfg, "Quorin", "NTx86", "NTamd64", kFailed},
        {"4", mfg, "Quorin", "NTx86.6.0", "NTamd64.10.0...16299", "NTarm64", kFailed},
        {"1", "Plain", "Plain", kFailed},
        {"2", mfg, "Quoted, Models", "NTamd64", kFailed},
        {"3", kFailed, "Quorin", "", "NTamd64", kFailed},
        {"1", "", "Quorin", kFailed},
        {"2", kFailed, "A", "B", kFailed},
        {"2", "%Missing%", "Models", "", kFailed},
    };
    EXPECT_EQ(Fields(*file, "Manufacturer"), manufacturer);
    const std::vector<std::vector<std::string>> models = {
        {"3", "Quorin QDelta 10 USB Scanner", "QDelta.Device.NTamd64", "USB\\VID_0C6E&PID_0010",
         "USB\\VID_0C6E&PID_0010&REV_0100", kFailed},
        {"1", "Quorin \"Q\" Scanner", "Install", kFailed},
    };
    EXPECT_EQ(Fields(*file, "quorin.ntamd64"), models);

    // A field must fit the buffer with its terminator.
    InfLine line;
    ASSERT_TRUE(file->FindFirstLine("Manufacturer", &line));
    char text[8] = {};
    EXPECT_TRUE(file->StringField(line, 1, text, 7));
    EXPECT_STREQ(text, "Quorin");
    EXPECT_FALSE(file->StringField(line, 1, text, 6));
}

TEST_F(InfContract, UnicodeFilesComeOutInTheAnsiCodePage) {
    const std::vector<std::string> texts = {"a,b,c", "caf\xE9,\x80\x99,?"};
    ExpectSections("utf16.inf", {{"CAF\xC9", 2, texts}, {"caf\xE9", -1, {}}});
    ExpectSections("utf16_no_mark.inf", {{"Caf\xC9", 2, texts}});
    ExpectSections("utf8.inf", {{"S", 1, {"caf\xE9 ?"}}});
}

}  // namespace
}  // namespace drvsweep
