#pragma once

#include "platform/fixed_text.h"
#include "platform/platform.h"

namespace drvsweep {

// 9x family: deletes the driver class key that the device's first instance names in its
// "Driver" value, then the device key "Enum\" + devicePath with all its instances. Nothing is
// deleted when devicePath names no single device (see IsKeyPathBelowBranch) or when the device
// key, its first instance or the instance key cannot be opened. An instance whose "Driver"
// value cannot be read or names no single driver key loses no class key, but the device key
// still goes: it is named by devicePath alone. A path that does not fit 260 bytes skips its
// step.
// The keys RemoveDeviceNodes9x deletes for devicePath: the device key and the driver class key
// (empty where no "Driver" value names one). False, with the outputs untouched, when it would
// delete nothing.
bool DeviceKeys9x(Registry& registry, const CodePage& codePage, const char* devicePath,
                  PathText* deviceKey, PathText* classKey);

void RemoveDeviceNodes9x(Platform& platform, const char* devicePath);

}  // namespace drvsweep
