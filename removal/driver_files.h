#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace drvsweep {

// Deletes the scanner's driver files (DriverFilePaths: the DLL in the system folders, on
// 64-bit Windows also in the 32-bit system folder and its drivers subfolder, and for a PC Card
// scanner the kernel driver), in that order, with the one-file step.
void RemoveDriverFiles(Platform& platform, const char* driverDll, std::int32_t busKind);

// For each of the scanner's TWAIN data sources (TwainDataSourceTargets: below twain_32 and, on
// 64-bit Windows, below twain_64) deletes <root>\<twainFolder>\<twainFolder>.ds with the
// one-file step, then the folder <root>\<twainFolder> with everything in it. Nothing is deleted
// unless twainFolder is a plain relative folder name: neither root itself nor anything outside
// it is ever reached.
void DeleteTwainDataSource(Platform& platform, const char* twainFolder);

}  // namespace drvsweep
