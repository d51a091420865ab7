#include "discovery/bus_scan.h"

#include <cstring>

#include "discovery/device_class.h"
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
    BusKind busKind;
    const char* devicePathPrefix;
};

constexpr Bus kUsb = {RegistryPath::UsbTree,
                      RegistryPath::UsbDevicePrefix,
                      {"Vid_0c6e", "VID_0C6E"},
                      BusKind::Usb,
                      "USB\\"};

constexpr Bus kPcCard = {RegistryPath::PcCardTree,
                         RegistryPath::PcCardDevicePrefix,
                         {"RDN-CQ-D41E", "QUORIN"},
                         BusKind::PcCard,
                         "PCMCIA\\"};

bool IsMakersDevice(const Bus& bus, const char* keyName) {
    return std::strstr(keyName, bus.tokens[0]) != nullptr ||
           std::strstr(keyName, bus.tokens[1]) != nullptr;
}

// Opens the device's first instance key: kNotThere for a device key without an instance. A path
// that does not fit its buffer counts as a key that cannot be read.
RegistryRead OpenFirstInstance(Platform& platform, const Bus& bus, const PathText& keyName,
                               std::unique_ptr<RegistryKey>* instanceKey) {
    PathText devicePath;
    std::unique_ptr<RegistryKey> deviceKey;
    const char* prefix = RegistryPathFor(bus.devicePrefix, CurrentFamily(platform.version));
    if (!devicePath.appendAll(prefix, keyName)) {
        return RegistryRead::kFailed;
    }
    long status = platform.registry.OpenKey(devicePath.c_str(), kKeyRead, &deviceKey);
    PathText instance;
    if (status == kErrorSuccess) {
        status = EnumSubkeyName(*deviceKey, 0, &instance);
    }
    if (status != kErrorSuccess) {
        return RegistryReadOf(status);
    }
    PathText instancePath = devicePath;
    if (!instancePath.appendAll("\\", instance)) {
        return RegistryRead::kFailed;
    }
    return RegistryReadOf(
        platform.registry.OpenKey(instancePath.c_str(), kKeyQueryValue, instanceKey));
}

// Returns false when a device of the maker on the bus may lack its row, or its row what a read
// would have given: a registry read for it failed (one that finds nothing there is an answer),
// its class among them, a devicePath did not fit, or the table was full. A device of a class
// that is never a scanner's has no row to lack.
bool ScanBus(Platform& platform, ScannerTable& table, const Bus& bus, DriverInfLookup& lookup) {
    std::unique_ptr<RegistryKey> root;
    const char* treePath = RegistryPathFor(bus.tree, CurrentFamily(platform.version));
    const long opened = platform.registry.OpenKey(treePath, kKeyRead, &root);
    if (opened != kErrorSuccess) {
        return opened == kErrorFileNotFound;
    }
    std::int32_t rowIndex = table.lastIndex;
    bool complete = true;
    PathText keyName;
    long listed = kErrorSuccess;
    for (unsigned index = 0; (listed = EnumSubkeyName(*root, index, &keyName)) == kErrorSuccess;
         ++index) {
        if (!IsMakersDevice(bus, keyName.c_str())) {
            continue;
        }
        // The table holds 260 rows; once the last is taken nothing more can be recorded.
        if (rowIndex + 1 >= kScannerRows) {
            complete = false;
            break;
        }
        // A devicePath that does not fit would name some other, shorter key: such a device
        // gets no row, since every removal step works from devicePath.
        PathText devicePath;
        if (!devicePath.appendAll(bus.devicePathPrefix, keyName)) {
            complete = false;
            continue;
        }
        std::unique_ptr<RegistryKey> instanceKey;
        const RegistryRead opened = OpenFirstInstance(platform, bus, keyName, &instanceKey);
        // The other functions of a multifunction device (its printer interface, the composite
        // parent) carry the maker's vendor ID too: listed, their removal would take the printer
        // down. A device whose class cannot be told may be one of them, so it gets no row
        // either, and the bus's packages wait for a scan that reads it. A device key without an
        // instance names no class: a device without a driver.
        const DeviceClass deviceClass =
            opened == RegistryRead::kNotThere
                ? DeviceClass::kMayBeScanner
                : ReadDeviceClass(platform.version, bus.busKind, instanceKey.get());
        if (deviceClass != DeviceClass::kMayBeScanner) {
            complete = complete && deviceClass == DeviceClass::kNeverScanner;
            continue;
        }
        ScannerRecord& row = table.rows[++rowIndex];
        ClearScannerRow(row);
        row.busKind = bus.busKind;
        row.devicePath = devicePath;
        const RegistryRead read =
            opened == RegistryRead::kRead
                ? RegistryReadOf(QueryStringValue(*instanceKey, "DeviceDesc", &row.description))
                : opened;
        if (read != RegistryRead::kRead) {
            complete = complete && read == RegistryRead::kNotThere;
            continue;
        }
        // The INF Windows installed the device from comes first; the search finds one that
        // lists the device where the system names none of the INF folder's OEM INF files.
        const RegistryRead own = FindOwnInf(platform, *instanceKey, lookup, &row.infPath);
        complete = complete && own != RegistryRead::kFailed;
        const bool found = own == RegistryRead::kRead ||
                           lookup.FindDriverInf(row.devicePath.c_str(), &row.infPath) == 1;
        if (found && !FillDriverFields(platform, lookup, row)) {
            row.infPath.clear();
            row.twainFolder.clear();
            row.driverDll.clear();
            row.kernelDriver.clear();
        }
    }
    table.lastIndex = rowIndex;
    return complete && listed == kErrorNoMoreItems;
}

}  // namespace

bool IsMakersDeviceKey(BusKind busKind, const char* keyName) {
    return IsMakersDevice(busKind == BusKind::PcCard ? kPcCard : kUsb, keyName);
}

void ScanUsbScanners(Platform& platform, ScannerTable& table, DriverInfLookup& lookup) {
    table.usbIncomplete = !ScanBus(platform, table, kUsb, lookup);
}

void ScanPcCardScanners(Platform& platform, ScannerTable& table, DriverInfLookup& lookup) {
    table.pcCardIncomplete = !ScanBus(platform, table, kPcCard, lookup);
}

}  // namespace drvsweep
