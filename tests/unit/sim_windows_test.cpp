#include "platform/sim/sim_windows.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

#include "platform/sim/sim_scenario.h"
#include "platform/win32_codes.h"

namespace drvsweep::sim {
namespace {

TEST(SimWindowsTest, TheFamilySetsWinesVersionWords) {
    SimWindows machine;
    VersionInfo& version = machine.platform().version;
    EXPECT_EQ(version.Version(), 0x0A280105u);
    EXPECT_EQ(version.DefaultLanguage(), 1033);
    machine.SetFamily(Family::Win9x);
    machine.SetDefaultLanguage(2052);
    EXPECT_EQ(version.Version(), 0xC0000A04u);
    EXPECT_EQ(CurrentFamily(version), Family::Win9x);
    EXPECT_EQ(version.DefaultLanguage(), 2052);
    machine.SetFamily(Family::Nt);
    EXPECT_EQ(CurrentFamily(version), Family::Nt);
}

TEST(SimWindowsTest, OpenHandlesCountsEveryKindUntilClosed) {
    SimWindows machine;
    Platform& platform = machine.platform();
    machine.files().AddFile("C:\\windows\\inf\\oem1.inf",
                            "[Version]\r\nSignature=\"$CHICAGO$\"\r\n");
    std::unique_ptr<RegistryKey> key;
    ASSERT_EQ(platform.registry.OpenKey("", kKeyRead, &key), kErrorSuccess);
    FoundFile found;
    std::unique_ptr<FileSearch> search = platform.files.FindFirst("C:\\windows\\*", &found);
    std::unique_ptr<InfFile> inf = platform.inf.OpenWin4("C:\\windows\\inf\\oem1.inf");
    std::unique_ptr<DeviceInfoSet> set = platform.devices.AllDevices();
    std::unique_ptr<ProcessToken> token = platform.programs.OpenOwnToken(0x28);
    ASSERT_TRUE(search && inf && set && token);
    EXPECT_EQ(machine.openHandles(), 5);
    key.reset();
    search.reset();
    inf.reset();
    set.reset();
    token.reset();
    EXPECT_EQ(machine.openHandles(), 0);
}

TEST(SimWindowsTest, ProgramsAndPowerAreRecorded) {
    SimWindows machine;
    ProgramsAndPower& programs = machine.platform().programs;
    EXPECT_EQ(programs.ShellOpen("C:\\Quorin\\setup.exe", "-uninstall"), 2)
        << "a program that does not exist is not started";
    machine.files().AddFile("C:\\Quorin\\setup.exe");
    EXPECT_EQ(programs.ShellOpen("C:\\Quorin\\setup.exe", "-uninstall"), 42);
    machine.faults().Add(FaultRule{"ShellExecuteA", "", 2, 0, 1});
    EXPECT_EQ(programs.ShellOpen("C:\\Quorin\\setup.exe", ""), 2);
    Luid luid;
    EXPECT_TRUE(programs.LookupPrivilege("seshutdownprivilege", &luid));
    EXPECT_EQ(luid.lowPart, 19u);
    EXPECT_FALSE(programs.LookupPrivilege("SeDebugPrivilegeX", &luid));
    EXPECT_EQ(machine.programs().lastError(), kErrorNoSuchPrivilege);
    EXPECT_TRUE(programs.OpenOwnToken(0x28)->AdjustPrivilege(luid, 2));
    EXPECT_TRUE(programs.ExitWindows(6, 0));
    machine.faults().Add(FaultRule{"OpenProcessToken", "0x28", 5, 0, -1});
    EXPECT_EQ(programs.OpenOwnToken(0x28), nullptr);

    const SimPrograms& recorded = machine.programs();
    ASSERT_EQ(recorded.launches().size(), 1u);
    EXPECT_EQ(recorded.launches()[0].parameters, "-uninstall");
    EXPECT_EQ(recorded.tokenAccesses(), std::vector<std::uint32_t>{0x28});
    ASSERT_EQ(recorded.privilegeAdjustments().size(), 1u);
    EXPECT_EQ(recorded.privilegeAdjustments()[0].attributes, 2u);
    EXPECT_EQ(recorded.exitRequests(), std::vector<std::uint32_t>{6});
}

class ScenarioTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder =
            std::filesystem::temp_directory_path() / ("sim_scenario_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder / "windir" / "twain_32" / "Sample");
        Write("windir/twain_32/Sample/Sample.ds", "ds");
        Write("family", "9x\n");
        Write("language", "2052\r\n");
        Write("machine.reg",
              "REGEDIT4\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_5210\\1]\r\n"
              "\"ClassGUID\"=\"{6bdd1fc6-810f-11d0-bec7-08002be2092f}\"\r\n");
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    void Write(const std::string& name, const std::string& text) {
        std::ofstream(folder / name, std::ios::binary) << text;
    }

    bool Load(std::string* error) { return LoadScenario(folder.string(), &machine, error); }

    std::filesystem::path folder;
    SimWindows machine;
};

TEST_F(ScenarioTest, AScenarioFolderBecomesTheMachine) {
    std::string error;
    ASSERT_TRUE(Load(&error)) << error;
    EXPECT_EQ(CurrentFamily(machine.version()), Family::Win9x);
    EXPECT_EQ(machine.version().DefaultLanguage(), 2052);
    EXPECT_TRUE(machine.files().Exists("C:\\windows\\TWAIN_32\\sample\\sample.ds"));
    EXPECT_EQ(machine.devices().InstanceIds(),
              std::vector<std::string>{"USB\\VID_0C6E&PID_5210\\1"});
    EXPECT_FALSE(machine.systemRestore().Begin("9x").available) << "98 has no System Restore";
}

TEST_F(ScenarioTest, SystemRestoreCanBeTurnedOff) {
    Write("family", "nt\n");
    Write("system", "7 x64\n");
    Write("system_restore", "off\n");
    std::string error;
    ASSERT_TRUE(Load(&error)) << error;
    const RestorePointCall call = machine.systemRestore().Begin("drivers removed");
    EXPECT_TRUE(call.available);
    EXPECT_EQ(call.status, kErrorServiceDisabled);
    char folder[260];
    machine.files().CommonAppDataFolder(folder, sizeof folder);
    EXPECT_STREQ(folder, "C:\\ProgramData");
}

TEST_F(ScenarioTest, ABadScenarioIsReported) {
    const struct {
        const char* file;
        const char* text;
    } kCases[] = {
        {"family", "win98"},
        {"language", "en"},
        {"language", "70000"},
        {"machine.reg", "REGEDIT4\n\"v\"=\"x\"\n"},
        {"system_restore", "disabled"},
    };
    for (const auto& bad : kCases) {
        SCOPED_TRACE(bad.text);
        SetUp();
        Write(bad.file, bad.text);
        std::string error;
        EXPECT_FALSE(Load(&error));
        EXPECT_NE(error.find(bad.file), std::string::npos) << error;
    }
    std::string error;
    EXPECT_FALSE(LoadScenario((folder / "missing").string(), &machine, &error));
}

}  // namespace
}  // namespace drvsweep::sim
