#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32_codes.h"
#include "tests/support/test_machine.h"

// What the platform writes, over the simulated Windows and over Wine's, on the scenario
// contract_platform_writes: 64-bit Windows 7 as Wine's prefix is, a log folder with a folder
// inside, a driver package waiting to be staged and HKLM\SOFTWARE\Quorin. Where Wine answers
// otherwise than Windows, docs/wine-facts.md says how, and the test expects Wine's answer under
// Wine. Each test works on its own folders and keys: under Wine they share the prefix.
namespace drvsweep {
namespace {

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;

const std::string kData = "C:\\windows\\QuorinData\\";

class PlatformWritesContract : public ::testing::Test {
protected:
    void SetUp() override { machine_ = testing::OpenScenarioMachine(); }

    Platform& platform() { return machine_->platform(); }

    bool Exists(const std::string& path) {
        FoundFile found;
        return platform().files.FindFirst(path.c_str(), &found) != nullptr;
    }

    std::string Read(const std::string& path) {
        std::string bytes;
        EXPECT_EQ(platform().files.ReadWholeFile(path.c_str(), 4096, &bytes), FileRead::Read)
            << path;
        return bytes;
    }

private:
    std::unique_ptr<testing::TestMachine> machine_;
};

TEST_F(PlatformWritesContract, FoldersAreMadeAndMovedWithWhatTheyHold) {
    FileSystem& files = platform().files;
    EXPECT_TRUE(files.MakeFolder((kData + "Reports").c_str()));
    EXPECT_FALSE(files.MakeFolder((kData + "Reports").c_str())) << "the name is taken";
    EXPECT_FALSE(files.MakeFolder((kData + "Missing\\Reports").c_str())) << "no folder above";

    ASSERT_TRUE(files.RenameFile((kData + "Logs").c_str(), (kData + "Kept").c_str()));
    EXPECT_FALSE(Exists(kData + "Logs"));
    EXPECT_EQ(Read(kData + "Kept\\scan.log"), "scan 1\r\n");
    EXPECT_EQ(Read(kData + "Kept\\Old\\scan.log"), "scan 0\r\n");
    EXPECT_FALSE(files.RenameFile((kData + "Kept").c_str(), (kData + "Reports").c_str()))
        << "a folder of the new name is there";
    EXPECT_FALSE(files.RenameFile((kData + "Kept").c_str(), (kData + "Kept\\Old\\In").c_str()))
        << "a folder cannot go into itself";

    EXPECT_TRUE(files.MakeAdministratorsFolder((kData + "Backup").c_str()));
    EXPECT_TRUE(files.MakeAdministratorsFolder((kData + "Backup").c_str())) << "already there";
    EXPECT_TRUE(files.WriteWholeFile((kData + "Backup\\plan.txt").c_str(), "plan"));
    EXPECT_EQ(Read(kData + "Backup\\plan.txt"), "plan");

    char folder[260] = {};
    const std::uint32_t length = files.CommonAppDataFolder(folder, sizeof folder);
    EXPECT_STREQ(folder, "C:\\ProgramData");
    EXPECT_EQ(length, std::strlen("C:\\ProgramData"));
    EXPECT_EQ(files.CommonAppDataFolder(folder, 4), length + 1) << "the size needed";
}

// Every value the key lists as "name type bytes", then the code that ended the walk.
std::vector<std::string> Values(RegistryKey& key) {
    std::vector<std::string> values;
    char name[260];
    char data[64];
    std::uint32_t type = 0;
    std::uint32_t size = sizeof data;
    long result = kErrorSuccess;
    for (std::uint32_t index = 0;
         (result = key.EnumValue(index, name, sizeof name, &type, data, &size)) == kErrorSuccess;
         ++index, size = sizeof data) {
        values.push_back(std::string(name) + " " + std::to_string(type) + " " +
                         std::string(data, size));
    }
    values.push_back("end " + std::to_string(result));
    return values;
}

TEST_F(PlatformWritesContract, ValuesAreWrittenListedAndDeletedInEitherView) {
    Registry& registry = platform().registry;
    const struct {
        RegistryView view;
        const char* path;
    } kKeys[] = {{RegistryView::Native, "SOFTWARE\\Quorin\\Sweep\\Native"},
                 {RegistryView::Wow32, "SOFTWARE\\Quorin\\Sweep\\Wow32"}};
    for (const auto& k : kKeys) {
        SCOPED_TRACE(k.path);
        std::unique_ptr<RegistryKey> key;
        bool created = false;
        ASSERT_EQ(
            registry.CreateKeyInView(k.path, kKeyQueryValue | kKeySetValue, k.view, &key, &created),
            kErrorSuccess);
        EXPECT_TRUE(created);
        const std::uint32_t one = 1;
        EXPECT_EQ(key->SetValue("Zeta", kRegSz, "last\0", 5), kErrorSuccess);
        EXPECT_EQ(key->SetValue("alpha", kRegDword, &one, sizeof one), kErrorSuccess);
        EXPECT_EQ(key->SetValue("Mid", kRegBinary, "\x01\x02", 2), kErrorSuccess);
        EXPECT_EQ(key->SetValue("Zeta", kRegSz, "again\0", 6), kErrorSuccess);
        const std::string zeta = std::string("Zeta 1 again") + '\0';
        const std::string alpha = std::string("alpha 4 \x01") + '\0' + '\0' + '\0';
        const std::string mid = "Mid 3 \x01\x02";
        // Windows lists values in the order they were first written, Wine by name.
        const std::vector<std::string> expected =
            testing::RunsUnderWine() ? std::vector<std::string>{alpha, mid, zeta, "end 259"}
                                     : std::vector<std::string>{zeta, alpha, mid, "end 259"};
        EXPECT_EQ(Values(*key), expected);

        char shortName[4];
        std::uint32_t type = 0;
        char data[64];
        std::uint32_t size = sizeof data;
        EXPECT_EQ(key->EnumValue(0, shortName, sizeof shortName, &type, data, &size),
                  kErrorMoreData);
        EXPECT_EQ(key->DeleteValue("ALPHA"), kErrorSuccess);
        EXPECT_EQ(key->DeleteValue("alpha"), kErrorFileNotFound);
        EXPECT_EQ(Values(*key).size(), 3u);

        std::unique_ptr<RegistryKey> again;
        ASSERT_EQ(registry.CreateKeyInView(k.path, kKeyQueryValue, k.view, &again, &created),
                  kErrorSuccess);
        EXPECT_FALSE(created);
        EXPECT_EQ(again->SetValue("Other", kRegSz, "x", 2), kErrorAccessDenied);
        EXPECT_EQ(again->DeleteValue("Mid"), kErrorAccessDenied);
        std::unique_ptr<RegistryKey> writeOnly;
        ASSERT_EQ(registry.OpenKeyInView(k.path, kKeySetValue, k.view, &writeOnly), kErrorSuccess);
        EXPECT_EQ(Values(*writeOnly), std::vector<std::string>{"end 5"});
    }
    // A 64-bit program finds the 32-bit programs' key below WOW6432Node.
    std::unique_ptr<RegistryKey> key;
    EXPECT_EQ(registry.OpenKey("SOFTWARE\\WOW6432Node\\Quorin\\Sweep\\Wow32", kKeyRead, &key),
              kErrorSuccess);
    if (sizeof(void*) == 8 || !testing::RunsUnderWine()) {
        EXPECT_NE(registry.OpenKey("SOFTWARE\\Quorin\\Sweep\\Wow32", kKeyRead, &key),
                  kErrorSuccess);
    }
}

TEST_F(PlatformWritesContract, APackageIsStagedInTheInfFolder) {
    DriverPackages& packages = platform().packages;
    const std::string source = "C:\\windows\\QuorinStage\\qsweep.inf";
    std::string staged;
    PackageCallResult result = packages.CopyOemInf(source.c_str(), &staged);
    ASSERT_TRUE(result.available);
    ASSERT_TRUE(result.succeeded) << result.error;
    // Wine keeps the source's name where Windows picks the first free oemN.inf.
    const std::string name = testing::RunsUnderWine() ? "qsweep.inf" : "oem0.inf";
    EXPECT_EQ(staged, "C:\\windows\\inf\\" + name);
    EXPECT_EQ(Read(staged), Read(source));
    const std::string stem = name.substr(0, name.size() - 4);
    EXPECT_TRUE(Exists("C:\\windows\\inf\\" + stem + ".pnf"));
    // The catalog goes into the system's catalog database under the INF's new name (Windows) or
    // its own (Wine, whose catalog here is named as its INF).
    EXPECT_EQ(Read("C:\\windows\\system32\\CatRoot\\{F750E6C3-38EE-11D1-85E5-00C04FC295EE}\\" +
                   stem + ".cat"),
              Read("C:\\windows\\QuorinStage\\qsweep.cat"));

    std::string again;
    EXPECT_TRUE(packages.CopyOemInf(source.c_str(), &again).succeeded);
    EXPECT_EQ(again, staged) << "an identical INF is answered, not staged twice";

    // Wine's driver store never answers (docs/wine-facts.md); Windows 7 knows the package.
    std::string storeInf;
    EXPECT_EQ(packages.DriverStoreInf(staged.c_str(), &storeInf),
              testing::RunsUnderWine() ? FactAnswer::Unknown : FactAnswer::Yes);

    result = packages.UninstallOemInf(name.c_str(), kSuoiForceDelete);
    EXPECT_TRUE(result.succeeded) << result.error;
    EXPECT_FALSE(Exists(staged));

    EXPECT_FALSE(packages.CopyOemInf("C:\\windows\\QuorinStage\\missing.inf", &again).succeeded);
}

TEST_F(PlatformWritesContract, ARestorePointIsBegunAndEnded) {
    SystemRestore& restore = platform().systemRestore;
    const RestorePointCall begun = restore.Begin("Quorin scanner drivers removed");
    ASSERT_TRUE(begun.available);
    EXPECT_EQ(begun.status, 0u);
    const RestorePointCall ended = restore.End(begun.sequence);
    EXPECT_TRUE(ended.available);
    EXPECT_EQ(ended.status, 0u);
    if (testing::RunsUnderWine()) {
        // Wine's srclient.dll fails every call without naming a cause (docs/wine-facts.md).
        EXPECT_FALSE(begun.succeeded);
        EXPECT_FALSE(ended.succeeded);
        return;
    }
    EXPECT_TRUE(begun.succeeded);
    EXPECT_GT(begun.sequence, 0);
    EXPECT_TRUE(ended.succeeded);
    EXPECT_EQ(ended.sequence, begun.sequence);
}

TEST_F(PlatformWritesContract, TextsConvertExactlyOrNotAtAll) {
    VersionInfo& version = platform().version;
    std::u16string wide;
    ASSERT_TRUE(version.AnsiToUtf16("Quorin \xE9tude\x80", &wide));
    EXPECT_EQ(wide, u"Quorin \u00E9tude\u20AC");
    std::string narrow;
    ASSERT_TRUE(version.Utf16ToAnsi(wide, &narrow));
    EXPECT_EQ(narrow, "Quorin \xE9tude\x80");
    narrow = "kept";
    EXPECT_FALSE(version.Utf16ToAnsi(u"Quorin \u529F", &narrow)) << "no such character";
    EXPECT_FALSE(version.Utf16ToAnsi(u"\u0101", &narrow)) << "no best fit";
    EXPECT_EQ(narrow, "kept");
    ASSERT_TRUE(version.AnsiToUtf16("", &wide));
    EXPECT_TRUE(wide.empty());
}

TEST_F(PlatformWritesContract, TheClockGivesAUtcTime) {
    const UtcTime now = platform().clock.UtcNow();
    EXPECT_GE(now.year, 2024);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.day, 1);
    EXPECT_LE(now.day, 31);
    EXPECT_LE(now.hour, 23);
    EXPECT_LE(now.millisecond, 999);
}

}  // namespace
}  // namespace drvsweep
