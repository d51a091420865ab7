#pragma once

#include "discovery/driver_inf.h"
#include "discovery/scanner_table.h"
#include "platform/platform.h"

namespace drvsweep {

// Fills the row's twainFolder, driverDll and kernelDriver from its infPath by the rules of its
// bus (busKind): a USB scanner's come from the INF's TWAIN line, a PC Card scanner's are the
// fixed Orbdrv names. False when the row cannot safely name its driver files (a TWAIN line that
// names no safe folder, or names that do not fit), so that its INF must not be recorded
// either; the fields are then not trusted. A USB driver without a TWAIN line (WIA only) is
// still a package to remove: true, with every field left as it was.
// The TWAIN line comes through the lookup, which may have read it already.
bool FillDriverFields(Platform& platform, DriverInfLookup& lookup, ScannerRecord& row);

}  // namespace drvsweep
