#pragma once

#include "platform/fixed_text.h"
#include "platform/platform.h"

namespace drvsweep {

// 9x family: the keys that remove a device: the driver class key that the device's first
// instance names in its "Driver" value, and the device key "Enum\" + devicePath with all its
// instances. False, with the outputs untouched, when devicePath names no single device (see
// IsKeyPathBelowBranch) or when the device key, its first instance or the instance key cannot
// be opened. An instance whose "Driver" value cannot be read or names no single driver key
// gives an empty class key, but the device key still goes: it is named by devicePath alone.
// A path that does not fit 260 bytes gives nothing.
bool DeviceKeys9x(Registry& registry, const CodePage& codePage, const char* devicePath,
                  PathText* deviceKey, PathText* classKey);

}  // namespace drvsweep
