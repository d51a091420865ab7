#pragma once

#include "discovery/driver_inf.h"
#include "discovery/scanner_table.h"

namespace drvsweep {

// Append one row per Quorin device key found on the bus, after row lastIndex, and leave
// lastIndex at the last row appended. Once row 259 is taken, further matches are passed
// over: the table never grows past its 260 rows. Each device with a description gets its INF
// from `lookup`.
void ScanUsbScanners(Platform& platform, ScannerTable& table, DriverInfLookup& lookup);
void ScanPcCardScanners(Platform& platform, ScannerTable& table, DriverInfLookup& lookup);

// Fills the row's driver fields (twainFolder, driverDll, kernelDriver) from its infPath as the
// row's bus has them. False when the row cannot safely name its driver files: then its INF must
// not be recorded either, and infPath and the driver fields are left empty.
bool FillDriverFields(Platform& platform, ScannerRecord& row);

}  // namespace drvsweep
