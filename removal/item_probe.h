#pragma once

#include <vector>

#include "platform/fixed_text.h"
#include "platform/platform.h"
#include "removal/plan_item.h"

namespace drvsweep {

// The one test of whether a scanner's device is there: its key below the family's Enum root
// exists. Only a key that is not there counts as gone: a key that exists but cannot be opened
// (access denied, for one) is still there, so that a scanner never counts as removed while it
// is installed. A path that does not fit counts as there.
bool IsDevicePresent(Platform& platform, const char* devicePath);

// The item's paths that are there now: a device that IsDevicePresent finds, a key that is not
// missing (one that cannot be opened for another reason is still there), a file or folder
// that a listing of its path finds as its kind; for a driver package its .inf and its .pnf
// apart.
std::vector<PathText> PlanItemPathsThere(Platform& platform, const PlanItem& item);

}  // namespace drvsweep
