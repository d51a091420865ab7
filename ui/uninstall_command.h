#pragma once

#include <cstdint>

#include "discovery/scanner_table.h"
#include "platform/platform.h"

namespace drvsweep {

// The poll timer's period while a scanner's own uninstaller runs.
constexpr std::uint32_t kPollPeriodMs = 2000;

// 1 while the scanner's device key exists below the family's Enum root, 0 once it is gone.
// Only a key that is not there counts as gone: a key that exists but cannot be opened (access
// denied, for one) is still present, so that a scanner never leaves the list while it is
// installed.
std::int32_t IsDevicePresent(Platform& platform, const char* devicePath);

// The built-in removal of one scanner: its device instances, then, when its INF file is known,
// its driver files, its INF as a driver package (RemoveDriverPackage) and its TWAIN data
// sources. No step stops the others and nothing is reported.
void UninstallBuiltIn(Platform& platform, const ScannerRecord& scanner);

// The row that holds the scanner with this devicePath, or -1 when none does.
std::int32_t FindScannerRow(const ScannerTable& table, const PathText& devicePath);

}  // namespace drvsweep
