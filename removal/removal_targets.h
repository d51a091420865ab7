#pragma once

#include <cstdint>
#include <vector>

#include "discovery/bus_kind.h"
#include "platform/fixed_text.h"
#include "platform/platform.h"

namespace drvsweep {

// What the built-in removal of one scanner deletes, worked out without changing anything, so
// that the removal and whatever describes it share one list. Every path is composed in 260
// bytes; a path that does not fit is left out (its step is skipped).

// The driver files in the order they are deleted: driverDll in %windir%\system32,
// %windir%\system32\drivers and %windir%\system, then, on 64-bit Windows, in the 32-bit system
// folder and its drivers subfolder; for a PC Card scanner (busKind 100) Orbdrv.vxd in system32
// and in system, and on the NT family system32\drivers\Orbdrv.sys. The DLL paths are left out
// when driverDll is not a plain relative name (IsSafeTwainFolderName): an empty or climbing
// name would reach the system folders themselves or something outside them.
std::vector<PathText> DriverFilePaths(Platform& platform, const char* driverDll, BusKind busKind);

// One TWAIN data source: <root>\<twainFolder>\<twainFolder>.ds and the folder
// <root>\<twainFolder>. Either is empty when it does not fit.
struct TwainDataSourceTarget {
    PathText dataSource;
    PathText folder;
};

// The data sources below %windir%\twain_32 and, on 64-bit Windows, %windir%\twain_64. None
// unless twainFolder is a plain relative folder name (IsSafeTwainFolderName), so that neither
// root itself nor anything outside it is ever reached.
std::vector<TwainDataSourceTarget> TwainDataSourceTargets(Platform& platform,
                                                          const char* twainFolder);

// The scanner's INF as a driver package. Only an INF whose file name ends in ".inf" and which
// lies directly in the folder the INF search reads (ReadInfFolder) counts: then pnfPath is the
// precompiled twin beside it (oemNN.pnf for oemNN.inf), and, when the name also begins with
// "oem" as every OEM INF's does, infName is the file name handed to the system's uninstall
// calls. Both stay empty otherwise; infPath itself is always deleted.
struct DriverPackageTarget {
    PathText infName;
    PathText pnfPath;
};

DriverPackageTarget DriverPackageTargetOf(Platform& platform, const char* infPath);

}  // namespace drvsweep
