#pragma once

#include <vector>

#include "discovery/scanner_table.h"
#include "platform/fixed_text.h"
#include "platform/platform.h"

namespace drvsweep {

// What one item of a built-in removal is. Each kind is checked for presence its own way.
enum class PlanItemKind {
    DeviceInstance,    // the scanner's device key below the Enum root (path: its devicePath)
    RegistryKey,       // a key below HKEY_LOCAL_MACHINE (the 9x family's device and class keys)
    DriverFile,        // a driver DLL or kernel driver
    InfPackage,        // the scanner's OEM INF file and its precompiled .pnf twin
    DataSourceFolder,  // the TWAIN data source folder with everything in it
};

struct PlanItem {
    PlanItemKind kind = PlanItemKind::DeviceInstance;
    PathText path;
};

// The items UninstallBuiltIn would delete for the scanner that are there now, in the order it
// deletes them. The one list of what a built-in removal touches: the command line shows it,
// previews it and checks it again after a removal.
std::vector<PlanItem> PlanBuiltInRemoval(Platform& platform, const ScannerRecord& scanner);

// Whether the item is still there. A key counts as gone only when it is missing (one that cannot
// be opened for another reason is still present); a file or folder when a listing of its path
// finds nothing of its kind.
bool IsPlanItemPresent(Platform& platform, const PlanItem& item);

// The item kind's name in reports: "deviceInstance", "registryKey", "driverFile",
// "infPackage", "dataSourceFolder".
const char* PlanItemKindName(PlanItemKind kind);

}  // namespace drvsweep
