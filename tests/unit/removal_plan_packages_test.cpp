#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "discovery/scanner_table.h"
#include "platform/sim/sim_scenario.h"
#include "platform/sim/sim_windows.h"
#include "removal/removal_plan.h"
#include "removal/scanner_removal.h"
#include "tests/support/test_machine.h"

// Every package of a scanner in its plan, and the packages it keeps, on the machine of an
// updated scanner and of a package another maker's device shares (scenario every_package_x64):
// what the plan makes of the registry's answers, faults included, and that the walk never acts
// on a kept package.
namespace drvsweep {
namespace {

constexpr char kK4100[] = "USB\\VID_0C6E&PID_4100";
constexpr char kK4300[] = "USB\\VID_0C6E&PID_4300";
constexpr char kClass[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{6bdd1fc6-810f-11d0-bec7-08002be2092f}";
constexpr char kInf[] = "C:\\windows\\inf\\";

class PlanPackagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(sim::LoadScenario(testing::FixturePath("every_package_x64"), &machine, &error))
            << error;
        ScanInstalledScanners(machine.platform(), *table);
        ASSERT_EQ(table->lastIndex, 1);
    }

    const ScannerRecord& Row(const char* devicePath) const {
        return std::string(table->rows[0].devicePath.c_str()) == devicePath ? table->rows[0]
                                                                            : table->rows[1];
    }

    // The plan as "kind path" lines, and the kept packages as "infPath usedBy" lines.
    std::vector<std::string> Plan(const char* devicePath,
                                  std::vector<std::string>* kept = nullptr) {
        const RemovalPlan plan = PlanBuiltInRemoval(machine.platform(), Row(devicePath));
        std::vector<std::string> lines;
        for (const PlanItem& item : plan.items) {
            lines.push_back(std::string(PlanItemKindName(item.kind)) + " " + item.path.c_str());
        }
        if (kept != nullptr) {
            kept->clear();
            for (const KeptPackage& package : plan.kept) {
                kept->push_back(std::string(package.infPath.c_str()) + " " +
                                package.usedBy.c_str());
            }
        }
        return lines;
    }

    void AddDevice(const std::string& key, const char* driver) {
        machine.registry().SetString(key, "ClassGUID", "{6bdd1fc6-810f-11d0-bec7-08002be2092f}");
        machine.registry().SetString(key, "Driver", driver);
    }

