#pragma once

#include "platform/version_info.h"

namespace drvsweep {

// The fixed registry paths below HKEY_LOCAL_MACHINE, each of which depends on the family.
enum class RegistryPath {
    UsbTree,
    UsbDevicePrefix,
    PcCardTree,
    PcCardDevicePrefix,
    DevicePresencePrefix,
    DeviceEntryPrefix,
    DriverClassPrefix,
    DeviceDriverKeyPrefix,
    UninstallPrefix,
};

// The path for the family, or null where the family does not use it.
const char* RegistryPathFor(RegistryPath path, Family family);

}  // namespace drvsweep
