#pragma once

#include <functional>

#include "platform/platform.h"

namespace drvsweep {

// Calls onMatch for each member of the set whose hardware-ID list holds devicePath exactly,
// in set order, until it returns false. A member whose hardware IDs cannot be read is passed
// over.
void ForEachDeviceWithHardwareId(DeviceInfoSet& set, const char* devicePath,
                                 const std::function<bool(const DeviceInfoData&)>& onMatch);

// NT family: removes every device instance the Setup API knows, attached or not, whose
// hardware-ID list holds devicePath exactly (DIF_REMOVE, then SetupDiRemoveDevice). A device
// whose hardware IDs cannot be read is passed over. Returns whether a device's install
// parameters after its DIF_REMOVE asked for a restart.
bool RemoveDeviceNodesNt(Platform& platform, const char* devicePath);

// Whether a device whose hardware-ID list holds devicePath exactly is attached now.
enum class Attachment { Attached, NotAttached, Unknown };

// NT family: asked of the Setup API's present devices. The 9x family keeps its present devices
// outside HKEY_LOCAL_MACHINE, where this program does not look, and a set that cannot be built
// tells nothing: both answer Unknown.
Attachment DeviceAttachment(Platform& platform, const char* devicePath);

}  // namespace drvsweep
