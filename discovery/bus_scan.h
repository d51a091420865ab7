#pragma once

#include "discovery/scanner_table.h"

namespace drvsweep {

// Append one row per Quorin device key found on the bus, after row lastIndex, and leave
// lastIndex at the last row appended. Once row 259 is taken, further matches are passed
// over: the table never grows past its 260 rows.
void ScanUsbScanners(Platform& platform, ScannerTable& table);
void ScanPcCardScanners(Platform& platform, ScannerTable& table);

}  // namespace drvsweep
