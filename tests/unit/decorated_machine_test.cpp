#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discovery/inf_index.h"
#include "discovery/scanner_table.h"
#include "platform/sim/sim_scenario.h"
#include "platform/sim/sim_windows.h"
#include "removal/removal_targets.h"
#include "tests/support/test_machine.h"

// The 64-bit machine of today's driver packages (scenario decorated_x64): what the scan and its
// index know of it, and what the removal's targets make of a WIA-only row.
namespace drvsweep {
namespace {

ScannerTable table;

class DecoratedMachineTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(sim::LoadScenario(testing::FixturePath("decorated_x64"), &machine, &error))
            << error;
    }

    const ScannerRecord* Row(const char* devicePath) const {
        for (int row = 0; row <= table.lastIndex; ++row) {
            if (std::string(table.rows[row].devicePath.c_str()) == devicePath) {
                return &table.rows[row];
            }
        }
        return nullptr;
    }

    sim::SimWindows machine;
};

// A WIA-only package keeps its INF; its empty data source folder and DLL name give the removal
// no file or folder to delete, only the package itself.
TEST_F(DecoratedMachineTest, AWiaOnlyRowGoesOnlyAsAPackage) {
    Platform& platform = machine.platform();
    ScanInstalledScanners(platform, table);
    const ScannerRecord* row = Row("USB\\VID_0C6E&PID_6100");
    ASSERT_NE(row, nullptr);
    EXPECT_STREQ(row->infPath.c_str(), "C:\\windows\\inf\\oem8.inf");
    EXPECT_TRUE(row->twainFolder.empty());
    EXPECT_TRUE(row->driverDll.empty());

    EXPECT_TRUE(DriverFilePaths(platform, row->driverDll.c_str(), row->busKind).empty());
    EXPECT_TRUE(TwainDataSourceTargets(platform, row->twainFolder.c_str()).empty());
    const DriverPackageTarget package = DriverPackageTargetOf(platform, row->infPath.c_str());
    EXPECT_STREQ(package.infName.c_str(), "oem8.inf");
    EXPECT_STREQ(package.pnfPath.c_str(), "C:\\windows\\inf\\oem8.pnf");
}

// The index names both versions of the updated K5210, the package staged without a device, and
// never the other maker's package of the same shape.
TEST_F(DecoratedMachineTest, TheIndexKnowsEveryPackageOfTheMaker) {
    InfIndex index(machine.platform());
    std::vector<std::string> k5210;
    for (const PathText& path : index.FindEveryDriverInf("USB\\VID_0C6E&PID_5210")) {
        k5210.push_back(path.c_str());
    }
    EXPECT_EQ(k5210, (std::vector<std::string>{"C:\\windows\\inf\\oem2.inf",
                                               "C:\\windows\\inf\\oem5.inf"}));
    std::vector<std::string> packages;
    for (const MakerPackage& package : index.MakerPackages()) {
        packages.push_back(std::string(package.infPath.c_str()) + " " +
                           package.models.front().hardwareId.c_str() + " " +
                           package.models.front().description.c_str());
    }
    EXPECT_EQ(packages,
              (std::vector<std::string>{
                  "C:\\windows\\inf\\oem11.inf PCMCIA\\QUORIN-ROAMDOC-5E1A Quorin RoamDoc PC "
                  "Card Scanner",
                  "C:\\windows\\inf\\oem14.inf USB\\VID_0C6E&PID_7700 Quorin K7700 USB Scanner",
                  "C:\\windows\\inf\\oem2.inf USB\\VID_0C6E&PID_5210 Quorin K5210 USB Scanner "
                  "(1.0)",
                  "C:\\windows\\inf\\oem5.inf USB\\VID_0C6E&PID_5210 Quorin K5210 USB Scanner",
                  "C:\\windows\\inf\\oem8.inf USB\\VID_0C6E&PID_6100 Quorin WX610 Scanner",
              }));
}

}  // namespace
}  // namespace drvsweep
