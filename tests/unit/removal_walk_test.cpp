#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "discovery/scanner_table.h"
#include "platform/sim/sim_scenario.h"
#include "platform/sim/sim_windows.h"
#include "removal/item_probe.h"
#include "removal/removal_plan.h"
#include "removal/removal_walk.h"
#include "removal/scanner_removal.h"
#include "removal/scanner_row.h"
#include "tests/support/test_machine.h"

namespace drvsweep {
namespace {

const std::string kInf = "C:\\windows\\inf\\";
const std::string kK5210Instance = "USB\\VID_0C6E&PID_5210\\5&2f1c3a&0&2";

RemovalOutcome UninstallBuiltIn(Platform& platform, const ScannerRecord& scanner) {
    return RemoveBuiltIn(platform, scanner, PlanBuiltInRemoval(platform, scanner), NoBackup())
        .outcome;
}

bool IsPlanItemPresent(Platform& platform, const PlanItem& item) {
    return !PlanItemPathsThere(platform, item).empty();
}

// The example machines' K5210 row (USB, INF found) as the scan finds it.
class RemovalWalkTest : public ::testing::Test {
protected:
    void Open(const std::string& scenario) {
        std::string error;
        ASSERT_TRUE(sim::LoadScenario(testing::FixturePath(scenario), &machine, &error)) << error;
        ScanInstalledScanners(machine.platform(), *table);
        ASSERT_GE(table->lastIndex, 1);
        k5210 = table->rows[1];
        ASSERT_STREQ(k5210.devicePath.c_str(), "USB\\VID_0C6E&PID_5210");
    }

    // Each item as "kind path", a driver package with " pnf name" appended, a data source
    // folder with its data source file.
    static std::vector<std::string> Described(const std::vector<PlanItem>& plan) {
        std::vector<std::string> described;
        for (const PlanItem& item : plan) {
            std::string text = std::string(PlanItemKindName(item.kind)) + " " + item.path.c_str();
            if (item.kind == PlanItemKind::DriverPackage) {
                text += std::string(" ") + item.package.pnfPath.c_str() + " " +
                        item.package.infName.c_str();
            }
            if (item.kind == PlanItemKind::DataSourceFolder) {
                text += std::string(" ") + item.dataSourceFile.c_str();
            }
            described.push_back(text);
        }
        return described;
    }

    static std::vector<ItemOutcome> Outcomes(const RemovalOutcome& outcome) {
        std::vector<ItemOutcome> outcomes;
        for (const ItemResult& result : outcome.items) {
            outcomes.push_back(result.outcome);
        }
        return outcomes;
    }

