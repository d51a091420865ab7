#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "discovery/scanner_table.h"
#include "platform/sim/sim_scenario.h"
#include "platform/sim/sim_windows.h"
#include "removal/scanner_removal.h"
#include "tests/support/test_machine.h"

namespace drvsweep {
namespace {

constexpr char kDoc392Key[] = "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_3902";

// A front end's steps, scripted: what the maker's uninstaller does when run, what its start
// answers, and what the removal told the front end.
class ScriptedSteps : public RemovalSteps {
public:
    UninstallerStatus RunUninstaller(const CommandLineText& commandLine,
                                     const UninstallerCommand&) override {
        told.push_back(std::string("run ") + commandLine.c_str());
        if (start == UninstallerStatus::Started && uninstaller) {
            uninstaller();
        }
        return start;
    }
    void BeforeBuiltIn(UninstallerStatus uninstaller) override {
        told.push_back(uninstaller == UninstallerStatus::Started ? "built in, after the uninstaller"
                       : uninstaller == UninstallerStatus::NoDesktop
                           ? "built in, the uninstaller not started"
                           : "built in");
    }

    UninstallerStatus start = UninstallerStatus::Started;
    std::function<void()> uninstaller;
    std::vector<std::string> told;
};

// The example machine's Doc 392 has the maker's uninstaller registered; the K5210 has none.
class ScannerRemovalTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(sim::LoadScenario(testing::FixturePath("demo_nt"), &machine, &error)) << error;
        ScanInstalledScanners(machine.platform(), *table);
        doc392 = table->rows[0];
        k5210 = table->rows[1];
        ASSERT_STREQ(doc392.devicePath.c_str(), "USB\\VID_0C6E&PID_3902");
        ASSERT_STREQ(k5210.devicePath.c_str(), "USB\\VID_0C6E&PID_5210");
    }

    ScannerRemovalResult Remove(const ScannerRecord& scanner, bool useUninstaller,
                                UninstallerUse use = {}) {
        use.start = useUninstaller;
        return RemoveScanner(machine.platform(), scanner,
                             PlanBuiltInRemoval(machine.platform(), scanner), steps, use,
                             NoBackup());
    }

    sim::SimWindows machine;
    std::unique_ptr<ScannerTable> table = std::make_unique<ScannerTable>();
    ScannerRecord doc392;
    ScannerRecord k5210;
    ScriptedSteps steps;
};

const std::string kRunDoc392 =
    "run C:\\windows\\quorin\\uninst.exe -delay 1500 USB\\VID_0C6E&PID_3902";

TEST_F(ScannerRemovalTest, AnUninstallerThatTakesTheScannerIsTheWholeRemoval) {
    steps.uninstaller = [this] { machine.registry().RemoveTree(kDoc392Key); };
    const ScannerRemovalResult result = Remove(doc392, true);
    EXPECT_EQ(result.method, RemovalMethod::Vendor);
    EXPECT_FALSE(result.scannerPresent);
    EXPECT_EQ(steps.told, std::vector<std::string>{kRunDoc392});
    ASSERT_FALSE(result.outcome.items.empty());
    EXPECT_EQ(result.outcome.items[0].outcome, ItemOutcome::Deleted) << "the device went";
    EXPECT_EQ(result.outcome.restartReason(), RestartReason::None);
}

TEST_F(ScannerRemovalTest, AnUninstallerThatLeavesTheScannerIsFollowedByTheBuiltInRemoval) {
    const ScannerRemovalResult result = Remove(doc392, true);
    EXPECT_EQ(result.method, RemovalMethod::VendorThenBuiltIn);
    EXPECT_FALSE(result.scannerPresent);
    EXPECT_EQ(steps.told,
              (std::vector<std::string>{kRunDoc392, "built in, after the uninstaller"}));
    EXPECT_FALSE(machine.registry().KeyExists(kDoc392Key));
}

// No uninstaller asked for, none that starts, none registered, or a driver package without a
// device: the built-in removal alone.
TEST_F(ScannerRemovalTest, OtherwiseTheBuiltInRemovalRunsAlone) {
    ScannerRecord packageOnly = doc392;
    packageOnly.packageOnly = true;
    const struct {
        const char* why;
        const ScannerRecord& scanner;
        bool useUninstaller;
        UninstallerStatus start;
        std::vector<std::string> told;
    } kCases[] = {
        {"not asked for", doc392, false, UninstallerStatus::Started, {"built in"}},
        {"refused", doc392, true, UninstallerStatus::Refused, {kRunDoc392, "built in"}},
        {"none registered", k5210, true, UninstallerStatus::Started, {"built in"}},
        {"no device", packageOnly, true, UninstallerStatus::Started, {"built in"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        SetUp();
        steps = ScriptedSteps();
        steps.start = c.start;
        const ScannerRemovalResult result = Remove(c.scanner, c.useUninstaller);
        EXPECT_EQ(result.method, RemovalMethod::BuiltIn);
        EXPECT_EQ(steps.told, c.told);
    }
}

// The one presence test: a device row is there while its device key is; a driver package
// without a device while its INF is.
TEST_F(ScannerRemovalTest, PresenceIsTheDeviceKeyOrThePackagesInf) {
    EXPECT_TRUE(IsScannerPresent(machine.platform(), doc392));
    machine.faults().Add({"RegOpenKeyExA", "PID_3902", 5});
    EXPECT_TRUE(IsScannerPresent(machine.platform(), doc392)) << "unreadable is not gone";
    machine.faults().Clear();
    machine.registry().RemoveTree(kDoc392Key);
    EXPECT_FALSE(IsScannerPresent(machine.platform(), doc392));
    ScannerRecord packageOnly = k5210;
    packageOnly.packageOnly = true;
    EXPECT_TRUE(IsScannerPresent(machine.platform(), packageOnly));
    machine.files().RemoveFile(k5210.infPath.c_str());
    EXPECT_FALSE(IsScannerPresent(machine.platform(), packageOnly));
}

}  // namespace
}  // namespace drvsweep
