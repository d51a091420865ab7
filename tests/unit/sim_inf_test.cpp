#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/fixed_text.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_inf.h"

// The expected texts below were read from Wine 8.0's SetupGetLineTextA with the same files.
namespace drvsweep::sim {
namespace {

using namespace std::string_literals;

constexpr char kHeader[] = "[Version]\r\nSignature=\"$CHICAGO$\"\r\n";
constexpr char kFailed[] = "<failed>";

std::string Utf16(const std::u16string& text, bool byteOrderMark) {
    std::string bytes = byteOrderMark ? "\xFF\xFE" : "";
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

class SimInfTest : public ::testing::Test {
protected:
    std::unique_ptr<InfFile> Open(const std::string& bytes) {
        files_["C:\\windows\\inf\\test.inf"] = bytes;
        return inf_.OpenWin4("C:\\windows\\inf\\test.inf");
    }

    // Every line text of the section, read into `size` bytes; kFailed for a failed read.
    static std::vector<std::string> Texts(InfFile& file, const char* section,
                                          std::uint32_t size = kMaxPath) {
        std::vector<std::string> texts;
        InfLine line;
        for (bool more = file.FindFirstLine(section, &line); more;
             more = file.FindNextLine(&line)) {
            std::vector<char> text(size + 1, 'Z');
            texts.push_back(file.LineText(line, text.data(), size) ? text.data() : kFailed);
        }
        return texts;
    }

    std::map<std::string, std::string> files_;
    SimFaults faults_;
    SimVersion version_{faults_};
    SimInfFiles inf_{[this](const std::string& path, std::string* bytes) {
                         const auto found = files_.find(path);
                         if (found == files_.end()) {
                             return false;
                         }
                         *bytes = found->second;
                         return true;
                     },
                     faults_, version_};
};

TEST_F(SimInfTest, OpensOnlyFilesWithAWin4Signature) {
    const std::string section256 = "[" + std::string(256, 's') + "]\r\n";
    const struct {
        const char* name;
        std::string bytes;
        bool opens;
    } cases[] = {
        {"empty file", "", false},
        {"no [Version]", "[Strings]\r\nA=1\r\n", false},
        {"no Signature", "[Version]\r\nClass=Image\r\n", false},
        {"other signature", "[Version]\r\nSignature=\"$Windows 2000$\"\r\n", false},
        {"Signature without value", "[Version]\r\nSignature\r\n", false},
        {"signature from [Strings]", "[Version]\r\nSignature=%S%\r\n[Strings]\r\nS=$CHICAGO$\r\n",
         false},
        {"$CHICAGO$", kHeader, true},
        {"lower case", "[version]\r\nsignature = $chicago$ ; c\r\n", true},
        {"$Windows NT$", "[Version]\r\nSignature=\"$Windows NT$\"\r\n", true},
        {"$Windows 95$ with more fields", "[Version]\r\nSignature=$Windows 95$,x\r\n", true},
        {"signature in a second [Version]", "[Version]\r\nA=1\r\n[VERSION]\r\nSignature=$CHICAGO$",
         true},
        {"blank around the section name", "[ Version ]\r\nSignature=$CHICAGO$\r\n", false},
        {"text before the first section", std::string("junk=1\r\n") + kHeader, false},
        {"comment before the first section", std::string("; c\r\n\r\n") + kHeader, true},
        {"section name without ]", std::string(kHeader) + "[Open\r\nx\r\n", false},
        {"section name of 255", std::string(kHeader) + "[" + std::string(255, 's') + "]", true},
        {"section name of 256", std::string(kHeader) + section256, false},
        {"binary", "\x01\x02\xfe\x7f\x80\x00\x13"s, false},
        {"UTF-16LE with mark", Utf16(u"[Version]\r\nSignature=$CHICAGO$\r\n", true), true},
        {"UTF-16LE without mark", Utf16(u"[Version]\r\nSignature=$CHICAGO$\r\n", false), true},
        {"UTF-16LE with a NUL", Utf16(u"[Version]\r\nSignature=$CHICAGO$\r\n;\0\r\n"s, true),
         false},
        {"UTF-16BE", "\xFE\xFF" + Utf16(u"\u5B00\u5600", false), false},
        {"even ANSI with a NUL, read as UTF-16", kHeader + "[S]\r\nx\0y\r\n"s, false},
        {"UTF-8 with mark", std::string("\xEF\xBB\xBF") + kHeader, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Open(c.bytes) != nullptr, c.opens);
    }
    EXPECT_EQ(inf_.openCount(), 0);
}

TEST_F(SimInfTest, BareNamesAreLookedForInInfThenSystem32) {
    files_["C:\\windows\\system32\\b.inf"] = std::string(kHeader) + "[S]\r\nsystem32\r\n";
    files_["C:\\work\\c.inf"] = kHeader;
    const std::unique_ptr<InfFile> fromSystem = inf_.OpenWin4("b.inf");
    ASSERT_NE(fromSystem, nullptr);
    EXPECT_EQ(Texts(*fromSystem, "S"), std::vector<std::string>{"system32"});
    files_["C:\\windows\\inf\\b.inf"] = std::string(kHeader) + "[S]\r\ninf\r\n";
    const std::unique_ptr<InfFile> fromInf = inf_.OpenWin4("b.inf");
    ASSERT_NE(fromInf, nullptr);
    EXPECT_EQ(Texts(*fromInf, "S"), std::vector<std::string>{"inf"});
    EXPECT_EQ(inf_.OpenWin4("c.inf"), nullptr);
    EXPECT_EQ(inf_.OpenWin4("C:\\windows\\inf\\missing.inf"), nullptr);
}

TEST_F(SimInfTest, LineTextsAreTheValueFieldsJoinedByCommas) {
    const struct {
        std::string line;
        const char* text;
    } cases[] = {
        {"%Mfg%=Models", "Models"},
        {"%Mfg%=Models,NTx86", "Models,NTx86"},
        {"JustText", "JustText"},
        {"k = a , \"b,c\" ; note", "a,b,c"},
        {"  spaced   words  here  ", "spaced   words  here"},
        {"empty=", ""},
        {"=novalue", "novalue"},
        {"a,b=c", "a,b=c"},
        {"a,,b", "a,,b"},
        {"\"a\"\"b\"", "a\"b"},
        {"\"unterminated", "unterminated\r"},
        {"a \"b\" c", "a b c"},
        {"x \\ y", "x \\ y"},
        {"x\\\\\\\\y", "x\\\\\\\\y"},
        {"Tw = 10,TWAIN_32\\\r\n", "10,TWAIN_32"},
        {"Q = 10,\"TWAIN_32\\\"", "10,TWAIN_32\\"},
        {"J = 10,A\\\r\nNext = 11", "10,ANext = 11"},
        {"K = a\\ ; comment\r\n  b", "ab"},
        {"N=a\0b"s, "a b"},
        {"N=\0a"s, " a"},
        {"N=a \0"s, "a"},
        {"\0\0x"s, "  x"},
        {"tab\t=\tv1\t,\tv2\t", "v1,v2"},
        {"%Unknown%", "%Unknown%"},
        {"%%", "%"},
        {"100%", "100%"},
        {"%Quoted%", "  padded  "},
        {"%Nested%", "%Mfg% again"},
        {"%MFG%,%Mfg%x", "Quorin, Inc.,Quorin, Inc.x"},
        {"%10%", "C:\\windows"},
        {"%11%\\x", "C:\\windows\\system32\\x"},
        {"%1%", "C:\\windows\\inf\\"},
        {"%1%\\x", "C:\\windows\\inf\\x"},
        {"%24%\\\\x", "C:\\\\x"},
        {"%-1%|%0%|%65535%", "||"},
        {"%99%|%16448%", "C:\\windows\\system32\\unknown|C:\\windows\\system32\\unknown"},
        {"%32768%|% 10%|%10 %|%0x10%", "%32768%|C:\\windows|%10 %|%0x10%"},
    };
    std::string bytes = std::string(kHeader) + "[S]\r\n";
    for (const auto& c : cases) {
        bytes += c.line + "\r\n";
    }
    bytes += "[Strings]\r\nMfg=\"Quorin, Inc.\"\r\nQuoted = \"  padded  \"\r\n";
    bytes += "Nested = \"%Mfg% again\"\r\n";
    if (bytes.size() % 2 == 0) {
        bytes += ' ';  // with its NULs, a file of even length would be taken for UTF-16
    }
    const std::unique_ptr<InfFile> file = Open(bytes);
    ASSERT_NE(file, nullptr);
    const std::vector<std::string> texts = Texts(*file, "S");
    ASSERT_EQ(texts.size(), std::size(cases));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(cases[i].line);
        EXPECT_EQ(texts[i], cases[i].text);
    }
}

TEST_F(SimInfTest, SectionsMatchInAnyCaseAndMerge) {
    const std::unique_ptr<InfFile> file = Open(std::string(kHeader) +
                                               "[S]\r\na\r\n[Empty]\r\n[s]\r\nb\r\n[Strings]\r\n"
                                               "K=one\r\n[strings]\r\nK=two\r\n[U]\r\n%K%\r\n"
                                               "[Cut]\r\nx\x1Ay\r\n[After]\r\nz\r\n");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->LineCount("s"), 2);
    EXPECT_EQ(Texts(*file, "S"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Texts(*file, "U"), std::vector<std::string>{"one"});
    EXPECT_EQ(file->LineCount("Empty"), 0);
    EXPECT_EQ(file->LineCount("Missing"), -1);
    InfLine line;
    EXPECT_FALSE(file->FindFirstLine("Empty", &line));
    EXPECT_FALSE(file->FindFirstLine("Missing", &line));
    EXPECT_EQ(Texts(*file, "Cut"), std::vector<std::string>{"x"});  // Ctrl-Z ends the file
    EXPECT_EQ(file->LineCount("After"), -1);
}

TEST_F(SimInfTest, TextMustFitWholeWithItsTerminator) {
    const std::string long260(260, 'x');
    const std::unique_ptr<InfFile> file =
        Open(std::string(kHeader) + "[S]\r\n" + std::string(259, 'x') + "\r\n" + long260 +
             "\r\nk=" + std::string(200, 'a') + "," + std::string(58, 'b') + "\r\n\"" +
             std::string(600, 'q') + "\"\r\n[T]\r\n" + std::string(20, 'x') +
             "%Big%%Big%%Big%%Big%%Big%%Big%%Big%%Big%%Big%\r\n[Strings]\r\nBig=" +
             std::string(500, 'z') + "\r\n");
    ASSERT_NE(file, nullptr);
    const std::vector<std::string> texts = Texts(*file, "S");
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], std::string(259, 'x'));
    EXPECT_EQ(texts[1], kFailed);
    EXPECT_EQ(texts[2].size(), 259u);
    EXPECT_EQ(texts[3], kFailed);
    EXPECT_EQ(Texts(*file, "S", 8192)[3], std::string(511, 'q'));  // fields are cut at 511
    EXPECT_EQ(Texts(*file, "T", 8192)[0], std::string(20, 'x') + std::string(4077, 'z'));
}

