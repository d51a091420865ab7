#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/sim/sim_windows.h"
#include "platform/win32_codes.h"

// What the simulated Windows does with the writes that Wine cannot show: the 9x family and
// the releases without a call, injected faults, and the bookkeeping that tests rely on (change
// counts, open handles). What both backends answer alike is held by
// tests/contract/platform_writes_contract_test.cpp.
namespace drvsweep::sim {
namespace {

class SimPlatformWritesTest : public ::testing::Test {
protected:
    void SetUp() override {
        machine.SetRelease(SimRelease::Windows7, true);
        machine.files().AddFile("C:\\stage\\q.inf", "[Version]\r\n");
        machine.files().AddFile("C:\\data\\logs\\a.log", "a");
    }

    SimWindows machine;
};

TEST_F(SimPlatformWritesTest, FolderCallsFailWhereTheFaultsAndTheSystemSay) {
    SimFileTree& files = machine.files();
    machine.faults().Add(FaultRule{"CreateDirectoryA", "C:\\data\\denied", 5});
    EXPECT_FALSE(files.MakeFolder("C:\\data\\denied"));
    EXPECT_EQ(files.lastError(), 5);
    EXPECT_FALSE(files.MakeFolder("C:\\data\\logs\\a.log"));
    EXPECT_EQ(files.lastError(), kErrorAlreadyExists);
    EXPECT_FALSE(files.MakeFolder("C:\\data\\none\\x"));
    EXPECT_EQ(files.lastError(), kErrorPathNotFound);

    machine.faults().Add(FaultRule{"WriteFile", "C:\\data\\logs", 112});
    EXPECT_FALSE(files.WriteWholeFile("C:\\data\\logs\\b.log", "b"));
    EXPECT_EQ(files.lastError(), 112) << "the disk is full";
    EXPECT_FALSE(files.Exists("C:\\data\\logs\\b.log"));

    ASSERT_TRUE(files.SetCurrentFolder("C:\\data\\logs"));
    EXPECT_FALSE(files.RenameFile("C:\\data", "C:\\moved"));
    EXPECT_EQ(files.lastError(), kErrorSharingViolation) << "the working directory is below";
    ASSERT_TRUE(files.SetCurrentFolder("C:\\"));
    FoundFile found;
    std::unique_ptr<FileSearch> search = files.FindFirst("C:\\data\\logs\\*", &found);
    ASSERT_TRUE(files.RenameFile("C:\\data", "C:\\moved"));
    EXPECT_TRUE(search->Next(&found)) << "a running listing keeps what it took";
    search.reset();
    EXPECT_EQ(machine.openHandles(), 0);
    EXPECT_TRUE(files.Exists("C:\\moved\\logs\\a.log"));

    EXPECT_TRUE(files.MakeAdministratorsFolder("C:\\moved\\secure"));
    EXPECT_EQ(files.securedFolders(), std::vector<std::string>{"C:\\moved\\secure"});
    machine.SetFamily(Family::Win9x);
    EXPECT_FALSE(files.MakeAdministratorsFolder("C:\\moved\\secure9x"));
    EXPECT_FALSE(files.Exists("C:\\moved\\secure9x"));
    char folder[260];
    EXPECT_EQ(files.CommonAppDataFolder(folder, sizeof folder), 0u);
    machine.SetRelease(SimRelease::Windows2000, false);
    files.CommonAppDataFolder(folder, sizeof folder);
    EXPECT_STREQ(folder, "C:\\Documents and Settings\\All Users\\Application Data");
}

TEST_F(SimPlatformWritesTest, RegistryWritesCountFailAndFollowTheFamily) {
    Registry& registry = machine.registry();
    std::unique_ptr<RegistryKey> key;
    bool created = false;
    const long before = machine.registry().changeCount();
    ASSERT_EQ(registry.CreateKeyInView("SOFTWARE\\Quorin\\A", kKeyQueryValue, RegistryView::Wow32,
                                       &key, &created),
              kErrorSuccess);
    EXPECT_TRUE(machine.registry().KeyExists("SOFTWARE\\WOW6432Node\\Quorin\\A"));
    EXPECT_EQ(key->SetValue("v", 4, "\1\0\0\0", 4), kErrorAccessDenied);
    EXPECT_GT(machine.registry().changeCount(), before);

    machine.faults().Add(FaultRule{"RegCreateKeyExA", "Quorin\\B", 5});
    EXPECT_EQ(registry.CreateKeyInView("SOFTWARE\\Quorin\\B", kKeyRead, RegistryView::Native, &key,
                                       &created),
              5);
    EXPECT_EQ(key, nullptr);
    EXPECT_FALSE(machine.registry().KeyExists("SOFTWARE\\Quorin\\B"));
    EXPECT_EQ(
        registry.CreateKeyInView("\\SOFTWARE", kKeyRead, RegistryView::Native, &key, &created),
        kErrorBadPathname);

    ASSERT_EQ(registry.CreateKeyInView("SOFTWARE\\Quorin\\C", kKeySetValue | kKeyQueryValue,
                                       RegistryView::Native, &key, &created),
              kErrorSuccess);
    machine.faults().Add(FaultRule{"RegSetValueExA", "Quorin\\C\\Full", 1450});
    machine.faults().Add(FaultRule{"RegDeleteValueA", "Quorin\\C\\Kept", 5});
    machine.faults().Add(FaultRule{"RegEnumValueA", "Quorin\\C", 1018, 1});
    EXPECT_EQ(key->SetValue("Full", 1, "x", 2), 1450);
    EXPECT_EQ(key->SetValue("Kept", 1, "x", 2), kErrorSuccess);
    EXPECT_EQ(key->DeleteValue("Kept"), 5);
    char name[16];
    EXPECT_EQ(key->EnumValue(0, name, sizeof name, nullptr, nullptr, nullptr), kErrorSuccess);
    EXPECT_EQ(key->EnumValue(0, name, sizeof name, nullptr, nullptr, nullptr), 1018);
    EXPECT_EQ(machine.registry().Value("SOFTWARE\\Quorin\\C", "Kept")->bytes, std::string("x", 2));

    machine.registry().RemoveTree("SOFTWARE\\Quorin\\C");
    EXPECT_EQ(key->SetValue("Late", 1, "x", 2), kErrorKeyDeleted);
    key.reset();

    machine.SetFamily(Family::Win9x);
    ASSERT_EQ(
        registry.CreateKeyInView("SOFTWARE\\Quorin\\D", 0, RegistryView::Wow32, &key, &created),
        kErrorSuccess);
    EXPECT_EQ(key->SetValue("v", 1, "x", 2), kErrorSuccess) << "9x ignores access and views";
    EXPECT_TRUE(machine.registry().Value("SOFTWARE\\Quorin\\D", "v").has_value());
    key.reset();
    EXPECT_EQ(machine.openHandles(), 0);
}

TEST_F(SimPlatformWritesTest, StagingTakesTheFirstFreeNameAndFollowsTheRelease) {
    SimDriverPackages& packages = machine.packages();
    machine.files().AddFile("C:\\windows\\inf\\oem0.inf", "other");
    std::string staged;
    ASSERT_TRUE(packages.CopyOemInf("C:\\stage\\q.inf", &staged).succeeded);
    EXPECT_EQ(staged, "C:\\windows\\inf\\oem1.inf");
    EXPECT_TRUE(machine.files().Exists("C:\\windows\\inf\\oem1.pnf"));
    std::string storeInf;
    ASSERT_EQ(packages.DriverStoreInf(staged.c_str(), &storeInf), FactAnswer::Yes);
    EXPECT_TRUE(machine.files().Exists(storeInf.substr(0, storeInf.rfind('\\')) + "\\q.inf"));
    EXPECT_EQ(packages.PackageNames(), std::vector<std::string>{"oem1.inf"});

    machine.faults().Add(FaultRule{"SetupCopyOEMInfA", "q.inf", 5, 0, 1});
    const PackageCallResult failed = packages.CopyOemInf("C:\\stage\\q.inf", &staged);
    EXPECT_FALSE(failed.succeeded);
    EXPECT_EQ(failed.error, 5u);

    machine.SetRelease(SimRelease::WindowsXp, false);
    machine.files().AddFile("C:\\stage\\r.inf", "[Version]\r\n;r\r\n");
    ASSERT_TRUE(packages.CopyOemInf("C:\\stage\\r.inf", &staged).succeeded);
    EXPECT_EQ(staged, "C:\\windows\\inf\\oem2.inf");
    EXPECT_TRUE(packages.UninstallOemInf("oem2.inf", 0).succeeded);
    EXPECT_FALSE(machine.files().Exists(staged));

    machine.SetRelease(SimRelease::Windows98, false);
    EXPECT_FALSE(packages.CopyOemInf("C:\\stage\\r.inf", &staged).available);
}

TEST_F(SimPlatformWritesTest, RestorePointsAreRecordedWhereTheSystemHasThem) {
    SimSystemRestore& restore = machine.systemRestore();
    const std::string longText(80, 'd');
    const RestorePointCall begun = restore.Begin(longText.c_str());
    ASSERT_TRUE(begun.succeeded);
    EXPECT_EQ(restore.End(begun.sequence + 1).status,
              static_cast<std::uint32_t>(kErrorInvalidData));
    EXPECT_TRUE(restore.End(begun.sequence).succeeded);
    EXPECT_FALSE(restore.End(begun.sequence).succeeded) << "ended already";
    ASSERT_EQ(restore.calls().size(), 2u);
    EXPECT_EQ(restore.calls()[0].description, longText.substr(0, 63));

    machine.faults().Add(FaultRule{"SRSetRestorePointA", "removed", 1460, 0, 1});
    const RestorePointCall timedOut = restore.Begin("drivers removed");
    EXPECT_TRUE(timedOut.available);
    EXPECT_EQ(timedOut.status, 1460u);

    restore.SetTurnedOn(false);
    EXPECT_EQ(restore.Begin("off").status, kErrorServiceDisabled);
    machine.SetRelease(SimRelease::Windows2000, false);
    EXPECT_FALSE(restore.Begin("none").available);
    EXPECT_EQ(restore.calls().size(), 2u);
}

TEST_F(SimPlatformWritesTest, ConversionsFollowTheMachinesCodePage) {
    SimVersion& version = machine.version();
    ASSERT_TRUE(version.SetAnsiCodePage(936));
    std::u16string wide;
    ASSERT_TRUE(version.AnsiToUtf16("Quorin \xB9\xA6", &wide));
    EXPECT_EQ(wide, u"Quorin \u529F");
    EXPECT_FALSE(version.AnsiToUtf16("a\xB9", &wide)) << "a lead byte alone";
    std::string narrow;
    EXPECT_FALSE(version.Utf16ToAnsi(u"\u0E01", &narrow)) << "Thai is not in code page 936";
    EXPECT_TRUE(version.Utf16ToAnsi(u"\u529F", &narrow));
    EXPECT_EQ(narrow, "\xB9\xA6");

    machine.clock().Set(UtcTime{2027, 1, 2, 3, 4, 5, 6});
    EXPECT_EQ(machine.platform().clock.UtcNow().year, 2027);
}

}  // namespace
}  // namespace drvsweep::sim
