#pragma once

#include <cstdint>
#include <vector>

#include "discovery/scanner_table.h"
#include "platform/fixed_text.h"
#include "platform/platform.h"
#include "removal/removal_targets.h"

namespace drvsweep {

// What one item of a built-in removal is. Each kind has one action and one probe
// (removal/removal_walk.cpp).
enum class PlanItemKind {
    DeviceInstance,    // the NT family's device instances whose hardware IDs hold a devicePath
    RegistryKey,       // a key below HKEY_LOCAL_MACHINE (the 9x family's device and class keys)
    DriverFile,        // a driver DLL or kernel driver
    DriverPackage,     // the scanner's INF as a driver package: the .inf, its .pnf, its system name
    DataSourceFolder,  // the TWAIN data source folder with everything in it
};

struct PlanItem {
    PlanItemKind kind = PlanItemKind::DeviceInstance;
    // The devicePath, the key, the file, the package's .inf, or the data source folder.
    PathText path;
    // DriverPackage only: the .pnf and the name handed to the system's uninstall calls, each
    // empty where there is none (DriverPackageTargetOf).
    DriverPackageTarget package;
    // DataSourceFolder only: the data source file in the folder, deleted before the folder.
    PathText dataSourceFile;
};

// The items of each step of a built-in removal, there now or not, in the order the removal acts
// on them:
// - the device: on the NT family its device instances, named by devicePath; on the 9x family
//   the driver class key and then the device key (DeviceKeys9x), none when it names no device;
std::vector<PlanItem> DeviceItems(Platform& platform, const char* devicePath);
// - the driver files (DriverFilePaths);
std::vector<PlanItem> DriverFileItems(Platform& platform, const char* driverDll,
                                      std::int32_t busKind);
// - the INF as a driver package;
PlanItem DriverPackageItem(Platform& platform, const char* infPath);
// - the TWAIN data sources (TwainDataSourceTargets).
std::vector<PlanItem> DataSourceItems(Platform& platform, const char* twainFolder);

// A driver package of the scanner that the removal leaves alone, and why: a device that is not
// the maker's uses it (PackageUsers).
struct KeptPackage {
    PathText infPath;
    // The driver key ("{class}\NNNN") of the device that uses it; empty when the driver keys
    // could not all be read, so that who uses it cannot be told.
    PathText usedBy;
};

// The items of the built-in removal of the scanner that are there now (and that Windows is not
// already set to delete at the restart), in the order the removal acts on them: its device (none
// for a driver package without a device), then, only when its INF is known, the driver files, the
// driver packages and the data sources of every package of the scanner. Its packages are its INF
// (first) and every other OEM INF of the INF folder whose models list its devicePath, each with
// the data source folder and DLL name its own INF gives (FillDriverFields); a package whose fields
// cannot be told safely is left out, and a file or folder that several packages name is planned
// once. The INF folder is read once per plan. A package that a device of another maker uses is
// not planned, nor is any file or folder that it names; it goes into *kept (when given) instead.
// The one list of what a built-in removal touches: the removal walks it (UninstallBuiltIn), and
// the command line shows and previews it.
std::vector<PlanItem> PlanBuiltInRemoval(Platform& platform, const ScannerRecord& scanner,
                                         std::vector<KeptPackage>* kept = nullptr);

// The item kind's name in reports: "deviceInstance", "registryKey", "driverFile",
// "infPackage", "dataSourceFolder".
const char* PlanItemKindName(PlanItemKind kind);

}  // namespace drvsweep