TEST_F(SimInfTest, TextsComeOutInTheAnsiCodePage) {
    const std::unique_ptr<InfFile> wide = Open(Utf16(
        u"[Version]\r\nSignature=$CHICAGO$\r\n[Caf\u00C9]\r\nk=caf\u00E9,\u20AC\u2122,\u4E2D\r\n",
        true));
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(Texts(*wide, "CAF\xC9"), std::vector<std::string>{"caf\xE9,\x80\x99,?"});
    EXPECT_EQ(wide->LineCount("caf\xE9"), -1);  // only ASCII letters match in any case
    const std::unique_ptr<InfFile> utf8 =
        Open(std::string("\xEF\xBB\xBF") + kHeader + "[S]\r\ncaf\xC3\xA9 \xE4\xB8\xAD\r\n");
    ASSERT_NE(utf8, nullptr);
    EXPECT_EQ(Texts(*utf8, "S"), std::vector<std::string>{"caf\xE9 ?"});
    const std::unique_ptr<InfFile> ansi =
        Open(std::string(kHeader) + "[S]\r\nk=\x80\x81\x85\x9F\xA0x\xA0\xFF\r\n");
    ASSERT_NE(ansi, nullptr);
    EXPECT_EQ(Texts(*ansi, "S"), std::vector<std::string>{"\x80\x81\x85\x9F\xA0x\xA0\xFF"});
}

