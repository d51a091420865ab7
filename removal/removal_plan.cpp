#include "removal/removal_plan.h"

#include <memory>

#include "platform/win32_codes.h"
#include "removal/builtin_removal.h"
#include "removal/device_nodes_9x.h"
#include "removal/removal_targets.h"

namespace drvsweep {

namespace {

// A file or folder is gone only when listing it finds nothing; the entry found must be of the
// kind the item names.
bool IsEntryPresent(FileSystem& files, const char* path, bool folder) {
    FoundFile found;
    const std::unique_ptr<FileSearch> search = files.FindFirst(path, &found);
    if (search == nullptr) {
        return false;
    }
    return ((found.attributes & kFileAttributeDirectory) != 0) == folder;
}

bool IsKeyPresent(Registry& registry, const char* path) {
    std::unique_ptr<RegistryKey> key;
    return registry.OpenKey(path, kKeyRead, &key) != kErrorFileNotFound;
}

void AddIfPresent(Platform& platform, std::vector<PlanItem>& plan, PlanItemKind kind,
                  const PathText& path) {
    const PlanItem item{kind, path};
    if (!path.empty() && IsPlanItemPresent(platform, item)) {
        plan.push_back(item);
    }
}

}  // namespace

std::vector<PlanItem> PlanBuiltInRemoval(Platform& platform, const ScannerRecord& scanner) {
    std::vector<PlanItem> plan;
    if (CurrentFamily(platform.version) == Family::Nt) {
        AddIfPresent(platform, plan, PlanItemKind::DeviceInstance, scanner.devicePath);
    } else {
        PathText deviceKey;
        PathText classKey;
        if (DeviceKeys9x(platform.registry, platform.version.AnsiCodePage(),
                         scanner.devicePath.c_str(), &deviceKey, &classKey)) {
            AddIfPresent(platform, plan, PlanItemKind::RegistryKey, classKey);
            AddIfPresent(platform, plan, PlanItemKind::RegistryKey, deviceKey);
        }
    }
    if (scanner.infPath.empty()) {
        return plan;
    }
    for (const PathText& file :
         DriverFilePaths(platform, scanner.driverDll.c_str(), scanner.busKind)) {
        AddIfPresent(platform, plan, PlanItemKind::DriverFile, file);
    }
    AddIfPresent(platform, plan, PlanItemKind::InfPackage, scanner.infPath);
    AddIfPresent(platform, plan, PlanItemKind::InfPackage,
                 DriverPackageTargetOf(platform, scanner.infPath.c_str()).pnfPath);
    for (const TwainDataSourceTarget& target :
         TwainDataSourceTargets(platform, scanner.twainFolder.c_str())) {
        AddIfPresent(platform, plan, PlanItemKind::DataSourceFolder, target.folder);
    }
    return plan;
}

bool IsPlanItemPresent(Platform& platform, const PlanItem& item) {
    switch (item.kind) {
        case PlanItemKind::DeviceInstance:
            return IsDevicePresent(platform, item.path.c_str()) == 1;
        case PlanItemKind::RegistryKey:
            return IsKeyPresent(platform.registry, item.path.c_str());
        case PlanItemKind::DriverFile:
        case PlanItemKind::InfPackage:
            return IsEntryPresent(platform.files, item.path.c_str(), false);
        case PlanItemKind::DataSourceFolder:
            return IsEntryPresent(platform.files, item.path.c_str(), true);
    }
    return true;
}

const char* PlanItemKindName(PlanItemKind kind) {
    switch (kind) {
        case PlanItemKind::DeviceInstance:
            return "deviceInstance";
        case PlanItemKind::RegistryKey:
            return "registryKey";
        case PlanItemKind::DriverFile:
            return "driverFile";
        case PlanItemKind::InfPackage:
            return "infPackage";
        case PlanItemKind::DataSourceFolder:
            return "dataSourceFolder";
    }
    return "unknown";
}

}  // namespace drvsweep
