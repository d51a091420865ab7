#pragma once

#include "platform/platform.h"

namespace drvsweep {

// NT family: removes every device instance the Setup API knows, attached or not, whose
// hardware-ID list holds devicePath exactly (DIF_REMOVE, then SetupDiRemoveDevice). A device
// whose hardware IDs cannot be read is passed over; nothing is reported.
void RemoveDeviceNodesNt(Platform& platform, const char* devicePath);

}  // namespace drvsweep
