#include "discovery/bus_scan.h"

#include <gtest/gtest.h>

#include <string>

#include "discovery/scanner_table.h"
#include "platform/sim/sim_windows.h"
#include "tests/support/table_dump.h"

namespace drvsweep {
namespace {

constexpr char kUsb[] = "SYSTEM\\CurrentControlSet\\Enum\\USB\\";
constexpr char kPcCard[] = "SYSTEM\\CurrentControlSet\\Enum\\PCMCIA\\";

class BusScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        machine.registry().CreateKey("SYSTEM\\CurrentControlSet\\Enum\\USB");
        machine.registry().CreateKey("SYSTEM\\CurrentControlSet\\Enum\\PCMCIA");
        machine.files().AddFolder("C:\\windows\\inf");
    }

    void AddDevice(const std::string& busPrefix, const std::string& name,
                   const std::string& description = "A scanner") {
        machine.registry().SetString(busPrefix + name + "\\1", "DeviceDesc", description);
    }

    void AddInf(const std::string& file, const std::string& hardwareId,
                const std::string& twainLine) {
        machine.files().AddFile("C:\\windows\\inf\\" + file,
                                "[Version]\r\nSignature=\"$Windows NT$\"\r\n"
                                "[Manufacturer]\r\n%Mfg%=Models\r\n"
                                "[Models]\r\n%Dev%=Install," +
                                    hardwareId + "\r\n[DestinationDirs]\r\nDefaultDestDir=11\r\n" +
                                    twainLine + "\r\n[Strings]\r\nMfg=\"Quorin\"\r\n");
    }

    void Scan() { ScanInstalledScanners(machine.platform(), table); }
    std::string Path(int row) const { return table.rows[row].devicePath.c_str(); }
    std::string Description(int row) const { return table.rows[row].description.c_str(); }

    sim::SimWindows machine;
    static ScannerTable table;
};

ScannerTable BusScanTest::table;

TEST_F(BusScanTest, OnlyTheTwoSpellingsOfEachBusTokenMatch) {
    for (const char* name : {"VID_0C6E&PID_0001", "Vid_0c6e&Pid_0002", "vid_0c6e&pid_0003",
                             "VID_0c6e&PID_0004", "VID_04A9&PID_0005"}) {
        AddDevice(kUsb, name);
    }
    for (const char* name : {"QUORIN-ROAMDOC-5E1A", "XRDN-CQ-D41E-2", "Quorin-ROAMDOC-5E1A"}) {
        AddDevice(kPcCard, name);
    }
    Scan();
    ASSERT_EQ(table.lastIndex, 3);
    EXPECT_EQ(Path(0), "USB\\VID_0C6E&PID_0001");
    EXPECT_EQ(Path(1), "USB\\Vid_0c6e&Pid_0002");
    EXPECT_EQ(Path(2), "PCMCIA\\QUORIN-ROAMDOC-5E1A");
    EXPECT_EQ(Path(3), "PCMCIA\\XRDN-CQ-D41E-2");
    EXPECT_EQ(table.rows[1].busKind, BusKind::Usb);
    EXPECT_EQ(table.rows[2].busKind, BusKind::PcCard);
    EXPECT_EQ(machine.openHandles(), 0);
}

TEST_F(BusScanTest, ARowKeepsWhatCouldBeReadOfItsDevice) {
    machine.registry().CreateKey(std::string(kUsb) + "VID_0C6E&PID_0001");  // no instance
    machine.registry().SetString(std::string(kUsb) + "VID_0C6E&PID_0002\\A", "DeviceDesc", "A");
    machine.registry().SetString(std::string(kUsb) + "VID_0C6E&PID_0002\\B", "DeviceDesc", "B");
    machine.registry().SetString(std::string(kUsb) + "VID_0C6E&PID_0003\\1", "Driver", "x");
    machine.registry().SetString(std::string(kUsb) + "VID_0C6E&PID_0004\\1", "DeviceDesc",
                                 std::string(260, 'L'));
    machine.registry().SetString(std::string(kUsb) + "VID_0C6E&PID_0005\\1", "DeviceDesc",
                                 std::string(259, 'F'));
    machine.registry().SetValue(std::string(kUsb) + "VID_0C6E&PID_0006\\1", "DeviceDesc",
                                sim::kRegBinary, std::string(260, 'B'));
    machine.registry().SetValue(std::string(kUsb) + "VID_0C6E&PID_0007\\1", "DeviceDesc",
                                sim::kRegBinary, std::string(259, 'N'));
    Scan();
    ASSERT_EQ(table.lastIndex, 6);
    EXPECT_EQ(Description(0), "");
    EXPECT_EQ(Description(1), "A") << "a device with two instances gets one row, the first's";
    EXPECT_EQ(Description(2), "");
    EXPECT_EQ(Description(3), "") << "a description over 259 characters is not read";
    EXPECT_EQ(Description(4), std::string(259, 'F'));
    EXPECT_EQ(Description(5), "") << "260 bytes without a terminator are not a text";
    EXPECT_EQ(Description(6), std::string(259, 'N'));
    EXPECT_TRUE(table.usbIncomplete) << "a description that cannot be held is not read";
    for (int row = 0; row <= table.lastIndex; ++row) {
        EXPECT_EQ(table.rows[row].busKind, BusKind::Usb);
        EXPECT_TRUE(table.rows[row].infPath.empty());
    }
}

