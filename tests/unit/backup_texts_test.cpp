#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "removal/backup_manifest.h"
#include "removal/reg_text.h"

// The texts a backup is made of: the digest of each file, the .reg file of its keys and its
// manifest, each read back exactly as written, and what a damaged one comes to.
namespace drvsweep {
namespace {

// Code page 1252's upper half taken as Latin-1, and U+4E00 that it cannot hold.
class Latin1 : public AnsiConversion {
public:
    bool AnsiToUtf16(const std::string& ansi, std::u16string* utf16) override {
        utf16->clear();
        for (const char c : ansi) {
            utf16->push_back(static_cast<unsigned char>(c));
        }
        return true;
    }
    bool Utf16ToAnsi(const std::u16string& utf16, std::string* ansi) override {
        ansi->clear();
        for (const char16_t c : utf16) {
            if (c > 0xFF) {
                return false;
            }
            ansi->push_back(static_cast<char>(c));
        }
        return true;
    }
};

TEST(BackupTexts, RegFilesReadBackEveryValueInBothFormats) {
    const std::vector<RegTextKey> keys = {
        {"Software\\Classes\\CLSID\\{5A1B0E3C-7F2D-4E8B-9C41-0A6E5D3B2F71}",
         {{"", 1, std::string("Quorin \"S41\" \\ \xE9t\xE9\0", 20)}}},
        {"Software\\Classes\\CLSID\\{5A1B0E3C-7F2D-4E8B-9C41-0A6E5D3B2F71}\\InProcServer32",
         {{"", 2, std::string("%SystemRoot%\\qrns41.dll\0", 24)},
          {"ThreadingModel", 1, std::string("Both\0", 5)},
          {"Flags", 4, std::string("\x0a\0\0\x80", 4)},
          {"Odd", 4, std::string("\x01\x02", 2)},
          {"Blob", 3, std::string(60, '\x7f')},
          {"List", 7, std::string("a\0b\xe9\0\0", 6)},
          {"NoNul", 1, "open"},
          {"Lines", 1, std::string("a\r\nb\0", 5)},
          {"Big", 11, std::string(8, '\x01')}}},
    };
    Latin1 latin1;
    for (const RegTextFormat format : {RegTextFormat::Regedit4, RegTextFormat::Regedit5}) {
        std::string file;
        ASSERT_TRUE(WriteRegText(latin1, format, keys, &file));
        std::vector<RegTextKey> read;
        std::string error;
        ASSERT_TRUE(ReadRegText(latin1, file, &read, &error)) << error;
        ASSERT_EQ(read.size(), keys.size());
        for (std::size_t k = 0; k < keys.size(); ++k) {
            EXPECT_EQ(read[k].path, keys[k].path);
            ASSERT_EQ(read[k].values.size(), keys[k].values.size());
            for (std::size_t v = 0; v < keys[k].values.size(); ++v) {
                EXPECT_EQ(read[k].values[v].name, keys[k].values[v].name);
                EXPECT_EQ(read[k].values[v].type, keys[k].values[v].type);
                EXPECT_EQ(read[k].values[v].bytes, keys[k].values[v].bytes)
                    << keys[k].values[v].name;
            }
        }
    }
    std::string file;
    ASSERT_TRUE(WriteRegText(latin1, RegTextFormat::Regedit4, keys, &file));
    EXPECT_EQ(file.rfind("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\", 0), 0u);
    EXPECT_NE(file.find("\"Flags\"=dword:800000", 0), std::string::npos);
    EXPECT_NE(file.find("\"ThreadingModel\"=\"Both\""), std::string::npos);

    // What regedit would do otherwise, or could not be read, is refused with its line.
    std::vector<RegTextKey> read;
    std::string error;
    for (const char* bad :
         {"REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n",
          "REGEDIT4\r\n[-HKEY_LOCAL_MACHINE\\A]\r\n",
          "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=-\r\n", "REGEDIT4\r\n\"x\"=\"y\"\r\n",
          "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=hex:0\r\n", "Not a registry file\r\n"}) {
        EXPECT_FALSE(ReadRegText(latin1, bad, &read, &error)) << bad;
        EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
    }
}

TEST(BackupTexts, ManifestsReadBackByteForByteAndRefuseDamage) {
    BackupManifest m;
    m.toolVersion = "1.0.0";
    m.created = "2026-12-10T22:00:00Z";
    m.family = "nt";
    m.codePage = 950;
    m.programBits = 64;
    m.windowsFolder = "C:\\Windows";
    m.devicePath = "USB\\VID_0C6E&PID_0410";
    m.description = "Quorin \xb1\xbd\xb4y\xbb\xf6 \"S41\"";
    m.regFile = "registry.reg";
    m.items = {{"driverFile", "C:\\Windows\\system32\\qrns41.dll", ""}};
    m.files = {{"windows\\system32\\qrns41.dll", "C:\\Windows\\system32\\qrns41.dll", 12,
                std::string(64, 'a')}};
    m.folders = {"C:\\Windows\\twain_32\\Quorin\\\xa5\\"};
    m.keys = {{"SOFTWARE\\WOW6432Node\\Classes\\CLSID\\{X}", "wow32"}};
    m.packages = {{"C:\\Windows\\INF\\oem41.inf", "packages\\oem41", "s41.inf"}};
    const std::string json = ManifestToJson(m);
    for (const char c : json) {
        EXPECT_LT(static_cast<unsigned char>(c), 0x80);
    }
    BackupManifest read;
    std::string error;
    ASSERT_TRUE(ManifestFromJson(json, &read, &error)) << error;
    EXPECT_EQ(read.description, m.description);
    EXPECT_EQ(read.folders, m.folders);
    EXPECT_EQ(read.files[0].size, 12u);
    EXPECT_EQ(read.keys[0].view, "wow32");
    EXPECT_EQ(read.packages[0].inf, "s41.inf");

    for (const std::string& bad :
         {json.substr(0, json.size() / 2), std::string("{\"tool\": \"\\u0100\"}"),
          std::string(40, '[') + std::string(40, ']'),
          std::string("{\"tool\": \"DrvSweep\", \"tool\": \"DrvSweep\"}"),
          std::string("{\"tool\": \"DrvSweep\"}")}) {
        EXPECT_FALSE(ManifestFromJson(bad, &read, &error)) << bad;
        EXPECT_FALSE(error.empty());
    }
    std::string shortDigest = json;
    shortDigest.replace(shortDigest.find(std::string(64, 'a')), 64, std::string(63, 'a'));
    EXPECT_FALSE(ManifestFromJson(shortDigest, &read, &error));
}

}  // namespace
}  // namespace drvsweep
