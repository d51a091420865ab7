#include "discovery/package_rows.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "discovery/scanner_table.h"
#include "platform/sim/sim_windows.h"
#include "removal/removal_plan.h"
#include "removal/scanner_removal.h"
#include "tests/support/table_dump.h"

// The rows the scan adds, after the scanners, for the maker's driver packages that no device
// uses.
namespace drvsweep {
namespace {

constexpr char kUsb[] = "SYSTEM\\CurrentControlSet\\Enum\\USB\\";

class PackageRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        machine.registry().CreateKey("SYSTEM\\CurrentControlSet\\Enum\\USB");
        machine.files().AddFolder("C:\\windows\\inf");
    }

    // A device of the maker; without a description the scan looks for no INF of its own.
    void AddDevice(const std::string& name, bool described = true) {
        if (described) {
            machine.registry().SetString(kUsb + name + "\\1", "DeviceDesc", "A scanner");
        } else {
            machine.registry().CreateKey(kUsb + name);
        }
    }

    // An INF whose models line lists the hardware IDs with the description.
    void AddInf(const std::string& file, const std::string& hardwareIds,
                const std::string& twainLine = "Tw=10,twain_32\\Folder",
                const std::string& description = "Staged Scanner") {
        machine.files().AddFile(
            "C:\\windows\\inf\\" + file,
            "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n%Mfg%=Q,NTamd64\r\n"
            "[Q.NTamd64]\r\n%Desc%=Install," +
                hardwareIds + "\r\n[DestinationDirs]\r\nDefaultDestDir=11\r\n" + twainLine +
                "\r\n[Strings]\r\nMfg=\"Quorin\"\r\nDesc=\"" + description + "\"\r\n");
    }

    std::string Row(int index) const {
        const ScannerRecord& row = table.rows[index];
        return std::to_string(static_cast<int>(row.busKind)) + " " + row.devicePath.c_str() +
               " | " + row.description.c_str() + " | " + row.twainFolder.c_str() + " " +
               row.driverDll.c_str() + " " + row.kernelDriver.c_str() + " | " +
               row.infPath.c_str() + " " + (row.packageOnly ? "1" : "0");
    }

    sim::SimWindows machine;
    static ScannerTable table;
};

ScannerTable PackageRowsTest::table;

TEST_F(PackageRowsTest, OnePerPackageThatNoScannersRowCovers) {
    AddDevice("VID_0C6E&PID_0001");
    AddDevice("VID_0C6E&PID_0002", false);
    AddInf("oem1.inf", "USB\\VID_0C6E&PID_0001");
    // Listed by an ID that holds the scanner's: its removal takes this package too.
    AddInf("oem2.inf", "USB\\VID_0C6E&PID_0001&REV_0100");
    // The row of PID_0002 has no INF, so it covers nothing, and its devicePath stays its own.
    AddInf("oem3.inf", "USB\\VID_0C6E&PID_0002,USB\\VID_0C6E&PID_0003");
    AddInf("oem4.inf", "USB\\VID_0C6E&PID_0002");
    // An older version of the package of the row just added.
    AddInf("oem5.inf", "usb\\vid_0c6e&pid_0003");
    AddInf("oem6.inf", "PCMCIA\\QUORIN-ROAMDOC-5E1A", "");
    AddInf("oem7.inf", "USB\\VID_04B8&PID_0110");
    AddInf("oem8.inf", "USB\\VID_0C6E&PID_0008", "Tw=10,twain_32\\..\\system32");
    AddInf("oem9.inf", "USB\\VID_0C6E&PID_0009", "", std::string(300, 'D'));
    AddInf("oem99.inf", "ROOT\\QUORIN_PT", "Tw=10,twain_32\\Pt");

    ScanInstalledScanners(machine.platform(), table);
    ASSERT_EQ(table.lastIndex, 5) << testing::DumpScannerTable(table);
    EXPECT_EQ(Row(0),
              "200 USB\\VID_0C6E&PID_0001 | A scanner | Folder Folder.dll  | "
              "C:\\windows\\inf\\oem1.inf 0");
    EXPECT_EQ(Row(1), "200 USB\\VID_0C6E&PID_0002 |  |    |  0");
    EXPECT_EQ(Row(2),
              "200 USB\\VID_0C6E&PID_0003 | Staged Scanner | Folder Folder.dll  | "
              "C:\\windows\\inf\\oem3.inf 1");
    EXPECT_EQ(Row(3),
              "100 PCMCIA\\QUORIN-ROAMDOC-5E1A | Staged Scanner | Orbdrv Orbdrv.dll "
              "Orbdrv.sys | C:\\windows\\inf\\oem6.inf 1");
    // A WIA-only package whose description does not fit: shown by its hardware ID.
    EXPECT_EQ(Row(4),
              "200 USB\\VID_0C6E&PID_0009 | USB\\VID_0C6E&PID_0009 |    | "
              "C:\\windows\\inf\\oem9.inf 1");
    // A hardware ID of the maker off the PC Card bus names only the files its INF names.
    EXPECT_EQ(Row(5),
              "200 ROOT\\QUORIN_PT | Staged Scanner | Pt Pt.dll  | C:\\windows\\inf\\oem99.inf 1");
    EXPECT_EQ(machine.openHandles(), 0);
}

