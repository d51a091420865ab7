#pragma once

#include "platform/fixed_text.h"
#include "platform/registry.h"
#include "removal/removal_targets.h"

namespace drvsweep {

// What one item of a built-in removal is. Each kind has one action (removal/removal_walk.cpp)
// and one probe (removal/item_probe.cpp).
enum class PlanItemKind {
    DeviceInstance,    // the NT family's device instances whose hardware IDs hold a devicePath
    RegistryKey,       // a key below HKEY_LOCAL_MACHINE (the 9x family's device and class keys)
    DriverFile,        // a driver DLL or kernel driver
    DriverPackage,     // the scanner's INF as a driver package: the .inf, its .pnf, its system name
    DataSourceFolder,  // the TWAIN data source folder with everything in it
    EmptyFolder,       // a folder below a TWAIN root that the removal leaves empty
    ComClassKey,  // HKCR\CLSID\{guid} of a COM server file the removal deletes, with its subkeys
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
    // ComClassKey only: the registry view the key is in.
    RegistryView view = RegistryView::Native;
};

// The item kind's name in reports: "deviceInstance", "registryKey", "driverFile",
// "infPackage", "dataSourceFolder", "emptyFolder", "comClassKey".
const char* PlanItemKindName(PlanItemKind kind);

}  // namespace drvsweep