    sim::SimWindows machine;
    std::unique_ptr<ScannerTable> table = std::make_unique<ScannerTable>();
    ScannerRecord k5210;
};

// The plan names what is there, in the order the removal acts: the device, the driver files,
// the package as one item with its .pnf and system name, the data sources.
TEST_F(RemovalWalkTest, ThePlanListsWhatIsThereInTheOrderOfTheRemoval) {
    Open("demo_nt");
    machine.files().AddFile(kInf + "oem3.pnf");
    EXPECT_EQ(Described(PlanBuiltInRemoval(machine.platform(), k5210).items),
              (std::vector<std::string>{
                  "deviceInstance USB\\VID_0C6E&PID_5210",
                  "driverFile C:\\windows\\system32\\QuorinK5210.dll",
                  "infPackage C:\\windows\\inf\\oem3.inf C:\\windows\\inf\\oem3.pnf oem3.inf",
                  "dataSourceFolder C:\\windows\\twain_32\\QuorinK5210 "
                  "C:\\windows\\twain_32\\QuorinK5210\\QuorinK5210.ds",
              }));

    ScannerRecord withoutInf = k5210;
    withoutInf.infPath.clear();
    EXPECT_EQ(Described(PlanBuiltInRemoval(machine.platform(), withoutInf).items),
              std::vector<std::string>{"deviceInstance USB\\VID_0C6E&PID_5210"})
        << "without its INF only the device goes";

    // A driver package without a device has no device step, whatever device holds the hardware
    // ID it names.
    ScannerRecord packageOnly = k5210;
    packageOnly.packageOnly = true;
    const std::vector<std::string> plan =
        Described(PlanBuiltInRemoval(machine.platform(), packageOnly).items);
    ASSERT_FALSE(plan.empty());
    EXPECT_EQ(plan.front(), "driverFile C:\\windows\\system32\\QuorinK5210.dll");
    EXPECT_EQ(machine.openHandles(), 0);
}

TEST_F(RemovalWalkTest, The9xPlanNamesTheClassKeyThenTheDeviceKey) {
    Open("demo_9x");
    const std::vector<std::string> plan =
        Described(PlanBuiltInRemoval(machine.platform(), k5210).items);
    ASSERT_GE(plan.size(), 2u);
    EXPECT_EQ(plan[0], "registryKey SYSTEM\\CurrentControlSet\\Services\\class\\Image\\0000");
    EXPECT_EQ(plan[1], "registryKey Enum\\USB\\VID_0C6E&PID_5210");
}

// Each kind's action takes its item and its probe then finds it gone; the outcome follows the
// plan item for item, and nothing asked for a restart.
TEST_F(RemovalWalkTest, EveryKindIsActedOnAndFoundGone) {
    Open("demo_nt");
    machine.files().AddFile(kInf + "oem3.pnf");
    const std::vector<PlanItem> plan = PlanBuiltInRemoval(machine.platform(), k5210).items;
    const RemovalOutcome outcome = UninstallBuiltIn(machine.platform(), k5210);

    EXPECT_EQ(Described(plan), [&outcome] {
        std::vector<PlanItem> items;
        for (const ItemResult& result : outcome.items) {
            items.push_back(result.item);
        }
        return Described(items);
    }());
    EXPECT_EQ(Outcomes(outcome), std::vector<ItemOutcome>(plan.size(), ItemOutcome::Deleted));
    EXPECT_FALSE(outcome.windowsFinishesAtRestart);
    for (const PlanItem& item : plan) {
        EXPECT_FALSE(IsPlanItemPresent(machine.platform(), item)) << item.path.c_str();
    }
    EXPECT_TRUE(PlanBuiltInRemoval(machine.platform(), k5210).items.empty());
    EXPECT_EQ(machine.openHandles(), 0);
}

// An action that fails leaves its item StillThere, with the paths the probe still finds; the
// other items go all the same.
TEST_F(RemovalWalkTest, AFailedActionLeavesItsItemStillThere) {
    Open("demo_nt");
    machine.files().AddFile(kInf + "oem3.pnf");
    machine.faults().Add({"SetupUninstallOEMInfA", "", 5});
    machine.faults().Add({"DeleteFileA", "oem3.pnf", 5});
    machine.faults().Add({"MoveFileExA", "oem3.pnf", 5});
    machine.faults().Add({"SetupDiCallClassInstaller", "", 5});
    machine.faults().Add({"SetupDiRemoveDevice", "", 5});
    const RemovalOutcome outcome = UninstallBuiltIn(machine.platform(), k5210);

    EXPECT_EQ(Outcomes(outcome),
              (std::vector<ItemOutcome>{ItemOutcome::StillThere, ItemOutcome::Deleted,
                                        ItemOutcome::StillThere, ItemOutcome::Deleted}));
    ASSERT_EQ(outcome.items[2].pathsThere.size(), 1u);
    EXPECT_STREQ(outcome.items[2].pathsThere[0].c_str(), "C:\\windows\\inf\\oem3.pnf")
        << "the .inf went, its .pnf stayed";
    EXPECT_STREQ(outcome.items[0].pathsThere[0].c_str(), "USB\\VID_0C6E&PID_5210");
    EXPECT_FALSE(outcome.windowsFinishesAtRestart);
}

TEST(DevicePresence, OnlyAMissingKeyCountsAsGone) {
    sim::SimWindows machine;
    machine.registry().CreateKey("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_5210");
    EXPECT_TRUE(IsDevicePresent(machine.platform(), "USB\\VID_0C6E&PID_5210"));
    EXPECT_FALSE(IsDevicePresent(machine.platform(), "USB\\VID_0C6E&PID_3902"));
    machine.faults().Add({"RegOpenKeyExA", "PID_5210", 5});
    EXPECT_TRUE(IsDevicePresent(machine.platform(), "USB\\VID_0C6E&PID_5210"));
    machine.SetFamily(Family::Win9x);
    machine.registry().CreateKey("Enum\\USB\\VID_0C6E&PID_3902");
    EXPECT_TRUE(IsDevicePresent(machine.platform(), "USB\\VID_0C6E&PID_3902"));
    EXPECT_EQ(machine.openHandles(), 0);
}

// A key that cannot be opened is not known to be gone; a listing that finds a folder where a
// file is planned does not find the file.
TEST_F(RemovalWalkTest, TheProbeCountsOnlyAMissingKeyOrEntryAsGone) {
    Open("demo_nt");
    PlanItem key;
    key.kind = PlanItemKind::RegistryKey;
    key.path.assign("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_5210");
    PlanItem file;
    file.kind = PlanItemKind::DriverFile;
    file.path.assign("C:\\windows\\twain_32\\QuorinK5210");
    PlanItem folder = file;
    folder.kind = PlanItemKind::DataSourceFolder;
    EXPECT_TRUE(IsPlanItemPresent(machine.platform(), key));
    EXPECT_FALSE(IsPlanItemPresent(machine.platform(), file));
    EXPECT_TRUE(IsPlanItemPresent(machine.platform(), folder));

    machine.faults().Add({"RegOpenKeyExA", "PID_5210", 5});
    const RemovalOutcome outcome = CheckRemovalPlan(machine.platform(), {key});
    EXPECT_EQ(Outcomes(outcome), std::vector<ItemOutcome>{ItemOutcome::StillThere});
    EXPECT_TRUE(machine.registry().KeyExists(key.path.c_str())) << "the probe acts on nothing";
}

// Windows' restart requests reach the outcome: the device's install parameters after
// DIF_REMOVE, and DiUninstallDriverW's NeedReboot. The item Windows finishes at the restart is
// DeletedAtRestart, never StillThere.
TEST_F(RemovalWalkTest, ADeviceThatAsksForARestartReachesTheOutcome) {
    Open("demo_nt");
    machine.devices().SetRestartAfterRemoval(kK5210Instance);
    const RemovalOutcome outcome = UninstallBuiltIn(machine.platform(), k5210);
    EXPECT_TRUE(outcome.windowsFinishesAtRestart);
    EXPECT_EQ(Outcomes(outcome),
              (std::vector<ItemOutcome>{ItemOutcome::DeletedAtRestart, ItemOutcome::Deleted,
                                        ItemOutcome::Deleted, ItemOutcome::Deleted}));
}

TEST_F(RemovalWalkTest, APackageUninstallThatAsksForARestartReachesTheOutcome) {
    Open("demo_nt");
    machine.packages().SetRelease(sim::SimRelease::Windows10v1703, true);
    machine.packages().SetRestartAfterUninstall(true);
    const RemovalOutcome outcome = UninstallBuiltIn(machine.platform(), k5210);
    EXPECT_TRUE(outcome.windowsFinishesAtRestart);
    EXPECT_EQ(Outcomes(outcome),
              (std::vector<ItemOutcome>{ItemOutcome::Deleted, ItemOutcome::Deleted,
                                        ItemOutcome::DeletedAtRestart, ItemOutcome::Deleted}));
    const std::vector<std::string>& calls = machine.faults().calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "DiUninstallDriverW " + kInf + "oem3.inf"),
              calls.end());
}