// A package whose INF was held open at its removal and is set to go at the restart is not
// listed again before the restart.
// A package whose INF is set to go at the restart is listed until then, and its removal says
// that it goes then: a run before the restart must not call the machine clean.
TEST_F(PackageRowsTest, APackageSetToGoAtTheRestartIsListedUntilThen) {
    AddInf("oem1.inf", "USB\\VID_0C6E&PID_0001");
    AddInf("oem2.inf", "USB\\VID_0C6E&PID_0002");
    ASSERT_TRUE(machine.files().DeleteAtRestart("C:\\windows\\inf\\oem1.inf"));
    ScanInstalledScanners(machine.platform(), table);
    ASSERT_EQ(table.lastIndex, 1) << testing::DumpScannerTable(table);
    EXPECT_STREQ(table.rows[0].infPath.c_str(), "C:\\windows\\inf\\oem1.inf");
    const ScannerRemovalResult removal =
        RemoveBuiltIn(machine.platform(), table.rows[0],
                      PlanBuiltInRemoval(machine.platform(), table.rows[0]), NoBackup());
    ASSERT_FALSE(removal.outcome.items.empty());
    EXPECT_EQ(removal.outcome.items[0].outcome, ItemOutcome::DeletedAtRestart);
    EXPECT_EQ(removal.outcome.restartReason(), RestartReason::FilesInUse);
    EXPECT_TRUE(machine.files().Exists("C:\\windows\\inf\\oem1.inf"))
        << "what is set to go is not acted on again";
}

// A package that a device of another maker uses is never removed, so it gets no row.
TEST_F(PackageRowsTest, APackageAnotherMakersDeviceUsesIsNotListed) {
    AddInf("oem1.inf", "USB\\VID_0C6E&PID_0001");
    AddInf("oem2.inf", "USB\\VID_0C6E&PID_0002");
    machine.registry().SetString(
        "SYSTEM\\CurrentControlSet\\Control\\Class\\{6bdd1fc6-810f-11d0-bec7-08002be2092f}\\0003",
        "InfPath", "oem1.inf");
    ScanInstalledScanners(machine.platform(), table);
    ASSERT_EQ(table.lastIndex, 0) << testing::DumpScannerTable(table);
    EXPECT_STREQ(table.rows[0].infPath.c_str(), "C:\\windows\\inf\\oem2.inf");
}

// A device the scan could not read may use any package that names an ID of its bus: listed as a
// driver without a device, the package would be removed from under it.
TEST_F(PackageRowsTest, NoPackageOfABusWhoseScanMissedADeviceIsListed) {
    AddDevice("VID_0C6E&PID_0001");
    AddInf("oem1.inf", "USB\\VID_0C6E&PID_0001,USB\\VID_0C6E&PID_0011");  // the device's
    AddInf("oem2.inf", "USB\\VID_0C6E&PID_0002");                         // staged
    AddInf("oem3.inf", "PCMCIA\\QUORIN-ROAMDOC-5E1A", "");
    const struct {
        const char* name;
        sim::FaultRule fault;
        std::string listed;
    } cases[] = {
        {"every key read", {}, "oem2.inf oem3.inf "},
        {"the USB tree's subkeys", {"RegEnumKeyA", "Enum\\USB", 5, 0, 1}, "oem3.inf "},
        {"the device's key", {"RegOpenKeyExA", "PID_0001"}, "oem3.inf "},
        {"the PC Card tree", {"RegOpenKeyExA", "Enum\\PCMCIA"}, "oem2.inf "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine.faults().Clear();
        if (!c.fault.call.empty()) {
            machine.faults().Add(c.fault);
        }
        ScanInstalledScanners(machine.platform(), table);
        std::string listed;
        for (int i = 0; i <= table.lastIndex; ++i) {
            if (table.rows[i].packageOnly) {
                listed += std::strrchr(table.rows[i].infPath.c_str(), '\\') + 1 + std::string(" ");
            }
        }
        EXPECT_EQ(listed, c.listed) << testing::DumpScannerTable(table);
    }
}

TEST_F(PackageRowsTest, TheTableNeverGrowsPastItsLastRow) {
    for (int i = 0; i < 4; ++i) {
        AddInf("oem" + std::to_string(i) + ".inf", "USB\\VID_0C6E&PID_90" + std::to_string(i));
    }
    // Devices without a description: no INF of their own, so every package stays uncovered.
    char name[32];
    for (int i = 0; i < kScannerRows - 2; ++i) {
        std::snprintf(name, sizeof name, "VID_0C6E&PID_%04d", i);
        AddDevice(name, false);
    }
    ScanInstalledScanners(machine.platform(), table);
    ASSERT_EQ(table.lastIndex, kScannerRows - 1);
    EXPECT_STREQ(table.rows[kScannerRows - 2].devicePath.c_str(), "USB\\VID_0C6E&PID_900");
    EXPECT_STREQ(table.rows[kScannerRows - 1].devicePath.c_str(), "USB\\VID_0C6E&PID_901");

    for (int i = kScannerRows - 2; i < kScannerRows; ++i) {
        std::snprintf(name, sizeof name, "VID_0C6E&PID_%04d", i);
        AddDevice(name, false);
    }
    ScanInstalledScanners(machine.platform(), table);
    ASSERT_EQ(table.lastIndex, kScannerRows - 1);
    EXPECT_FALSE(table.rows[kScannerRows - 1].packageOnly) << "a full table takes no package";
}

}  // namespace
}  // namespace drvsweep
