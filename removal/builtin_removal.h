#pragma once

#include <cstdint>

#include "discovery/scanner_table.h"
#include "platform/platform.h"

namespace drvsweep {

// 1 while the scanner's device key exists below the family's Enum root, 0 once it is gone.
// Only a key that is not there counts as gone: a key that exists but cannot be opened (access
// denied, for one) is still present, so that a scanner never counts as removed while it is
// installed.
std::int32_t IsDevicePresent(Platform& platform, const char* devicePath);

// The built-in removal of one scanner: its device instances, then, when its INF file is known,
// its driver files, its INF as a driver package (RemoveDriverPackage) and its TWAIN data
// sources. No step stops the others and nothing is reported.
void UninstallBuiltIn(Platform& platform, const ScannerRecord& scanner);

}  // namespace drvsweep