class HeldFilesTest : public RemovalWalkTest, public ::testing::WithParamInterface<const char*> {};

// A scanning program holds the driver and the data source: they go at the restart (the 9x
// family's WININIT.INI names them by short path), the rest goes now. On NT the data source
// folder goes at the restart too; WININIT.INI deletes no folder, so on 9x the folder stays. A
// removal run again before the restart finds them still there and reports them as going then,
// without adding to Windows' list.
TEST_P(HeldFilesTest, GoAtTheRestartAndARunBeforeItSaysSo) {
    const std::string scenario = GetParam();
    Open(scenario);
    const bool nt = scenario == "demo_nt";
    const std::string system = nt ? "C:\\windows\\system32\\" : "C:\\windows\\system\\";
    const std::string source = "C:\\windows\\twain_32\\QuorinK5210";
    machine.files().SetInUse(system + "QuorinK5210.dll", true);
    machine.files().SetInUse(source + "\\QuorinK5210.ds", true);

    const RemovalOutcome outcome = UninstallBuiltIn(machine.platform(), k5210);
    std::vector<std::string> scheduled;
    std::vector<std::string> stay;
    for (const ItemResult& result : outcome.items) {
        if (result.outcome == ItemOutcome::DeletedAtRestart) {
            scheduled.push_back(result.item.path.c_str());
        } else if (result.outcome == ItemOutcome::StillThere) {
            stay.push_back(result.item.path.c_str());
        }
    }
    using Paths = std::vector<std::string>;
    EXPECT_EQ(scheduled,
              nt ? (Paths{system + "QuorinK5210.dll", source}) : Paths{system + "QuorinK5210.dll"});
    EXPECT_EQ(stay, nt ? Paths{} : Paths{source});
    // The 9x family keeps the device it took out of the registry loaded until the restart.
    EXPECT_EQ(outcome.restartReason(),
              nt ? RestartReason::FilesInUse : RestartReason::DeviceAndFiles);
    EXPECT_FALSE(outcome.windowsFinishesAtRestart);
    const std::vector<std::string> pending =
        nt ? std::vector<std::string>{system + "QuorinK5210.dll", source + "\\QuorinK5210.ds",
                                      source}
           : std::vector<std::string>{"C:\\windows\\system\\QUOR~5AU.DLL",
                                      "C:\\windows\\twain_32\\QUOR~PCC\\QUOR~C5X.DS"};
    EXPECT_EQ(machine.PendingDeletions(), pending);

    const RemovalOutcome again = UninstallBuiltIn(machine.platform(), k5210);
    ASSERT_EQ(again.items.size(), 2u);
    EXPECT_EQ(again.items[0].outcome, ItemOutcome::DeletedAtRestart);
    EXPECT_EQ(again.items[1].outcome, nt ? ItemOutcome::DeletedAtRestart : ItemOutcome::StillThere);
    EXPECT_EQ(again.restartReason(), RestartReason::FilesInUse);
    EXPECT_EQ(machine.PendingDeletions(), pending);
    // What the maker's uninstaller left set to go is told the same way.
    std::vector<PlanItem> left;
    for (const ItemResult& result : again.items) {
        left.push_back(result.item);
    }
    EXPECT_EQ(CheckRemovalPlan(machine.platform(), left).items[0].outcome,
              ItemOutcome::DeletedAtRestart);
}

