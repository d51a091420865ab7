#pragma once

#include <cstdint>

#include "discovery/bus_kind.h"
#include "discovery/driver_inf.h"
#include "platform/fixed_text.h"
#include "platform/platform.h"

namespace drvsweep {

// One scanner found. A cleared row is zero in every byte; every text is empty there.
struct ScannerRecord {
    BusKind busKind = BusKind::None;
    PathText devicePath;
    PathText description;
    PathText twainFolder;
    PathText driverDll;
    PathText infPath;
    PathText kernelDriver;
    // Set for a driver package of the maker that no device uses (a driver staged ahead of its
    // scanner, or left when its device was removed by hand): devicePath is a hardware ID the
    // package lists, and no device instance or registered uninstaller stands behind the row.
    bool packageOnly = false;
};

constexpr int kScannerRows = 260;

// The one store of what discovery found: rows 0 to lastIndex are in use, in the order found.
// The program holds a single instance for its whole run; tests build their own.
struct ScannerTable {
    ScannerRecord rows[kScannerRows];
    std::int32_t lastIndex = -1;
    // Whether the last scan of the USB or the PC Card bus may have missed a device of the maker:
    // a registry read for it failed (the bus's tree, a device key, its instance key and
    // DeviceDesc, its driver key and InfPath; a key or value that is not there is an answer), a
    // devicePath did not fit, or the table was full. Such a device may have no row, or a row
    // without its INF.
    bool usbIncomplete = false;
    bool pcCardIncomplete = false;
};

// Clears every row and rebuilds the table: the USB scanners first, then the PC Card ones, then
// the maker's driver packages that no scanner's row covers (AddPackagesWithoutDevice). The INF
// folder is read once per call.
void ScanInstalledScanners(Platform& platform, ScannerTable& table);

// The same scan with the driver INF lookup given; with an UncachedInfLookup every device, and
// the search for packages without a device, reads the INF folder afresh.
void ScanInstalledScanners(Platform& platform, ScannerTable& table, DriverInfLookup& lookup);

// Takes out row `index` and moves the later rows down by one; row 259 keeps its content.
// An index outside 0 to lastIndex is refused (returns 0) and changes nothing.
int RemoveScannerRow(ScannerTable& table, std::int32_t index);

// Sets every byte of the row to zero.
void ClearScannerRow(ScannerRecord& row);

}  // namespace drvsweep
