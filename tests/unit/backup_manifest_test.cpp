#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "removal/backup_manifest.h"

// The manifest of a backup: every text read back byte for byte whatever the code page, and
// every damaged or foreign manifest refused, never crashed on.
namespace drvsweep {
namespace {

BackupManifest Sample() {
    BackupManifest m;
    m.toolVersion = "1.0.0";
    m.created = "2026-12-10T22:00:00Z";
    m.family = "nt";
    m.codePage = 950;
    m.programBits = 64;
    m.windowsFolder = "C:\\Windows";
    m.devicePath = "USB\\VID_0C6E&PID_0410\\5&1A2B3C4D&0&2";
    m.description = "Quorin \xb1\xbd\xb4y\xbb\xf6 \"S41\"";
    m.scannerInf = "C:\\Windows\\INF\\oem41.inf";
    m.regFile = "registry.reg";
    m.items = {{"driverFile", "C:\\Windows\\system32\\qrns41.dll", ""},
               {"comClassKey", "SOFTWARE\\Classes\\CLSID\\{X}", "wow32"}};
    m.files = {{"windows\\system32\\qrns41.dll", "C:\\Windows\\system32\\qrns41.dll", 12,
                std::string(64, 'a')},
               {"packages\\oem41\\s41.cat", "", 18446744073709551615ull, std::string(64, '0')}};
    m.folders = {"C:\\Windows\\twain_32\\Quorin\\\xa5\\"};
    m.keys = {{"SOFTWARE\\WOW6432Node\\Classes\\CLSID\\{X}", "wow32"}};
    m.packages = {{"C:\\Windows\\INF\\oem41.inf", "packages\\oem41", "s41.inf"}};
    return m;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(BackupManifest, EveryByteReadsBackFromAsciiText) {
    BackupManifest m = Sample();
    for (int b = 0; b < 256; ++b) {
        m.description.push_back(static_cast<char>(b));
    }
    m.family = "9x";
    m.programBits = 32;
    const std::string json = ManifestToJson(m);
    EXPECT_EQ(json.rfind("{\r\n  \"tool\": \"DrvSweep\",\r\n  \"toolVersion\": \"1.0.0\",\r\n", 0),
              0u);
    EXPECT_NE(json.find("\\u00b1\\u00bd"), std::string::npos);
    EXPECT_NE(json.find("\\u0000\\u0001"), std::string::npos);
    for (std::size_t i = 0; i < json.size(); ++i) {
        ASSERT_TRUE((json[i] >= 0x20 && json[i] < 0x7F) ||
                    (json[i] == '\r' && json[i + 1] == '\n') ||
                    (json[i] == '\n' && json[i - 1] == '\r'))
            << i;
    }
    BackupManifest read;
    std::string error;
    ASSERT_TRUE(ManifestFromJson(json, &read, &error)) << error;
    EXPECT_EQ(ManifestToJson(read), json);
    EXPECT_EQ(read.description, m.description);
    EXPECT_EQ(read.files[1].size, m.files[1].size);
    EXPECT_EQ(read.codePage, 950u);
    EXPECT_EQ(read.programBits, 32);
}

TEST(BackupManifest, ReadsAnyLayoutOfTheSameMembers) {
    const std::string sha = "\"" + std::string(64, 'f') + "\"";
    const std::string json =
        "{\"regFile\":\"\",\"tool\":\"DrvSweep\",\"toolVersion\":\"1\",\"created\":\"t\","
        "\"family\":\"nt\",\"codePage\":0,\"programBits\":64,\"windowsFolder\":\"C:\\/W\","
        "\"devicePath\":\"a\\tb\\nc\",\"description\":\"\\u00E9\",\"scannerInf\":\"\","
        "\"later\":{\"x\":[true,false,null,1]},\"items\":[],\"folders\":[],\"keys\":[],"
        "\"packages\":[],\"files\":[{\"sha256\":" +
        sha + ",\"size\":0,\"original\":\"\",\"stored\":\"s\",\"more\":null}]}";
    BackupManifest read;
    std::string error;
    ASSERT_TRUE(ManifestFromJson(json, &read, &error)) << error;
    EXPECT_EQ(read.windowsFolder, "C:/W");
    EXPECT_EQ(read.devicePath, "a\tb\nc");
    EXPECT_EQ(read.description, "\xe9");
    EXPECT_EQ(read.files.size(), 1u);
}

// A list of `count` values: the list and its zeros.
std::string ManyValues(int count) {
    std::string list = "[0";
    for (int i = 2; i < count; ++i) {
        list += ",0";
    }
    return list + "]";
}

TEST(BackupManifest, RefusesDamageSayingWhat) {
    const std::string json = ManifestToJson(Sample());
    const std::string digest = std::string(64, 'a');
    const struct {
        std::string json;
        const char* says;
    } cases[] = {
        {"", "ends early"},
        {Replaced(json, "1.0.0", "\\u0100"), "above 00FF"},
        {Replaced(json, "1.0.0", "\\u00g0"), "cannot be read"},
        {Replaced(json, "1.0.0", "\\u00"), "cannot be read"},
        {Replaced(json, "1.0.0", "\\x41"), "escape"},
        {Replaced(json, "1.0.0", "\xe9"), "\\u00XX"},
        {Replaced(json, "1.0.0", "\t"), "\\u00XX"},
        {Replaced(json, "\"nt\"", "\"nt\", \"family\": \"nt\""), "twice"},
        {Replaced(json, "\"DrvSweep\"", "\"Other\""), "not one of DrvSweep's"},
        {Replaced(json, "\"nt\"", "\"xp\""), "not one of DrvSweep's"},
        {Replaced(json, "64,", "16,"), "not one of DrvSweep's"},
        {Replaced(json, "950", "65536"), "not one of DrvSweep's"},
        {Replaced(json, "950", "0950"), "leading zero"},
        {Replaced(json, "950", "-950"), "no value"},
        {Replaced(json, "950", "99999999999999999999"), "too large"},
        {Replaced(json, "\"created\"", "\"made\""), "\"created\""},
        {Replaced(json, "12,", "\"12\","), "\"size\""},
        {Replaced(json, digest, std::string(63, 'a')), "SHA-256"},
        {Replaced(json, digest, std::string(64, 'A')), "SHA-256"},
        {Replaced(json, R"(WOW6432Node\\Classes\\CLSID\\{X}", "view": "wow32")",
                  R"(WOW6432Node\\Classes\\CLSID\\{X}", "view": "")"),
         "neither native nor wow32"},
        {Replaced(json, "\"\"}", "\"both\"}"), "neither native nor wow32"},
        {Replaced(json, "\"folders\": [", "\"folders\": [1, "), "no text"},
        {Replaced(json, "\"packages\": [", "\"packages\": [1, "), "no object"},
        {Replaced(json, "\"packages\": [", "\"packages\": [{},"), "\"infPath\""},
        {json + "}", "after the end"},
        {"[]", "no object"},
        {"{\"a\" 1}", "colon"},
        {"{1: 1}", "without a name"},
        {"{\"a\": [1 2]}", "does not end"},
        {std::string(18, '[') + std::string(18, ']'), "too deep"},
        {std::string(17, '[') + std::string(17, ']'), "no object"},
        {ManyValues(1000000), "no object"},
        {ManyValues(1000001), "too many values"},
        {"{\"x\": \"" + std::string(8 * 1024 * 1024, 'a') + "\"}", "over 8 MB"},
    };
    for (const auto& c : cases) {
        BackupManifest read;
        std::string error;
        EXPECT_FALSE(ManifestFromJson(c.json, &read, &error)) << c.json.substr(0, 200);
        EXPECT_NE(error.find(c.says), std::string::npos) << c.says << ": " << error;
    }
}

// What a damaged file can hold: every cut and a changed byte anywhere is refused or read as a
// manifest that writes back to itself.
TEST(BackupManifest, SurvivesEveryCutAndChangedByte) {
    const std::string json = ManifestToJson(Sample());
    BackupManifest read;
    std::string error;
    for (std::size_t at = 0; at < json.size(); ++at) {
        EXPECT_EQ(ManifestFromJson(json.substr(0, at), &read, &error), at > json.rfind('}')) << at;
        for (const char c : {'"', '\\', '{', ']', '0', 'u', ' ', '\x80'}) {
            std::string changed = json;
            changed[at] = c;
            if (ManifestFromJson(changed, &read, &error)) {
                BackupManifest again;
                ASSERT_TRUE(ManifestFromJson(ManifestToJson(read), &again, &error)) << error;
                EXPECT_EQ(ManifestToJson(again), ManifestToJson(read));
            }
        }
    }
}

}  // namespace
}  // namespace drvsweep