TEST_F(SimInfTest, EveryCallCanBeMadeToFail) {
    files_["C:\\windows\\inf\\a.inf"] = std::string(kHeader) + "[S]\r\none\r\ntwo\r\n";
    faults_.Add({"SetupOpenInfFileA", "a.inf", 5, 0, 1});
    EXPECT_EQ(inf_.OpenWin4("C:\\windows\\inf\\a.inf"), nullptr);
    std::unique_ptr<InfFile> file = inf_.OpenWin4("C:\\windows\\inf\\a.inf");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(inf_.openCount(), 1);

    faults_.Add({"SetupGetLineCountA", "a.inf:S", 5, 0, 1});
    faults_.Add({"SetupFindFirstLineA", ":S", 5, 0, 1});
    faults_.Add({"SetupGetLineTextA", "a.inf", 5, 1, 1});
    faults_.Add({"SetupFindNextLine", "a.inf", 5, 0, 1});
    EXPECT_EQ(file->LineCount("S"), -1);
    EXPECT_EQ(file->LineCount("S"), 2);
    InfLine line;
    EXPECT_FALSE(file->FindFirstLine("S", &line));
    ASSERT_TRUE(file->FindFirstLine("S", &line));
    PathText text;
    EXPECT_TRUE(file->LineText(line, text.data(), kMaxPath));
    EXPECT_FALSE(file->LineText(line, text.data(), kMaxPath));
    EXPECT_FALSE(file->FindNextLine(&line));
    ASSERT_TRUE(file->FindNextLine(&line));
    ASSERT_TRUE(file->LineText(line, text.data(), kMaxPath));
    EXPECT_STREQ(text.c_str(), "two");
    EXPECT_EQ(faults_.calls().front(), "SetupOpenInfFileA C:\\windows\\inf\\a.inf");
    EXPECT_EQ(faults_.calls()[2], "SetupGetLineCountA C:\\windows\\inf\\a.inf:S");

    // A context of another file is not this file's line.
    const std::unique_ptr<InfFile> other = Open(std::string(kHeader) + "[S]\r\nother\r\n");
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(other->LineText(line, text.data(), kMaxPath));
    EXPECT_FALSE(other->FindNextLine(&line));
    EXPECT_EQ(inf_.openCount(), 2);
    file.reset();
    EXPECT_EQ(inf_.openCount(), 1);
}

TEST_F(SimInfTest, ReadsHugeFiles) {
    std::string bytes = std::string(kHeader) + "[S]\r\n";
    for (int i = 0; i < 200000; ++i) {
        bytes += "Line" + std::to_string(i) + " = " + std::to_string(i) + ",usb\\vid_0c6e\r\n";
    }
    const std::unique_ptr<InfFile> file = Open(bytes);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->LineCount("S"), 200000);
    InfLine line;
    ASSERT_TRUE(file->FindFirstLine("S", &line));
    line.line = 199999;
    PathText text;
    ASSERT_TRUE(file->LineText(line, text.data(), kMaxPath));
    EXPECT_STREQ(text.c_str(), "199999,usb\\vid_0c6e");
    EXPECT_FALSE(file->FindNextLine(&line));
}

}  // namespace
}  // namespace drvsweep::sim
