#include "fuzz/step_checks.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/multibyte_text.h"
#include "platform/win32_codes.h"

namespace drvsweep::fuzz {

namespace {

struct BusKeys {
    const char* treeNt;
    const char* tree9x;
    const char* tokens[2];
    const char* prefix;
    BusKind busKind;
};

constexpr BusKeys kBuses[] = {
    {"SYSTEM\\CurrentControlSet\\Enum\\USB",
     "Enum\\USB",
     {"Vid_0c6e", "VID_0C6E"},
     "USB\\",
     BusKind::Usb},
    {"SYSTEM\\CurrentControlSet\\Enum\\PCMCIA",
     "Enum\\PCMCIA",
     {"RDN-CQ-D41E", "QUORIN"},
     "PCMCIA\\",
     BusKind::PcCard},
};

struct ExpectedRow {
    std::string devicePath;
    BusKind busKind;
    bool mayBeScanner;
};

// Whether a USB device key of the maker may be a scanner, as its first instance's class tells
// (NT: ClassGUID, 9x: Class, case ignored): not when that is the class of another function of a
// multifunction device, nor when the instance's key path does not fit 259 characters, which
// tells no class. A key without instances names no class.
bool MayBeScanner(FuzzMachine& machine, bool nt, const std::string& deviceKey) {
    static const char* const kGuids[] = {
        "{36fc9e60-c465-11cf-8056-444553540000}", "{4d36e979-e325-11ce-bfc1-08002be10318}",
        "{745a17a0-74d3-11d0-b6fe-00a0c90f57da}", "{4d36e967-e325-11ce-bfc1-08002be10318}",
        "{4d36e972-e325-11ce-bfc1-08002be10318}"};
    static const char* const kNames[] = {"usb", "printer", "hid", "diskdrive", "net"};
    if (deviceKey.size() >= kMaxPath) {
        return false;
    }
    const std::vector<std::string> instances = machine.windows.registry().SubkeyNames(deviceKey);
    if (instances.empty()) {
        return true;
    }
    const std::string instanceKey = deviceKey + "\\" + instances.front();
    if (instanceKey.size() >= kMaxPath) {
        return false;
    }
    const std::optional<sim::RegValue> value =
        machine.windows.registry().Value(instanceKey, nt ? "ClassGUID" : "Class");
    if (!value) {
        return true;
    }
    const std::string named = LowerAscii(value->bytes.substr(0, value->bytes.find('\0')));
    for (const char* never : nt ? kGuids : kNames) {
        if (named == never) {
            return false;
        }
    }
    return true;
}

// Every device key of the maker whose devicePath fits a row, in enumeration order; only those
// that may be scanners are to have rows.
std::vector<ExpectedRow> MakersDeviceKeys(FuzzMachine& machine) {
    const bool nt = FamilyOfVersion(machine.windows.version().Version()) == Family::Nt;
    std::vector<ExpectedRow> rows;
    for (const BusKeys& bus : kBuses) {
        const std::string tree = nt ? bus.treeNt : bus.tree9x;
        for (const std::string& name : machine.windows.registry().SubkeyNames(tree)) {
            const bool makers = name.find(bus.tokens[0]) != std::string::npos ||
                                name.find(bus.tokens[1]) != std::string::npos;
            const std::string devicePath = bus.prefix + name;
            if (makers && devicePath.size() < kMaxPath) {
                const bool mayBeScanner =
                    bus.busKind != BusKind::Usb || MayBeScanner(machine, nt, tree + "\\" + name);
                rows.push_back(ExpectedRow{devicePath, bus.busKind, mayBeScanner});
            }
        }
    }
    return rows;
}

// The rows from `first` on are driver packages without a device: each names its INF, and no
// devicePath is held by two rows, since the removal finds a row by its devicePath.
void CheckPackageRows(const CodePage& codePage, const ScannerTable& table, std::int32_t first,
                      std::string* account) {
    for (std::int32_t i = first; i <= table.lastIndex; ++i) {
        const ScannerRecord& row = table.rows[i];
        const std::string name = "  row " + std::to_string(i);
        if (!row.packageOnly) {
            *account += name + " is a device's row after a package's row\n";
        }
        if (row.infPath.empty()) {
            *account += name + " is a package's row without its INF\n";
        }
    }
    for (std::int32_t i = 0; i <= table.lastIndex; ++i) {
        for (std::int32_t j = i + 1; j <= table.lastIndex; ++j) {
            if (EqualsIgnoringCase(codePage, table.rows[i].devicePath.c_str(),
                                   table.rows[j].devicePath.c_str())) {
                *account += "  rows " + std::to_string(i) + " and " + std::to_string(j) +
                            " hold one devicePath\n";
            }
        }
    }
}

}  // namespace

namespace {

Checkpoint CountsOf(FuzzMachine& machine) {
    Checkpoint counts;
    counts.registryChanges = machine.windows.registry().changeCount();
    counts.fileChanges = machine.windows.files().changeCount();
    counts.deviceRemovals = machine.windows.devices().removals().size();
    counts.strikes = machine.windows.faults().strikes();
    counts.workingFolder = machine.windows.files().currentFolder();
    return counts;
}

}  // namespace

Checkpoint TakeCheckpoint(FuzzMachine& machine) {
    Checkpoint checkpoint = CountsOf(machine);
    checkpoint.snapshot = std::make_shared<const MachineSnapshot>(TakeSnapshot(machine));
    return checkpoint;
}

Checkpoint CheckStep(FuzzMachine& machine, const Checkpoint& before, const ScannerItems* allowed,
                     const std::string& step, const ScannerRecord* row) {
    Checkpoint after = CountsOf(machine);
    const bool unchanged = after.registryChanges == before.registryChanges &&
                           after.fileChanges == before.fileChanges &&
                           after.deviceRemovals == before.deviceRemovals;
    after.snapshot = unchanged ? before.snapshot
                               : std::make_shared<const MachineSnapshot>(TakeSnapshot(machine));
    std::string account =
        AccountOfBreaches(CompareSnapshots(*before.snapshot, *after.snapshot), allowed);
    if (machine.windows.openHandles() != 0) {
        account += "  left " + std::to_string(machine.windows.openHandles()) + " handles open\n";
    }
    const bool restoreMayFail = machine.HasFaultOn("SetCurrentDirectoryA") &&
                                machine.windows.faults().strikes() != before.strikes;
    if (after.workingFolder != before.workingFolder && !restoreMayFail) {
        account += "  left the working directory at " + after.workingFolder + " instead of " +
                   before.workingFolder + "\n";
    }
    if (!account.empty()) {
        ReportBreach(step, account, row);
    }
    return after;
}

Checkpoint CheckScan(FuzzMachine& machine, const Checkpoint& before, const ScannerTable& table) {
    Checkpoint after = CheckStep(machine, before, nullptr, "the scan", nullptr);
    const std::vector<ExpectedRow> expected = MakersDeviceKeys(machine);
    const bool faultStruck = machine.windows.faults().strikes() != before.strikes;
    // A fault that answers "not found" may hide a device's instances from the scan, and a device
    // key without instances names no class: then any device key of the maker may have a row.
    const bool instancesMayBeHidden =
        faultStruck &&
        std::any_of(machine.faults.begin(), machine.faults.end(), [](const sim::FaultRule& rule) {
            return rule.errorCode == kErrorFileNotFound;
        });
    std::string account;
    if (table.lastIndex < -1 || table.lastIndex >= kScannerRows) {
        ReportBreach("the scan",
                     "  lastIndex out of range: " + std::to_string(table.lastIndex) + "\n",
                     nullptr);
    }
    std::size_t next = 0;
    std::int32_t i = 0;
    for (; i <= table.lastIndex && table.rows[i].packageOnly == 0; ++i) {
        const ScannerRecord& row = table.rows[i];
        while (next < expected.size() && expected[next].devicePath != row.devicePath.c_str()) {
            if (!faultStruck && expected[next].mayBeScanner) {
                account += "  no row for the maker's device " + expected[next].devicePath + "\n";
            }
            ++next;
        }
        if (next == expected.size()) {
            ReportBreach("the scan",
                         account + "  row " + std::to_string(i) +
                             " is no device key of the maker, "
                             "or out of order\n",
                         &row);
        }
        if (!expected[next].mayBeScanner && !instancesMayBeHidden) {
            ReportBreach("the scan",
                         account + "  row " + std::to_string(i) +
                             " is a device whose class is never a scanner's or cannot be told\n",
                         &row);
        }
        if (row.busKind != expected[next].busKind) {
            account += "  row " + std::to_string(i) + " has the wrong busKind\n";
        }
        // A row with an INF names a plain TWAIN folder and its DLL, or, for a driver without a
        // TWAIN line (WIA only), neither.
        const bool wiaOnly = row.twainFolder.empty() && row.driverDll.empty();
        if (!row.infPath.empty() && !wiaOnly &&
            (!IsPlainRelativeName(row.twainFolder.c_str()) || row.driverDll.empty())) {
            ReportBreach("the scan", account + "  a row with an INF names no plain TWAIN folder\n",
                         &row);
        }
        ++next;
    }
    for (; next < expected.size() && !faultStruck; ++next) {
        if (expected[next].mayBeScanner) {
            account += "  no row for the maker's device " + expected[next].devicePath + "\n";
        }
    }
    CheckPackageRows(machine.windows.version().AnsiCodePage(), table, i, &account);
    if (!account.empty()) {
        ReportBreach("the scan", account, nullptr);
    }
    return after;
}

}  // namespace drvsweep::fuzz
