#pragma once

#include "platform/platform.h"

namespace drvsweep {

// 9x family: deletes the driver class key that the device's first instance names in its
// "Driver" value, then the device key "Enum\" + devicePath with all its instances. Nothing is
// deleted when devicePath names no single device (see IsKeyPathBelowBranch) or when the device
// key, its first instance or the instance key cannot be opened. An instance whose "Driver"
// value cannot be read or names no single driver key loses no class key, but the device key
// still goes: it is named by devicePath alone. A path that does not fit 260 bytes skips its
// step.
void RemoveDeviceNodes9x(Platform& platform, const char* devicePath);

}  // namespace drvsweep
