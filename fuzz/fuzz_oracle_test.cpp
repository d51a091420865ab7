#include <gtest/gtest.h>

#include <string>

#include "fuzz/fuzz_machine.h"
#include "fuzz/machine_snapshot.h"
#include "fuzz/removal_oracle.h"
#include "fuzz/step_checks.h"
#include "platform/restart_deletion.h"
#include "platform/win32_codes.h"

namespace drvsweep::fuzz {
namespace {

constexpr const char* kUsbDevice = "USB\\Vid_0c6e&Pid_5210";
constexpr const char* kInf = "C:\\windows\\inf\\oem3.inf";

// An NT machine with one Quorin USB scanner (two instances, one of them on another bus), its
// INF, DLL and TWAIN folder, and what lies beside them.
struct OracleMachine {
    OracleMachine() {
        sim::SimFileTree& files = machine.windows.files();
        files.AddFile(kInf,
                      "[Models]\r\n%Desc%=Install,USB\\VID_0C6E&PID_5210\r\n[DestinationDirs]\r\n"
                      "Twain=10,twain_32\\Quorin\\K5210\r\n");
        files.AddFile("C:\\windows\\inf\\oem3.pnf");
        files.AddFile("C:\\windows\\inf\\oem4.inf");
        files.AddFile("C:\\windows\\system32\\Quorin\\K5210.dll");
        files.AddFile("C:\\windows\\SysWOW64\\Quorin\\K5210.dll");
        files.AddFile("C:\\windows\\system32\\kernel32.dll");
        files.AddFile("C:\\windows\\twain_32\\Quorin\\K5210\\Quorin\\K5210.ds");
        files.AddFile("C:\\windows\\twain_64\\Quorin\\K5210\\x.ds");
        files.AddFile("C:\\windows\\twain_32\\Quorin\\other.ds");
        files.AddFile("C:\\windows\\twain_32\\sample.ds");
        AddDevice("USB\\Vid_0c6e&Pid_5210\\0000", std::string(kUsbDevice) + '\0' + '\0');
        AddDevice("PCI\\VEN_1\\0000", std::string(kUsbDevice) + "&Rev_01" + '\0' + '\0');
        AddDevice("ROOT\\IMAGE\\0000", std::string("X") + '\0' + kUsbDevice + '\0' + '\0');

        row.busKind = BusKind::Usb;
        row.devicePath.assign(kUsbDevice);
        row.infPath.assign(kInf);
        row.twainFolder.assign("Quorin\\K5210");
        row.driverDll.assign("Quorin\\K5210.dll");
    }

    void AddDevice(const std::string& instanceId, const std::string& ids) {
        const std::string key = "SYSTEM\\CurrentControlSet\\Enum\\" + instanceId;
        machine.windows.registry().SetValue(key, "HardwareID", sim::kRegMultiSz, ids);
        machine.windows.devices().AddDevice(sim::SimDevice{instanceId, ids, true});
        machine.deviceHardwareIds.emplace_back(instanceId, ids);
    }

    // The account of what deleting `path` (a file or folder tree) breaches, for the row.
    std::string AccountOfDeleting(const std::string& path) {
        const ScannerItems items = ItemsOf(machine, row);
        const MachineSnapshot before = TakeSnapshot(machine);
        RemoveFileTree(path);
        return AccountOfBreaches(CompareSnapshots(before, TakeSnapshot(machine)), &items);
    }

    void RemoveFileTree(const std::string& path) {
        sim::SimFileTree& files = machine.windows.files();
        for (const std::string& name : files.ListNames(path)) {
            RemoveFileTree(path + "\\" + name);
        }
        if (files.RemoveFile(path.c_str()) || files.RemoveFolder(path.c_str())) {
            return;
        }
        ADD_FAILURE() << "could not delete " << path;
    }

