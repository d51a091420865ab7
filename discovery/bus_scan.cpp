#include "discovery/bus_scan.h"

#include <cstring>

#include "discovery/driver_fields.h"
#include "discovery/driver_inf.h"
#include "discovery/own_inf.h"
#include "platform/registry_paths.h"
#include "platform/text_reads.h"
#include "platform/win32_codes.h"

namespace drvsweep {

namespace {

// What tells the two buses apart; the walk of the device tree is the same for both.
struct Bus {
    RegistryPath tree;
    RegistryPath devicePrefix;
    const char* tokens[2];
    std::int32_t busKind;
    const char* devicePathPrefix;
};

constexpr Bus kUsb = {RegistryPath::UsbTree,
                      RegistryPath::UsbDevicePrefix,
                      {"Vid_0c6e", "VID_0C6E"},
                      kBusUsb,
                      "USB\\"};

constexpr Bus kPcCard = {RegistryPath::PcCardTree,
                         RegistryPath::PcCardDevicePrefix,
                         {"RDN-CQ-D41E", "QUORIN"},
                         kBusPcCard,
                         "PCMCIA\\"};

bool IsMakersDevice(const Bus& bus, const char* keyName) {
    return std::strstr(keyName, bus.tokens[0]) != nullptr ||
           std::strstr(keyName, bus.tokens[1]) != nullptr;
}

// Opens the device's first instance key and reads its DeviceDesc into the row. A path that
// does not fit its buffer counts as a key that cannot be opened.
bool ReadDescription(Platform& platform, const Bus& bus, const PathText& keyName,
                     ScannerRecord& row, std::unique_ptr<RegistryKey>* instanceKey) {
    PathText devicePath;
    std::unique_ptr<RegistryKey> deviceKey;
    const char* prefix = RegistryPathFor(bus.devicePrefix, CurrentFamily(platform.version));
    if (!devicePath.appendAll(prefix, keyName) ||
        platform.registry.OpenKey(devicePath.c_str(), kKeyRead, &deviceKey) != kErrorSuccess) {
        return false;
    }
    PathText instance;
    PathText instancePath = devicePath;
    if (!ReadSubkeyName(*deviceKey, 0, &instance) || !instancePath.appendAll("\\", instance) ||
        platform.registry.OpenKey(instancePath.c_str(), kKeyQueryValue, instanceKey) !=
            kErrorSuccess) {
        return false;
    }
    return ReadStringValue(**instanceKey, "DeviceDesc", &row.description);
}

void ScanBus(Platform& platform, ScannerTable& table, const Bus& bus, DriverInfLookup& lookup) {
    std::unique_ptr<RegistryKey> root;
    const char* treePath = RegistryPathFor(bus.tree, CurrentFamily(platform.version));
    if (platform.registry.OpenKey(treePath, kKeyRead, &root) != kErrorSuccess) {
        return;
    }
    std::int32_t rowIndex = table.lastIndex;
    PathText keyName;
    for (unsigned index = 0; ReadSubkeyName(*root, index, &keyName); ++index) {
        if (!IsMakersDevice(bus, keyName.c_str())) {
            continue;
        }
        // The table holds 260 rows; once the last is taken nothing more can be recorded.
        if (rowIndex + 1 >= kScannerRows) {
            break;
        }
        // A devicePath that does not fit would name some other, shorter key: such a device
        // gets no row, since every removal step works from devicePath.
        PathText devicePath;
        if (!devicePath.appendAll(bus.devicePathPrefix, keyName)) {
            continue;
        }
        ScannerRecord& row = table.rows[++rowIndex];
        ClearScannerRow(row);
        row.busKind = bus.busKind;
        row.devicePath = devicePath;
        std::unique_ptr<RegistryKey> instanceKey;
        if (!ReadDescription(platform, bus, keyName, row, &instanceKey)) {
            continue;
        }
        // The INF Windows installed the device from comes first; the search finds one that
        // lists the device where the system names none of the INF folder's OEM INF files.
        const bool found = FindOwnInf(platform, *instanceKey, lookup, &row.infPath) == 1 ||
                           lookup.FindDriverInf(row.devicePath.c_str(), &row.infPath) == 1;
        if (found && !FillDriverFields(platform, lookup, row)) {
            row.infPath.clear();
            row.twainFolder.clear();
            row.driverDll.clear();
            row.kernelDriver.clear();
        }
    }
    table.lastIndex = rowIndex;
}

}  // namespace

bool IsMakersDeviceKey(std::int32_t busKind, const char* keyName) {
    return IsMakersDevice(busKind == kBusPcCard ? kPcCard : kUsb, keyName);
}

void ScanUsbScanners(Platform& platform, ScannerTable& table, DriverInfLookup& lookup) {
    ScanBus(platform, table, kUsb, lookup);
}

void ScanPcCardScanners(Platform& platform, ScannerTable& table, DriverInfLookup& lookup) {
    ScanBus(platform, table, kPcCard, lookup);
}

}  // namespace drvsweep
