#pragma once

#include <cstdint>

#include "discovery/scanner_table.h"
#include "platform/platform.h"
#include "removal/removal_outcome.h"

namespace drvsweep {

// 1 while the scanner's device key exists below the family's Enum root, 0 once it is gone.
// Only a key that is not there counts as gone: a key that exists but cannot be opened (access
// denied, for one) is still present, so that a scanner never counts as removed while it is
// installed.
std::int32_t IsDevicePresent(Platform& platform, const char* devicePath);

// The built-in removal of one scanner: the walk (RunRemovalPlan) over its plan
// (PlanBuiltInRemoval), with the outcome of every item.
RemovalOutcome UninstallBuiltIn(Platform& platform, const ScannerRecord& scanner);

}  // namespace drvsweep
