#pragma once

#include "discovery/bus_kind.h"
#include "platform/registry.h"
#include "platform/version_info.h"

namespace drvsweep {

// What a device instance's class tells of whether the device can be one of the maker's scanners.
enum class DeviceClass {
    kMayBeScanner,  // the Image class, a class of the maker's own, or none (no driver installed)
    kNeverScanner,  // a class no scanner is installed in: another function of the device
    kUnreadable,    // the instance key or its class value could not be read whole
};

// The one test of whether a device of the maker on the bus can be a scanner, read from its
// instance key (opened for queries; null when it could not be opened, which tells no class):
// on the NT family its "ClassGUID", on the 9x family its "Class". The USB class (composite
// parents, hubs, USB Printing Support), Printer, HID, DiskDrive and Net are never a scanner's;
// names are compared with case ignored. A PC Card device may always be one, and nothing is read
// for it: the maker's card IDs name scanners alone, while its USB vendor ID is on every function
// of its multifunction devices.
DeviceClass ReadDeviceClass(VersionInfo& version, BusKind busKind, RegistryKey* instanceKey);

}  // namespace drvsweep