    sim::SimWindows machine;
    std::unique_ptr<ScannerTable> table = std::make_unique<ScannerTable>();
};

// A package whose TWAIN line names no safe folder is left out, as the scan leaves out a row's
// INF for it: it is not planned, and as an INF that stays installed it keeps every file it
// lists, each named with the reason.
TEST_F(PlanPackagesTest, AnotherPackageWithAnUnsafeTwainLineIsLeftOutAndKeepsItsFiles) {
    std::string inf;
    ASSERT_TRUE(machine.files().ReadFile(std::string(kInf) + "oem31.inf", &inf));
    inf.replace(inf.find("twain_32\\QuorinK4100"), 20, "twain_32\\..\\system32");
    ASSERT_TRUE(machine.files().AddFile(std::string(kInf) + "oem38.inf", inf));
    const std::vector<std::string> plan = Plan(kK4100);
    EXPECT_EQ(std::count(plan.begin(), plan.end(), "infPackage C:\\windows\\inf\\oem38.inf"), 0);
    EXPECT_EQ(
        std::count(plan.begin(), plan.end(), "driverFile C:\\windows\\system32\\QuorinK4100.dll"),
        0);
    const RemovalPlan full = PlanBuiltInRemoval(machine.platform(), Row(kK4100));
    std::vector<std::string> keptFiles;
    for (const KeptFile& file : full.keptFiles) {
        keptFiles.push_back(std::string(file.path.c_str()) + ": " + file.reason);
    }
    EXPECT_NE(std::find(keptFiles.begin(), keptFiles.end(),
                        "C:\\windows\\system32\\QuorinK4100.dll: listed by oem38.inf"),
              keptFiles.end());
}

// Another device of the maker that uses a package (a K4110, which the current package also
// lists) does not keep it; a driver key that no device names does, with every file it names,
// also where the InfPath is a path rather than a bare name.
TEST_F(PlanPackagesTest, OnlyADeviceThatIsNotTheMakersKeepsAPackage) {
    const std::vector<std::string> before = Plan(kK4100);
    const std::string k4110 = "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_4110\\7&1&0&5";
    AddDevice(k4110, "{6bdd1fc6-810f-11d0-bec7-08002be2092f}\\0005");
    machine.registry().SetString(std::string(kClass) + "\\0005", "InfPath", "OEM32.INF");
    std::vector<std::string> kept;
    EXPECT_EQ(Plan(kK4100, &kept), before);
    EXPECT_TRUE(kept.empty());
    // A device of the maker whose class is never a scanner's (another function of a
    // multifunction device) is not one of its scanners: it keeps the package.
    machine.registry().SetString(k4110, "ClassGUID", "{36FC9E60-C465-11CF-8056-444553540000}");
    Plan(kK4100, &kept);
    EXPECT_EQ(kept,
              (std::vector<std::string>{
                  "C:\\windows\\inf\\oem32.inf {6bdd1fc6-810f-11d0-bec7-08002be2092f}\\0005"}));
    machine.registry().SetString(k4110, "ClassGUID", "{6bdd1fc6-810f-11d0-bec7-08002be2092f}");

    machine.registry().SetString(std::string(kClass) + "\\0006", "InfPath",
                                 "C:\\Windows\\INF\\oem31.inf");
    EXPECT_EQ(Plan(kK4100, &kept), (std::vector<std::string>{
                                       "deviceInstance USB\\VID_0C6E&PID_4100",
                                       "driverFile C:\\windows\\system32\\QuorinK41.dll",
                                       "driverFile C:\\windows\\SysWOW64\\QuorinK41.dll",
                                       "driverFile C:\\windows\\system32\\QuorinK4100Wia.dll",
                                       "infPackage C:\\windows\\inf\\oem32.inf",
                                       "infPackage C:\\windows\\inf\\oem35.inf",
                                       "dataSourceFolder C:\\windows\\twain_32\\QuorinK41",
                                       "dataSourceFolder C:\\windows\\twain_64\\QuorinK41",
                                   }));
    EXPECT_EQ(kept,
              (std::vector<std::string>{
                  "C:\\windows\\inf\\oem31.inf {6bdd1fc6-810f-11d0-bec7-08002be2092f}\\0006"}));
}

// When the driver keys cannot all be read, who uses a package cannot be told: every package of
// the scanner is kept, its own included, with all their files; the device still goes.
TEST_F(PlanPackagesTest, DriverKeysThatCannotBeReadKeepEveryPackage) {
    const struct {
        const char* call;
        std::string argument;
    } kFaults[] = {
        {"RegOpenKeyExA", "CurrentControlSet\\Control\\Class"},
        {"RegEnumKeyA", "Control\\Class\\{6bdd1fc6"},
        {"RegOpenKeyExA", "\\0003"},
        {"RegQueryValueExA", "\\0002\\InfPath"},
    };
    for (const auto& fault : kFaults) {
        SCOPED_TRACE(std::string(fault.call) + " " + fault.argument);
        machine.faults().Clear();
        machine.faults().Add({fault.call, fault.argument, 5});
        std::vector<std::string> kept;
        EXPECT_EQ(Plan(kK4100, &kept),
                  (std::vector<std::string>{"deviceInstance USB\\VID_0C6E&PID_4100"}));
        EXPECT_EQ(kept, (std::vector<std::string>{"C:\\windows\\inf\\oem32.inf ",
                                                  "C:\\windows\\inf\\oem31.inf ",
                                                  "C:\\windows\\inf\\oem35.inf "}));
    }
    // A maker's device whose Driver value or class cannot be read counts as another maker's.
    for (const char* value : {"\\Driver", "\\ClassGUID"}) {
        SCOPED_TRACE(value);
        machine.faults().Clear();
        machine.faults().Add({"RegQueryValueExA", std::string("PID_4100\\5&19a2&0&1") + value, 5});
        std::vector<std::string> kept;
        Plan(kK4100, &kept);
        EXPECT_EQ(kept, (std::vector<std::string>{"C:\\windows\\inf\\oem32.inf "
                                                  "{6bdd1fc6-810f-11d0-bec7-08002be2092f}\\0000"}));
    }
}

// The window's removal and the command line's walk the plan: the package Acme's device uses
// stays with the data source and DLL it names, and no uninstall call ever names it.
TEST_F(PlanPackagesTest, TheWalkNeverActsOnAKeptPackage) {
    const ScannerRecord k4300 = Row(kK4300);
    const RemovalOutcome outcome =
        RemoveBuiltIn(machine.platform(), k4300, PlanBuiltInRemoval(machine.platform(), k4300),
                      NoBackup())
            .outcome;
    for (const ItemResult& result : outcome.items) {
        EXPECT_EQ(result.outcome, ItemOutcome::Deleted) << result.item.path.c_str();
    }
    EXPECT_FALSE(machine.files().Exists(std::string(kInf) + "oem37.inf"));
    EXPECT_FALSE(machine.files().Exists(std::string(kInf) + "oem37.pnf"));
    for (const char* path :
         {"C:\\windows\\inf\\oem33.inf", "C:\\windows\\inf\\oem33.pnf",
          "C:\\windows\\system32\\QuorinK4300.dll", "C:\\windows\\twain_32\\QuorinK4300"}) {
        EXPECT_TRUE(machine.files().Exists(path)) << path;
    }
    for (const std::string& call : machine.faults().calls()) {
        for (const char* change : {"SetupUninstallOEMInfA", "DiUninstallDriverW", "DeleteFileA",
                                   "SetFileAttributesA", "MoveFileExA", "RemoveDirectoryA"}) {
            EXPECT_FALSE(call.rfind(change, 0) == 0 &&
                         (call.find("oem33") != std::string::npos ||
                          call.find("QuorinK4300") != std::string::npos))
                << call;
        }
    }
}

}  // namespace
}  // namespace drvsweep