// A PC Card device whose key cannot be read, and a device of either bus whose description
// cannot be read, keep a row with their bus and path only.
TEST_F(BusScanTest, AFailingReadLeavesTheRowWithBusAndPathOnly) {
    const struct {
        sim::FaultRule fault;
        bool usb;  // whether the USB device's read fails, or the PC Card's
    } cases[] = {
        {{"RegOpenKeyExA", "QUORIN-1"}, false},
        {{"RegEnumKeyA", "QUORIN-1"}, false},
        {{"RegQueryValueExA", "QUORIN-1\\1\\DeviceDesc"}, false},
        {{"RegQueryValueExA", "VID_0C6E&PID_0001\\1\\DeviceDesc"}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault.call + " " + c.fault.argumentContains);
        sim::SimWindows fresh;
        fresh.registry().SetString(std::string(kUsb) + "VID_0C6E&PID_0001\\1", "DeviceDesc", "A");
        fresh.registry().SetString(std::string(kPcCard) + "QUORIN-1\\1", "DeviceDesc", "C");
        fresh.faults().Add(c.fault);
        ScanInstalledScanners(fresh.platform(), table);
        ASSERT_EQ(table.lastIndex, 1);
        EXPECT_EQ(Path(0), "USB\\VID_0C6E&PID_0001");
        EXPECT_EQ(Path(1), "PCMCIA\\QUORIN-1");
        EXPECT_EQ(Description(0), c.usb ? "" : "A");
        EXPECT_EQ(Description(1), c.usb ? "C" : "");
        EXPECT_EQ(fresh.openHandles(), 0);
    }
}

TEST_F(BusScanTest, AnEnumerationErrorEndsOnlyThatBus) {
    AddDevice(kUsb, "VID_0C6E&PID_0001");
    AddDevice(kUsb, "VID_0C6E&PID_0002");
    AddDevice(kPcCard, "QUORIN-1");
    // The bus key's second enumeration is the third RegEnumKeyA below Enum\USB: the first
    // device key's instance enumeration comes between.
    machine.faults().Add({"RegEnumKeyA", "Enum\\USB", 259, 2, 1});
    Scan();
    ASSERT_EQ(table.lastIndex, 1);
    EXPECT_EQ(Path(0), "USB\\VID_0C6E&PID_0001");
    EXPECT_EQ(Path(1), "PCMCIA\\QUORIN-1");
    EXPECT_EQ(machine.openHandles(), 0);
}

TEST_F(BusScanTest, ABusThatCannotBeOpenedAddsNoRows) {
    AddDevice(kUsb, "VID_0C6E&PID_0001");
    AddDevice(kPcCard, "QUORIN-1");
    machine.faults().Add({"RegOpenKeyExA", "Enum\\USB", 5, 0, 1});
    Scan();
    ASSERT_EQ(table.lastIndex, 0);
    EXPECT_EQ(Path(0), "PCMCIA\\QUORIN-1");
}