    FuzzMachine machine;
    ScannerRecord row;
};

// An entry set to go at the restart counts as deleted: the scanner's own may be, nothing else.
TEST(FuzzOracleTest, OnlyTheScannersOwnEntriesMayBeSetToGoAtTheRestart) {
    OracleMachine oracle;
    const ScannerItems items = ItemsOf(oracle.machine, oracle.row);
    sim::SimFileTree& files = oracle.machine.windows.files();
    const MachineSnapshot before = TakeSnapshot(oracle.machine);
    ASSERT_TRUE(files.DeleteAtRestart("C:\\windows\\system32\\Quorin\\K5210.dll"));
    ASSERT_TRUE(files.DeleteAtRestart("C:\\windows\\twain_32\\Quorin\\K5210"));
    EXPECT_EQ(AccountOfBreaches(CompareSnapshots(before, TakeSnapshot(oracle.machine)), &items),
              "");
    ASSERT_TRUE(files.DeleteAtRestart("C:\\windows\\system32\\kernel32.dll"));
    EXPECT_NE(AccountOfBreaches(CompareSnapshots(before, TakeSnapshot(oracle.machine)), &items)
                  .find("scheduled the deletion of a file or folder that is not the scanner's: "
                        "C:\\WINDOWS\\SYSTEM32\\KERNEL32.DLL"),
              std::string::npos);
}

// A WININIT.INI line holds a short path; once a later step deletes the entry, the line still
// reads as the scanner's entry, and is not new.
TEST(FuzzOracleTest, A9xLineNamesTheEntryAfterALaterStepDeletesIt) {
    OracleMachine oracle;
    sim::SimWindows& windows = oracle.machine.windows;
    windows.SetFamily(Family::Win9x);
    std::string inf;
    ASSERT_TRUE(windows.files().ReadFile(kInf, &inf));
    windows.files().AddFile("C:\\windows\\inf\\other\\oem3.inf", inf);
    oracle.row.infPath.assign("C:\\windows\\inf\\other\\oem3.inf");
    const std::string held = "C:\\windows\\twain_32\\Quorin\\K5210\\Read me first.txt";
    windows.files().AddFile(held);
    const std::string kernel = "C:\\windows\\system32\\kernel32.dll";
    const ScannerItems items = ItemsOf(oracle.machine, oracle.row);
    const MachineSnapshot first = TakeSnapshot(oracle.machine);
    ASSERT_TRUE(ScheduleDeletionAtRestart(windows.files(), windows.version(), held.c_str()));
    const MachineSnapshot scheduled = TakeSnapshot(oracle.machine);
    ASSERT_TRUE(windows.files().RemoveFile(held.c_str()));
    const MachineSnapshot deleted = TakeSnapshot(oracle.machine);
    EXPECT_EQ(AccountOfBreaches(CompareSnapshots(first, scheduled), &items), "");
    EXPECT_EQ(AccountOfBreaches(CompareSnapshots(scheduled, deleted), &items), "");
    EXPECT_EQ(AccountOfBreaches(CompareSnapshots(first, deleted), &items), "");
    ASSERT_TRUE(ScheduleDeletionAtRestart(windows.files(), windows.version(), kernel.c_str()));
    EXPECT_NE(AccountOfBreaches(CompareSnapshots(deleted, TakeSnapshot(oracle.machine)), &items)
                  .find("not the scanner's: C:\\WINDOWS\\SYSTEM32\\KERNEL32.DLL"),
              std::string::npos);
}

TEST(FuzzOracleTest, FilesTheScannerOwnsMayGoAndNothingBesideThem) {
    const struct {
        const char* path;
        bool allowed;
    } kCases[] = {
        {kInf, true},
        {"C:\\windows\\inf\\oem3.pnf", true},
        {"C:\\windows\\system32\\Quorin\\K5210.dll", true},
        {"C:\\windows\\SysWOW64\\Quorin\\K5210.dll", true},
        {"C:\\windows\\twain_32\\Quorin\\K5210\\Quorin", true},
        {"C:\\windows\\twain_32\\Quorin\\K5210", true},
        {"C:\\windows\\twain_64\\Quorin\\K5210", true},
        {"C:\\windows\\inf\\oem4.inf", false},
        {"C:\\windows\\system32\\kernel32.dll", false},
        {"C:\\windows\\twain_32\\Quorin\\other.ds", false},
        {"C:\\windows\\twain_32\\Quorin", false},
        {"C:\\windows\\twain_32", false},
        {"C:\\windows\\system32\\Quorin", false},
    };
    for (const auto& test : kCases) {
        SCOPED_TRACE(test.path);
        OracleMachine oracle;
        EXPECT_EQ(oracle.AccountOfDeleting(test.path).empty(), test.allowed);
    }
}

TEST(FuzzOracleTest, NoFileIsTheScannersWhenItsNamesAreNotBoundToItsInf) {
    const struct {
        const char* infPath;
        const char* twainFolder;
        const char* driverDll;
        const char* path;
    } kCases[] = {
        // An INF outside the INF folder, or one that does not list the device.
        {"C:\\windows\\system32\\kernel32.dll", "Quorin\\K5210", "Quorin\\K5210.dll",
         "C:\\windows\\system32\\kernel32.dll"},
        {"C:\\windows\\inf\\oem4.inf", "Quorin\\K5210", "Quorin\\K5210.dll",
         "C:\\windows\\inf\\oem4.inf"},
        // A folder name the INF does not hold, or that is not a plain relative name.
        {kInf, "Quorin", "Quorin.dll", "C:\\windows\\twain_32\\Quorin"},
        {kInf, "Quorin\\K5210\\..", "K5210.dll", "C:\\windows\\twain_32\\Quorin"},
        {kInf, "", ".dll", "C:\\windows\\twain_32\\sample.ds"},
        // A DLL that is not the folder's name + ".dll".
        {kInf, "Quorin\\K5210", "kernel32.dll", "C:\\windows\\system32\\kernel32.dll"},
    };
    for (const auto& test : kCases) {
        SCOPED_TRACE(test.path);
        OracleMachine oracle;
        oracle.row.infPath.assign(test.infPath);
        oracle.row.twainFolder.assign(test.twainFolder);
        oracle.row.driverDll.assign(test.driverDll);
        EXPECT_NE(oracle.AccountOfDeleting(test.path), "");
    }
}

TEST(FuzzOracleTest, DevicesWhoseHardwareIdsHoldDevicePathWholeMayGo) {
    OracleMachine oracle;
    const ScannerItems items = ItemsOf(oracle.machine, oracle.row);
    EXPECT_EQ(items.devices,
              (std::set<std::string>{"USB\\Vid_0c6e&Pid_5210\\0000", "ROOT\\IMAGE\\0000"}));

    const MachineSnapshot before = TakeSnapshot(oracle.machine);
    oracle.machine.windows.registry().RemoveTree("SYSTEM\\CurrentControlSet\\Enum\\USB");
    oracle.machine.windows.registry().RemoveTree("SYSTEM\\CurrentControlSet\\Enum\\PCI");
    const std::string account =
        AccountOfBreaches(CompareSnapshots(before, TakeSnapshot(oracle.machine)), &items);
    EXPECT_EQ(account.find("Enum\\USB"), std::string::npos) << account;
    EXPECT_NE(account.find("Enum\\PCI\\VEN_1\\0000"), std::string::npos) << account;
}

TEST(FuzzOracleTest, On9xTheDeviceKeyAndTheClassKeyOfItsFirstInstanceMayGo) {
    const struct {
        const char* driver;
        const char* classKey;
        bool allowed;
    } kCases[] = {
        {"Image\\0000", "Image\\0000", true},
        {"Image\\0000", "Image\\0000\\Sub", true},
        {"Image\\0000", "Image\\0001", false},
        {"Image", "Image", false},
        {"", "Image", false},
        {"Image\\..\\Net", "Net", false},
    };
    for (const auto& test : kCases) {
        SCOPED_TRACE(test.classKey);
        FuzzMachine machine;
        machine.windows.SetFamily(Family::Win9x);
        sim::SimRegistry& registry = machine.windows.registry();
        registry.SetString(std::string("Enum\\") + kUsbDevice + "\\0000", "Driver", test.driver);
        registry.SetString(std::string("Enum\\") + kUsbDevice + "\\0001", "Driver", "Image\\0001");
        for (const char* key : {"Image\\0000\\Sub", "Image\\0001", "Net\\0000"}) {
            registry.CreateKey(std::string("SYSTEM\\CurrentControlSet\\Services\\class\\") + key);
        }
        ScannerRecord row;
        row.devicePath.assign(kUsbDevice);
        const ScannerItems items = ItemsOf(machine, row);

        const MachineSnapshot before = TakeSnapshot(machine);
        registry.RemoveTree(std::string("Enum\\") + kUsbDevice);
        registry.RemoveTree(std::string("SYSTEM\\CurrentControlSet\\Services\\class\\") +
                            test.classKey);
        const std::string account =
            AccountOfBreaches(CompareSnapshots(before, TakeSnapshot(machine)), &items);
        EXPECT_EQ(account.find("Enum\\"), std::string::npos) << account;
        EXPECT_EQ(account.empty(), test.allowed) << account;
    }
}

TEST(FuzzOracleTest, CreatingAndChangingAreBreachesWhateverTheRowOwns) {
    OracleMachine oracle;
    const ScannerItems items = ItemsOf(oracle.machine, oracle.row);
    const MachineSnapshot before = TakeSnapshot(oracle.machine);
    oracle.machine.windows.files().AddFile("C:\\windows\\twain_32\\Quorin\\K5210\\new.ds");
    oracle.machine.windows.files().SetRawAttributes("C:\\windows\\system32\\kernel32.dll",
                                                    kFileAttributeArchive | kFileAttributeHidden);
    oracle.machine.windows.files().SetRawAttributes(kInf,
                                                    kFileAttributeArchive | kFileAttributeHidden);
    oracle.machine.windows.registry().SetString("SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_1\\0000",
                                                "HardwareID", "changed");
    const std::string account =
        AccountOfBreaches(CompareSnapshots(before, TakeSnapshot(oracle.machine)), &items);
    EXPECT_NE(account.find("created a file or folder outside the folder of backups: "
                           "C:\\windows\\twain_32\\Quorin\\K5210\\new.ds"),
              std::string::npos)
        << account;
    EXPECT_NE(account.find("attributes of a file that is not the scanner's: "
                           "C:\\windows\\system32\\kernel32.dll"),
              std::string::npos)
        << account;
    EXPECT_EQ(account.find("oem3.inf"), std::string::npos) << account;
    EXPECT_NE(account.find("changed a value"), std::string::npos) << account;
}

TEST(FuzzOracleDeathTest, ABreachAbortsWithItsAccount) {
    OracleMachine oracle;
    const ScannerItems items = ItemsOf(oracle.machine, oracle.row);
    const Checkpoint before = TakeCheckpoint(oracle.machine);
    oracle.RemoveFileTree("C:\\windows\\twain_32\\sample.ds");
    EXPECT_DEATH(CheckStep(oracle.machine, before, &items, "a removal", &oracle.row),
                 "breach in a removal(.|\n)*row devicePath: USB\\\\Vid_0c6e&Pid_5210(.|\n)*"
                 "not the scanner's: C:\\\\windows\\\\twain_32\\\\sample.ds");
}

TEST(FuzzOracleDeathTest, AHandleLeftOpenOrAMovedWorkingDirectoryIsABreach) {
    OracleMachine oracle;
    const Checkpoint before = TakeCheckpoint(oracle.machine);
    std::unique_ptr<RegistryKey> key;
    ASSERT_EQ(oracle.machine.windows.platform().registry.OpenKey("SYSTEM", kKeyRead, &key), 0);
    EXPECT_DEATH(CheckStep(oracle.machine, before, nullptr, "a scan", nullptr),
                 "left 1 handles open");
    key.reset();
    ASSERT_TRUE(oracle.machine.windows.files().SetCurrentFolder("C:\\windows"));
    EXPECT_DEATH(CheckStep(oracle.machine, before, nullptr, "a scan", nullptr),
                 "left the working directory at C:\\\\windows instead of C:\\\\");
}

}  // namespace
}  // namespace drvsweep::fuzz
