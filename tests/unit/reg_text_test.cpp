#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "removal/reg_text.h"

// The .reg file of the keys a removal deletes: what regedit would import, read back byte for
// byte, and what a damaged or foreign file comes to.
namespace drvsweep {
namespace {

using namespace std::string_literals;

// Code page 1252 in small: Latin-1 with 0x80 as the euro sign, 0x81 that it leaves undefined,
// and U+0100 that it holds only approximately (as 'A').
class Cp1252ish : public AnsiConversion {
public:
    bool AnsiToUtf16(const std::string& ansi, std::u16string* utf16) override {
        utf16->clear();
        for (const char c : ansi) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte == 0x81) {
                return false;
            }
            utf16->push_back(byte == 0x80 ? u'\u20AC' : byte);
        }
        return true;
    }
    bool Utf16ToAnsi(const std::u16string& utf16, std::string* ansi) override {
        ansi->clear();
        for (const char16_t c : utf16) {
            if (c == u'\u20AC' || c == u'\u0100') {
                ansi->push_back(c == u'\u0100' ? 'A' : '\x80');
            } else if (c > 0xFF || c == 0x80 || c == 0x81) {
                return false;
            } else {
                ansi->push_back(static_cast<char>(c));
            }
        }
        return true;
    }
};

std::string Utf16Le(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

const std::vector<RegTextKey> kKeys = {
    {"SOFTWARE\\Classes\\CLSID\\{5A1B0E3C-7F2D-4E8B-9C41-0A6E5D3B2F71}",
     {{"", 1, "Quorin \"S41\" \\ \xE9t\xE9 \x80\0"s}}},
    {"SOFTWARE\\Quorin\\Pr\xE9"
     "f\xE9rences",
     {{"Path", 2, "%SystemRoot%\\qrns41.dll\0"s},
      {"\xC9tat \"x\"", 1, "Both\0"s},
      {"Flags", 4, "\x0a\0\0\x80"s},
      {"Odd", 4, "\x01\x02"s},
      {"Blob", 3, std::string(200, '\x7f')},
      {"List", 7, "a\0b\xe9\0\0"s},
      {"NoNul", 1, "open"},
      {"Empty", 1, ""},
      {"Lines", 1, "a\r\nb\0"s},
      {"None", 0, ""},
      {"Huge type", 0xFFFFFFFF, std::string(3, '\x01')}}},
};

TEST(RegText, ReadsBackEveryValueInBothFormats) {
    Cp1252ish conversion;
    for (const RegTextFormat format : {RegTextFormat::Regedit4, RegTextFormat::Regedit5}) {
        std::string file;
        ASSERT_TRUE(WriteRegText(conversion, format, kKeys, &file));
        std::vector<RegTextKey> read;
        std::string error;
        ASSERT_TRUE(ReadRegText(conversion, file, &read, &error)) << error;
        ASSERT_EQ(read.size(), kKeys.size());
        for (std::size_t k = 0; k < kKeys.size(); ++k) {
            EXPECT_EQ(read[k].path, kKeys[k].path);
            ASSERT_EQ(read[k].values.size(), kKeys[k].values.size());
            for (std::size_t v = 0; v < kKeys[k].values.size(); ++v) {
                EXPECT_EQ(read[k].values[v].name, kKeys[k].values[v].name);
                EXPECT_EQ(read[k].values[v].type, kKeys[k].values[v].type);
                EXPECT_EQ(read[k].values[v].bytes, kKeys[k].values[v].bytes) << v;
            }
        }
    }
}

TEST(RegText, WritesAsRegeditDoes) {
    Cp1252ish conversion;
    const std::vector<RegTextKey> keys = {{"SOFTWARE\\Quorin",
                                           {{"", 1, "C:\\Q \"S41\"\0"s},
                                            {"Flags", 4, "\x0a\0\0\x80"s},
                                            {"Path", 2, "%a%\0"s},
                                            {"Blob", 3, std::string(50, '\x7f')}}},
                                          {"SOFTWARE\\Quorin\\\x93", {{"Dbcs", 1, "\x93\\\0"s}}}};
    // Hex lines of 77 columns and the backslash: 22 bytes after "Blob"=hex:, 25 after the indent.
    std::string bytes22;
    for (int i = 0; i < 22; ++i) {
        bytes22 += "7f,";
    }
    std::string file;
    ASSERT_TRUE(WriteRegText(conversion, RegTextFormat::Regedit4, keys, &file));
    EXPECT_EQ(file,
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorin]\r\n"
              "@=\"C:\\\\Q \\\"S41\\\"\"\r\n\"Flags\"=dword:8000000a\r\n"
              "\"Path\"=hex(2):25,61,25,00\r\n\"Blob\"=hex:" +
                  bytes22 + "\\\r\n  " + bytes22 +
                  "7f,7f,7f,\\\r\n  7f,7f,7f\r\n"
                  "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorin\\\x93]\r\n"
                  "\"Dbcs\"=hex(1):93,5c,00\r\n\r\n");
    ASSERT_TRUE(
        WriteRegText(conversion, RegTextFormat::Regedit5, {{"A", {keys[0].values[2]}}}, &file));
    EXPECT_EQ(file, Utf16Le(u"Windows Registry Editor Version 5.00\r\n\r\n"
                            u"[HKEY_LOCAL_MACHINE\\A]\r\n"
                            u"\"Path\"=hex(2):25,00,61,00,25,00,00,00\r\n\r\n"));
}