// A key or value that is not there is an answer; a read that fails any other way leaves its
// bus's scan incomplete.
TEST_F(BusScanTest, ABusWithAKeyThatCouldNotBeReadIsMarkedIncomplete) {
    AddDevice(kUsb, "VID_0C6E&PID_0001");
    machine.registry().CreateKey(std::string(kUsb) + "VID_0C6E&PID_0002");     // no instance
    machine.registry().CreateKey(std::string(kUsb) + "VID_0C6E&PID_0003\\1");  // no description
    AddDevice(kPcCard, "QUORIN-1");
    const struct {
        const char* name;
        sim::FaultRule fault;
        bool usb;
        bool pcCard;
    } cases[] = {
        {"every key read", {}, false, false},
        {"no PC Card tree", {"RegOpenKeyExA", "Enum\\PCMCIA", 2, 0, 1}, false, false},
        {"the USB tree", {"RegOpenKeyExA", "Enum\\USB", 5, 0, 1}, true, false},
        {"the PC Card tree's subkeys", {"RegEnumKeyA", "Enum\\PCMCIA", 1018, 0, 1}, false, true},
        {"a device key", {"RegOpenKeyExA", "PID_0001"}, true, false},
        {"its instances", {"RegEnumKeyA", "PID_0001"}, true, false},
        {"its instance key", {"RegOpenKeyExA", "PID_0001\\1"}, true, false},
        {"its class", {"RegQueryValueExA", "PID_0001\\1\\ClassGUID"}, true, false},
        {"its description", {"RegQueryValueExA", "PID_0001\\1\\DeviceDesc"}, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine.faults().Clear();
        if (!c.fault.call.empty()) {
            machine.faults().Add(c.fault);
        }
        Scan();
        EXPECT_EQ(table.usbIncomplete, c.usb);
        EXPECT_EQ(table.pcCardIncomplete, c.pcCard);
    }
}

// The printer interface and composite parent of a multifunction device carry the maker's
// vendor ID but are no scanners: they get no row, and the scan stays complete. A USB device
// whose class cannot be told (its key, instances or class cannot be read) gets none either: its
// bus is incomplete (see above). PC Card devices keep their rows whatever their class.
TEST_F(BusScanTest, OnlyAUsbDeviceThatMayBeAScannerGetsARow) {
    const std::string usbClass = "{36fc9e60-c465-11cf-8056-444553540000}";
    AddDevice(kUsb, "VID_0C6E&PID_0051", "USB Composite Device");
    AddDevice(kUsb, "VID_0C6E&PID_0051&MI_00", "USB Printing Support");
    AddDevice(kUsb, "VID_0C6E&PID_0051&MI_01", "Quorin MF51 Scanner");
    AddDevice(kUsb, "VID_0C6E&PID_0052", "Quorin scanner without a driver");
    AddDevice(kPcCard, "QUORIN-ROAMDOC-5E1A", "Quorin RoamDoc");
    for (const char* device : {"USB\\VID_0C6E&PID_0051", "USB\\VID_0C6E&PID_0051&MI_00",
                               "PCMCIA\\QUORIN-ROAMDOC-5E1A"}) {
        machine.registry().SetString(
            std::string("SYSTEM\\CurrentControlSet\\Enum\\") + device + "\\1", "ClassGUID",
            usbClass);
    }
    machine.registry().SetString(std::string(kUsb) + "VID_0C6E&PID_0051&MI_01\\1", "ClassGUID",
                                 "{6bdd1fc6-810f-11d0-bec7-08002be2092f}");
    Scan();
    ASSERT_EQ(table.lastIndex, 2) << testing::DumpScannerTable(table);
    EXPECT_EQ(Path(0), "USB\\VID_0C6E&PID_0051&MI_01");
    EXPECT_EQ(Path(1), "USB\\VID_0C6E&PID_0052");
    EXPECT_EQ(Path(2), "PCMCIA\\QUORIN-ROAMDOC-5E1A");
    EXPECT_FALSE(table.usbIncomplete);

    const sim::FaultRule faults[] = {{"RegOpenKeyExA", "PID_0051&MI_01"},
                                     {"RegEnumKeyA", "PID_0051&MI_01"},
                                     {"RegQueryValueExA", "PID_0051&MI_01\\1\\ClassGUID"}};
    for (const sim::FaultRule& fault : faults) {
        SCOPED_TRACE(fault.call);
        machine.faults().Clear();
        machine.faults().Add(fault);
        Scan();
        ASSERT_EQ(table.lastIndex, 1) << testing::DumpScannerTable(table);
        EXPECT_EQ(Path(0), "USB\\VID_0C6E&PID_0052");
        EXPECT_EQ(machine.openHandles(), 0);
    }
}

TEST_F(BusScanTest, TheTableNeverGrowsPastItsLastRow) {
    for (int i = 0; i < 300; ++i) {
        machine.registry().CreateKey(std::string(kUsb) + "VID_0C6E&PID_" +
                                     std::to_string(1000 + i));
    }
    AddDevice(kPcCard, "QUORIN-1");
    Scan();
    EXPECT_EQ(table.lastIndex, kScannerRows - 1);
    EXPECT_EQ(Path(259), "USB\\VID_0C6E&PID_1259");
    EXPECT_TRUE(table.usbIncomplete && table.pcCardIncomplete) << "devices were left out";
    EXPECT_EQ(machine.openHandles(), 0);
}

// A devicePath that fits while its device key's path does not: the PC Card device keeps a row
// with its path only, the USB device, whose class cannot be told, gets none.
TEST_F(BusScanTest, ADeviceWhosePathWouldNotFitGetsNoRow) {
    const std::string usb = "VID_0C6E&" + std::string(255 - 9, 'F');   // "USB\" + 255 = 259
    const std::string fits = "QUORIN" + std::string(252 - 6, 'F');     // "PCMCIA\" + 252 = 259
    const std::string tooLong = "QUORIN" + std::string(253 - 6, 'P');  // "PCMCIA\" + 253
    AddDevice(kUsb, usb);
    AddDevice(kPcCard, fits);
    AddDevice(kPcCard, tooLong);
    Scan();
    ASSERT_EQ(table.lastIndex, 0);
    EXPECT_EQ(Path(0), "PCMCIA\\" + fits);
    EXPECT_EQ(Description(0), "") << "its device key path does not fit 260 bytes";
    EXPECT_TRUE(table.usbIncomplete && table.pcCardIncomplete);
}

TEST_F(BusScanTest, TheFamilyChoosesTheDeviceTreeAndTheKernelDriver) {
    const std::string nineUsb = "Enum\\USB\\";
    const std::string ninePcCard = "Enum\\PCMCIA\\";
    AddDevice(kUsb, "VID_0C6E&PID_0001", "NT scanner");
    AddDevice(nineUsb, "VID_0C6E&PID_0002", "9x scanner");
    AddDevice(kPcCard, "QUORIN-NT", "NT card");
    AddDevice(ninePcCard, "QUORIN-9X", "9x card");
    machine.files().AddFile("C:\\windows\\inf\\other\\card.inf",
                            "[Version]\r\nSignature=$CHICAGO$\r\n[Manufacturer]\r\nQ=M\r\n"
                            "[M]\r\nD=I,PCMCIA\\QUORIN-9X\r\n");
    AddInf("oem1.inf", "PCMCIA\\QUORIN-NT", "Tw=10,twain_32\\Ignored");

    Scan();
    ASSERT_EQ(table.lastIndex, 1);
    EXPECT_EQ(Description(0), "NT scanner");
    EXPECT_EQ(Description(1), "NT card");
    EXPECT_STREQ(table.rows[1].kernelDriver.c_str(), "Orbdrv.sys");
    EXPECT_STREQ(table.rows[1].twainFolder.c_str(), "Orbdrv");
    EXPECT_STREQ(table.rows[1].driverDll.c_str(), "Orbdrv.dll");

    machine.SetFamily(Family::Win9x);
    Scan();
    ASSERT_EQ(table.lastIndex, 1);
    EXPECT_EQ(Description(0), "9x scanner");
    EXPECT_EQ(Description(1), "9x card");
    EXPECT_STREQ(table.rows[1].infPath.c_str(), "C:\\windows\\inf\\other\\card.inf");
    EXPECT_STREQ(table.rows[1].kernelDriver.c_str(), "Orbdrv.vxd");
}

// A TWAIN line that names no safe folder leaves the row without its INF; an INF without a
// readable TWAIN line is a driver without a data source (WIA only): its row keeps the INF as a
// package to remove, with no data source folder or DLL name.
TEST_F(BusScanTest, AUsbRowKeepsItsInfUnlessTheTwainLineIsUnsafe) {
    for (const char* name :
         {"VID_0C6E&PID_0001", "VID_0C6E&PID_0002", "VID_0C6E&PID_0003", "VID_0C6E&PID_0004"}) {
        AddDevice(kUsb, name);
    }
    AddInf("oem1.inf", "USB\\VID_0C6E&PID_0001", "Tw=10,twain_32\\Sample");
    AddInf("oem2.inf", "USB\\VID_0C6E&PID_0002", "Tw=10,twain_32\\..");
    AddInf("oem3.inf", "USB\\VID_0C6E&PID_0003", "Sti=11");
    // A TWAIN line over 259 characters cannot be read, so no TWAIN line is found.
    AddInf("oem4.inf", "USB\\VID_0C6E&PID_0004", "Tw=10,twain_32\\" + std::string(252, 'x'));
    Scan();
    ASSERT_EQ(table.lastIndex, 3);
    EXPECT_STREQ(table.rows[0].twainFolder.c_str(), "Sample");
    EXPECT_STREQ(table.rows[0].driverDll.c_str(), "Sample.dll");
    EXPECT_STREQ(table.rows[0].infPath.c_str(), "C:\\windows\\inf\\oem1.inf");
    EXPECT_TRUE(table.rows[1].infPath.empty());
    EXPECT_STREQ(table.rows[2].infPath.c_str(), "C:\\windows\\inf\\oem3.inf");
    EXPECT_STREQ(table.rows[3].infPath.c_str(), "C:\\windows\\inf\\oem4.inf");
    for (int row : {1, 2, 3}) {
        SCOPED_TRACE(row);
        EXPECT_TRUE(table.rows[row].twainFolder.empty());
        EXPECT_TRUE(table.rows[row].driverDll.empty());
    }
}

// On the NT family the INF that the device's driver key names comes before the search; the
// search is the fallback wherever that name is not a bare OEM INF of the INF folder.
TEST_F(BusScanTest, TheDevicesOwnInfComesBeforeTheSearch) {
    const std::string classKey = "SYSTEM\\CurrentControlSet\\Control\\Class\\{6bdd1fc6}\\";
    const struct {
        const char* infPath;  // the driver key's InfPath; null: no driver key
        const char* found;
    } cases[] = {
        {"oem9.inf", "C:\\windows\\inf\\oem9.inf"},
        {"OEM9.INF", "C:\\windows\\inf\\oem9.inf"},
        {nullptr, "C:\\windows\\inf\\oem1.inf"},
        {"oem8.inf", "C:\\windows\\inf\\oem1.inf"},  // not in the folder
        {"scanner.inf", "C:\\windows\\inf\\oem1.inf"},
        {"C:\\windows\\inf\\oem9.inf", "C:\\windows\\inf\\oem1.inf"},
        {"..\\inf\\oem9.inf", "C:\\windows\\inf\\oem1.inf"},
        {"", "C:\\windows\\inf\\oem1.inf"},
    };
    AddDevice(kUsb, "VID_0C6E&PID_0001");
    machine.registry().SetString(std::string(kUsb) + "VID_0C6E&PID_0001\\1", "Driver",
                                 "{6bdd1fc6}\\0001");
    AddInf("oem1.inf", "USB\\VID_0C6E&PID_0001", "Tw=10,twain_32\\Old");
    // The device's own INF need not list it under the same hardware ID.
    AddInf("oem9.inf", "USB\\VID_0C6E&PID_0001&REV_0200", "Tw=10,twain_32\\New");
    machine.files().AddFile("C:\\windows\\inf\\scanner.inf", "");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.infPath ? c.infPath : "<no driver key>");
        machine.registry().DeleteKey((classKey + "0001").c_str());
        if (c.infPath != nullptr) {
            machine.registry().SetString(classKey + "0001", "InfPath", c.infPath);
        }
        Scan();
        ASSERT_EQ(table.lastIndex, 0);
        EXPECT_STREQ(table.rows[0].infPath.c_str(), c.found);
        EXPECT_FALSE(table.usbIncomplete);
        EXPECT_EQ(machine.openHandles(), 0);
    }

    machine.registry().SetString(classKey + "0001", "InfPath", "oem9.inf");
    machine.faults().Add({"RegQueryValueExA", "\\InfPath"});
    Scan();
    EXPECT_STREQ(table.rows[0].infPath.c_str(), "C:\\windows\\inf\\oem1.inf")
        << "a driver key whose InfPath cannot be read";
    EXPECT_TRUE(table.usbIncomplete) << "the INF Windows chose is not known";
}

TEST_F(BusScanTest, ARescanStartsFromAClearTable) {
    AddDevice(kUsb, "VID_0C6E&PID_0001");
    AddDevice(kUsb, "VID_0C6E&PID_0002");
    Scan();
    RemoveScannerRow(table, 0);
    machine.registry().RemoveTree(std::string(kUsb) + "VID_0C6E&PID_0002");
    Scan();
    ASSERT_EQ(table.lastIndex, 0);
    EXPECT_EQ(Path(0), "USB\\VID_0C6E&PID_0001");
    for (int row = 1; row < kScannerRows; ++row) {
        ASSERT_EQ(table.rows[row].busKind, BusKind::None) << row;
        ASSERT_TRUE(table.rows[row].devicePath.empty()) << row;
    }
}

}  // namespace
}  // namespace drvsweep
