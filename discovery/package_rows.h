#pragma once

#include "discovery/driver_inf.h"
#include "discovery/scanner_table.h"
#include "platform/platform.h"

namespace drvsweep {

// Appends, after row lastIndex, one row (packageOnly set) for each of the maker's packages that
// no row in use covers, in the order the lookup lists them (MakerPackages). A row covers a
// package when its infPath is that INF, or when it has an INF and one of the package's hardware
// IDs holds its devicePath (case ignored, as the search compares): its removal takes every
// package that lists its hardware ID. The new row's devicePath is the package's first hardware
// ID of the maker that no row holds yet, so that a devicePath names one row; a package whose IDs
// are all held, whose driver files cannot safely be named, whose INF Windows is set to delete at
// the restart, that a device of another maker uses (PackageUsers), or that names a hardware ID of
// a bus whose scan may have missed a device (usbIncomplete, pcCardIncomplete), gets no row. Once
// row 259 is taken nothing more is appended.
void AddPackagesWithoutDevice(Platform& platform, ScannerTable& table, DriverInfLookup& lookup);

}  // namespace drvsweep