TEST(RegText, RefusesToWriteWhatWouldImportOtherwise) {
    Cp1252ish conversion;
    std::string file;
    const RegTextValue text{"Name", 1, "x\0"s};
    for (const std::vector<RegTextKey>& keys :
         std::vector<std::vector<RegTextKey>>{{{"", {text}}},
                                              {{"A\\\\B", {text}}},
                                              {{"A\r\nB", {text}}},
                                              {{"A", {{"two\nlines", 1, "x\0"s}}}}}) {
        EXPECT_FALSE(WriteRegText(conversion, RegTextFormat::Regedit4, keys, &file));
    }
    for (const std::vector<RegTextKey>& keys :
         std::vector<std::vector<RegTextKey>>{{{"A\x81", {text}}},
                                              {{"A", {{"\x81", 1, "x\0"s}}}},
                                              {{"A", {{"Name", 7, "a\0\x81\0\0"s}}}}}) {
        EXPECT_FALSE(WriteRegText(conversion, RegTextFormat::Regedit5, keys, &file));
        EXPECT_TRUE(WriteRegText(conversion, RegTextFormat::Regedit4, keys, &file));
    }
}

TEST(RegText, ReadsRegeditsOwnLayout) {
    Cp1252ish conversion;
    std::vector<RegTextKey> read;
    std::string error;
    ASSERT_TRUE(ReadRegText(conversion,
                            "; saved before removal \\\n\nREGEDIT4\n; a comment \\\n"
                            "[HKEY_LOCAL_MACHINE\\A]\n\"B\"=hex(2):4A,\\\n    42,00\n@=\"\"\n",
                            &read, &error))
        << error;
    ASSERT_EQ(read.size(), 1u);
    ASSERT_EQ(read[0].values.size(), 2u);
    EXPECT_EQ(read[0].values[0].bytes, "JB\0"s);
    EXPECT_EQ(read[0].values[1].bytes, "\0"s);
}

TEST(RegText, RefusesDamageNamingTheLine) {
    Cp1252ish conversion;
    const std::string head = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n";
    const struct {
        std::string file;
        const char* line;
    } cases[] = {
        {"REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n", "line 3:"},
        {"REGEDIT4\r\n[-HKEY_LOCAL_MACHINE\\A]\r\n", "line 2:"},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A\\\\B]\r\n", "line 2:"},
        {head + "\"x\"=-\r\n", "line 3:"},
        {"REGEDIT4\r\n\"x\"=\"y\"\r\n", "line 2:"},
        {head + "\"x\"=hex:0\r\n", "line 3:"},
        {head + "\"x\"=hex:00,\r\n", "line 3:"},
        {head + "\"x\"=hex:00,\\\r\n", "line 3:"},
        {head + "\"x\"=hex(1x):00\r\n", "line 3:"},
        {head + "\"x\"=dword:1234567\r\n", "line 3:"},
        {head + "\"x\"=\"y\r\n", "line 3:"},
        {head + "\"x\"=\"y\"z\r\n", "line 3:"},
        {head + "\"x\"\r\n", "line 3:"},
        {head + "\"x\"=\"a\rb\"\r\n", "line 3:"},
        {head + "\"x\"=\"a" + std::string(1, '\0') + "\"\r\n", "line 3:"},
        {"Windows Registry Editor Version 5.00\r\n", "line 1:"},
        {Utf16Le(u"REGEDIT4\r\n"), "line 1:"},
        {Utf16Le(u"Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\A]\r\n"
                 u"\"x\"=hex(1):41,00,42\r\n"),
         "line 3:"},
        {Utf16Le(u"Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\A]\r\n"
                 u"\"\u0100\"=dword:00000001\r\n"),
         "line 3:"},
        {"", "line 1:"},
    };
    for (const auto& c : cases) {
        std::vector<RegTextKey> read;
        std::string error;
        EXPECT_FALSE(ReadRegText(conversion, c.file, &read, &error)) << c.file;
        EXPECT_EQ(error.rfind(c.line, 0), 0u) << c.file << ": " << error;
    }
}

TEST(RegText, BoundsSizesAndSurvivesEveryCut) {
    Cp1252ish conversion;
    std::vector<RegTextKey> read;
    std::string error;
    const std::string head = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=hex:";
    std::string big = head + "00";
    for (std::size_t i = 0; i < 1024 * 1024; ++i) {
        big += ",00";
    }
    EXPECT_FALSE(ReadRegText(conversion, big, &read, &error));
    EXPECT_NE(error.find("1 MB"), std::string::npos) << error;
    EXPECT_FALSE(ReadRegText(conversion, std::string(16 * 1024 * 1024 + 1, ';'), &read, &error));

    for (const RegTextFormat format : {RegTextFormat::Regedit4, RegTextFormat::Regedit5}) {
        std::string file;
        ASSERT_TRUE(WriteRegText(conversion, format, kKeys, &file));
        for (std::size_t cut = 0; cut < file.size(); ++cut) {
            std::string damaged = file.substr(0, cut);
            ReadRegText(conversion, damaged, &read, &error);
            damaged = file;
            damaged[cut] = static_cast<char>(damaged[cut] ^ 0x5C);
            ReadRegText(conversion, damaged, &read, &error);
        }
    }
}

}  // namespace
}  // namespace drvsweep
