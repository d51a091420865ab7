#pragma once

#include <cstdint>

#include "discovery/driver_inf.h"
#include "platform/fixed_text.h"
#include "platform/platform.h"

namespace drvsweep {

constexpr std::int32_t kBusPcCard = 100;
constexpr std::int32_t kBusUsb = 200;

// One scanner found. A cleared row is zero in every byte; every text is empty there.
struct ScannerRecord {
    std::int32_t busKind = 0;
    PathText devicePath;
    PathText description;
    PathText twainFolder;
    PathText driverDll;
    PathText infPath;
    PathText kernelDriver;
};

constexpr int kScannerRows = 260;

// The one store of what discovery found: rows 0 to lastIndex are in use, in the order found.
// The program holds a single instance for its whole run; tests build their own.
struct ScannerTable {
    ScannerRecord rows[kScannerRows];
    std::int32_t lastIndex = -1;
};

// Clears every row and rebuilds the table: the USB scanners first, then the PC Card ones.
// The INF folder is read at most once per call, at the first device that needs its INF.
void ScanInstalledScanners(Platform& platform, ScannerTable& table);

// The same scan with the driver INF lookup given; with an UncachedInfLookup every device
// reads the INF folder afresh.
void ScanInstalledScanners(Platform& platform, ScannerTable& table, DriverInfLookup& lookup);

// Takes out row `index` and moves the later rows down by one; row 259 keeps its content.
// An index outside 0 to lastIndex is refused (returns 0) and changes nothing.
int RemoveScannerRow(ScannerTable& table, std::int32_t index);

// Sets every byte of the row to zero.
void ClearScannerRow(ScannerRecord& row);

}  // namespace drvsweep
