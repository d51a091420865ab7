#pragma once

#include <cstdint>
#include <vector>

#include "platform/fixed_text.h"
#include "platform/platform.h"

namespace drvsweep {

// Deletes the scanner's driver DLL from %windir%\system32, %windir%\system32\drivers and
// %windir%\system, in this order, with the one-file step; for a PC Card scanner (busKind 100)
// also the kernel driver: Orbdrv.vxd in system32 and in system on both families, and
// system32\drivers\Orbdrv.sys on the NT family. The DLL steps are skipped when driverDll is
// not a plain relative name (see IsSafeTwainFolderName): an empty or climbing name would reach
// the system folders themselves or something outside them. A path that does not fit 260 bytes
// skips its step.
// The files RemoveDriverFiles deletes, in its order; paths that do not fit are left out.
std::vector<PathText> DriverFilePaths(Platform& platform, const char* driverDll,
                                      std::int32_t busKind);

void RemoveDriverFiles(Platform& platform, const char* driverDll, std::int32_t busKind);

// Deletes %windir%\twain_32\<twainFolder>\<twainFolder>.ds with the one-file step, then the
// folder %windir%\twain_32\<twainFolder> with everything in it. Nothing is deleted unless
// twainFolder is a plain relative folder name (IsSafeTwainFolderName): neither twain_32 itself
// nor anything outside it is ever reached. A path that does not fit 260 bytes skips its step.
// The folder DeleteTwainDataSource deletes, %windir%\twain_32\<twainFolder>; false, with
// *folder untouched, when it would delete nothing.
bool TwainDataSourceFolder(Platform& platform, const char* twainFolder, PathText* folder);

void DeleteTwainDataSource(Platform& platform, const char* twainFolder);

}  // namespace drvsweep
