#include "platform/sim/reg_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_version.h"

namespace drvsweep::sim {
namespace {

// The same content in both formats: REGEDIT4 ANSI and Version 5.00 UTF-16LE, whose
// hex(2)/hex(7) bytes are UTF-16 text.
const char kBody[] =
    "; a comment\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n"
    "@=\"default\"\r\n"
    "\"Path\"=\"C:\\\\windows\\\\inf\"\r\n"
    "\"Quoted\" = \"say \\\"hi\\\"\" ; trailing comment\r\n"
    "\"Count\"=dword:1f\r\n"
    "\"Blob\"=hex:01,ab,\\\r\n"
    "  ff\r\n"
    "\"Empty\"=hex:\r\n"
    "\"Big\"=hex(b):01,00,00,00,00,00,00,00\r\n"
    "\"None\"=hex(0):\r\n";
const char kOtherRoot[] =
    "[HKEY_CURRENT_USER\\Software\\Wine]\r\n"
    "\"Version\"=\"win98\"\r\n";
const char kAnsiStrings[] =
    "\"Unterminated\"=hex(1):41,42\r\n"
    "\"Expand\"=hex(2):25,41,25,00\r\n"
    "\"Multi\"=hex(7):61,00,62,00,00\r\n";
const char kUnicodeStrings[] =
    "\"Unterminated\"=hex(1):41,00,42,00\r\n"
    "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\r\n"
    "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n";

std::string Utf16(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

class RegFileTest : public ::testing::Test {
protected:
    RegFileTest() : version(faults), registry(faults, version) {}

    void ExpectLoaded(const std::string& file) {
        std::string error;
        ASSERT_TRUE(LoadRegText(file, &registry, &error)) << error;
        const std::string key = "SOFTWARE\\test";
        EXPECT_EQ(Bytes(key, ""), std::string("default", 8));
        EXPECT_EQ(Bytes(key, "path"), std::string("C:\\windows\\inf", 15));
        EXPECT_EQ(Bytes(key, "Quoted"), std::string("say \"hi\"", 9));
        EXPECT_EQ(Type(key, "Count"), kRegDword);
        EXPECT_EQ(Bytes(key, "Count"), std::string("\x1f\0\0\0", 4));
        EXPECT_EQ(Type(key, "Blob"), kRegBinary);
        EXPECT_EQ(Bytes(key, "Blob"), "\x01\xab\xff");
        EXPECT_EQ(Bytes(key, "Empty"), "");
        EXPECT_EQ(Type(key, "Big"), kRegQword);
        EXPECT_EQ(Bytes(key, "Big"), std::string("\x01\0\0\0\0\0\0\0", 8));
        EXPECT_EQ(Type(key, "None"), kRegNone);
        EXPECT_EQ(Bytes(key, "Unterminated"), std::string("AB", 3)) << "regedit adds the NUL";
        EXPECT_EQ(Type(key, "Expand"), kRegExpandSz);
        EXPECT_EQ(Bytes(key, "Expand"), std::string("%A%", 4));
        EXPECT_EQ(Type(key, "Multi"), kRegMultiSz);
        EXPECT_EQ(Bytes(key, "Multi"), std::string("a\0b\0", 5));
        EXPECT_EQ(Bytes("Software\\Wine", "Version", RegistryRoot::CurrentUser),
                  std::string("win98", 6));
        EXPECT_FALSE(registry.KeyExists("Software\\Wine"));
    }

    std::string Bytes(const std::string& key, const std::string& name,
                      RegistryRoot root = RegistryRoot::LocalMachine) const {
        const std::optional<RegValue> value = registry.Value(key, name, root);
        return value ? value->bytes : "<missing>";
    }
    std::uint32_t Type(const std::string& key, const std::string& name) const {
        const std::optional<RegValue> value = registry.Value(key, name);
        return value ? value->type : 0xFFFFFFFF;
    }

    SimFaults faults;
    SimVersion version;
    SimRegistry registry;
};

TEST_F(RegFileTest, LoadsAnAnsiRegedit4File) {
    ExpectLoaded(std::string("REGEDIT4\r\n") + kBody + kAnsiStrings + kOtherRoot);
}

TEST_F(RegFileTest, LoadsAUtf16Version5FileWithUnixLineEnds) {
    std::string text = std::string("Windows Registry Editor Version 5.00\r\n") + kBody +
                       kUnicodeStrings + kOtherRoot;
    std::u16string unix;
    for (char c : text) {
        if (c != '\r') {
            unix += static_cast<char16_t>(c);
        }
    }
    ExpectLoaded(Utf16(unix));
}

TEST_F(RegFileTest, Utf16TextOutsideTheCodePageBecomesQuestionMarks) {
    std::string error;
    ASSERT_TRUE(
        LoadRegText(Utf16(u"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=\"caf\u00e9 \u4e2d\"\n"),
                    &registry, &error))
        << error;
    EXPECT_EQ(Bytes("K", "v"), std::string("caf\xE9 ?", 7));
}

TEST_F(RegFileTest, DeletionLinesRemoveKeysWithTheirSubkeysAndSingleValues) {
    registry.SetString("Old\\Deep\\Deeper", "x", "1");
    registry.SetString("Keep", "gone", "1");
    registry.SetString("Keep", "stays", "1");
    std::string error;
    ASSERT_TRUE(
        LoadRegText("REGEDIT4\n[-HKEY_LOCAL_MACHINE\\Old]\n[-HKEY_LOCAL_MACHINE\\Never]\n"
                    "[HKEY_LOCAL_MACHINE\\Keep]\n\"gone\"=-\n\"never\"=-\n",
                    &registry, &error))
        << error;
    EXPECT_FALSE(registry.KeyExists("Old"));
    EXPECT_FALSE(registry.Value("Keep", "gone"));
    EXPECT_TRUE(registry.Value("Keep", "stays"));
}

TEST_F(RegFileTest, MalformedLinesAreReportedAndChangeNothing) {
    const struct {
        const char* text;
        const char* line;
    } kCases[] = {
        {"REGEDIT5\n", "line 1"},
        {"REGEDIT4\n\"v\"=\"outside a key\"\n", "line 2"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K\n", "line 2"},
        {"REGEDIT4\n[HKLM\\K]\n", "line 2"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\\\K]\n", "line 2"},
        {"REGEDIT4\n[-HKEY_LOCAL_MACHINE]\n", "line 2"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=\"a\\qb\"\n", "line 3"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=\"open\n", "line 3"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=\"x\"junk\n", "line 3"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=dword:123456789\n", "line 3"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=DWORD:1\n", "line 3"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=hex: 01 , 02\n", "line 3"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=hex:01,zz\n", "line 3"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=hex:01,\\", "line 3"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=hex(x):01\n", "line 3"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"v\" \"x\"\n", "line 3"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\nv=\"x\"\n", "line 3"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=-x\n", "line 3"},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=hex(2):41\n",
         "line 3"},
    };
    for (const auto& malformed : kCases) {
        SCOPED_TRACE(malformed.text);
        std::string error;
        EXPECT_FALSE(LoadRegText(malformed.text, &registry, &error));
        EXPECT_EQ(error.rfind(malformed.line + std::string(":"), 0), 0u) << error;
        EXPECT_FALSE(registry.KeyExists("K"));
    }
}

TEST_F(RegFileTest, AMissingFileIsAnError) {
    std::string error;
    EXPECT_FALSE(LoadRegFile("/nonexistent/machine.reg", &registry, &error));
    EXPECT_NE(error.find("/nonexistent/machine.reg"), std::string::npos);
}

}  // namespace
}  // namespace drvsweep::sim
