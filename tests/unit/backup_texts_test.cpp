#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "removal/backup_manifest.h"

// The texts a backup is made of: the digest of each file, the .reg file of its keys and its
// manifest, each read back exactly as written, and what a damaged one comes to.
namespace drvsweep {
namespace {

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