INSTANTIATE_TEST_SUITE_P(BothFamilies, HeldFilesTest, ::testing::Values("demo_nt", "demo_9x"));

// What stays of a package after the uninstall calls and the one-file step (a .pnf held open)
// goes at the restart.
TEST_F(RemovalWalkTest, AHeldPackageFileGoesAtTheRestart) {
    Open("demo_nt");
    machine.files().AddFile(kInf + "oem3.pnf");
    machine.files().SetInUse(kInf + "oem3.pnf", true);
    machine.faults().Add({"SetupUninstallOEMInfA", ""});
    const RemovalOutcome outcome = UninstallBuiltIn(machine.platform(), k5210);
    ASSERT_EQ(outcome.items.size(), 4u);
    EXPECT_EQ(outcome.items[2].item.kind, PlanItemKind::DriverPackage);
    EXPECT_EQ(outcome.items[2].outcome, ItemOutcome::DeletedAtRestart);
    EXPECT_EQ(machine.PendingDeletions(), std::vector<std::string>{kInf + "oem3.pnf"});
    EXPECT_FALSE(machine.files().Exists(kInf + "oem3.inf"));
}

// One rule finds a scanner's row: its devicePath compared with ASCII letters folded, as
// Windows compares device IDs.
TEST_F(RemovalWalkTest, ARowIsFoundByItsDevicePathWhateverItsAsciiCase) {
    Open("demo_nt");
    EXPECT_EQ(FindScannerRow(CodePage(), *table, "usb\\vid_0c6e&pid_7300"), 2);
    EXPECT_EQ(FindScannerRow(CodePage(), *table, "USB\\VID_0C6E&PID_5210"), 1);
    EXPECT_EQ(FindScannerRow(CodePage(), *table, "USB\\VID_0C6E&PID_521"), -1);
    EXPECT_EQ(FindScannerRow(CodePage(), *table, ""), -1);
}

}  // namespace
}  // namespace drvsweep
