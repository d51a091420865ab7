#pragma once

#include "discovery/driver_inf.h"
#include "discovery/scanner_table.h"

namespace drvsweep {

// Append one row per Quorin device key found on the bus, after row lastIndex, and leave
// lastIndex at the last row appended. Once row 259 is taken, further matches are passed
// over: the table never grows past its 260 rows. A device whose class is never a scanner's
// (ReadDeviceClass: the printer and composite parent of a multifunction device) gets no row.
// Each device with a description gets its INF from `lookup`. Each sets its bus's flag in the
// table (usbIncomplete, pcCardIncomplete).
void ScanUsbScanners(Platform& platform, ScannerTable& table, DriverInfLookup& lookup);
void ScanPcCardScanners(Platform& platform, ScannerTable& table, DriverInfLookup& lookup);

// Whether a device key below the family's USB tree (BusKind::Usb) or PC Card tree (BusKind::PcCard)
// is one of the maker's, as the scans tell them by its name. Of those, the scans list the ones
// whose first instance's class may be a scanner's (ReadDeviceClass).
bool IsMakersDeviceKey(BusKind busKind, const char* keyName);

}  // namespace drvsweep
