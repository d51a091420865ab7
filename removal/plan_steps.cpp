#include "removal/plan_steps.h"

#include "removal/device_nodes_9x.h"

namespace drvsweep {

namespace {

PlanItem Item(PlanItemKind kind, const PathText& path) {
    PlanItem item;
    item.kind = kind;
    item.path = path;
    return item;
}

}  // namespace

std::vector<PlanItem> DeviceItems(Platform& platform, const char* devicePath) {
    std::vector<PlanItem> items;
    PathText path;
    if (CurrentFamily(platform.version) == Family::Nt) {
        if (*devicePath != '\0' && path.assign(devicePath)) {
            items.push_back(Item(PlanItemKind::DeviceInstance, path));
        }
        return items;
    }
    PathText deviceKey;
    PathText classKey;
    if (!DeviceKeys9x(platform.registry, platform.version.AnsiCodePage(), devicePath, &deviceKey,
                      &classKey)) {
        return items;
    }
    // The class key goes first, while the instance that names it is still there.
    if (!classKey.empty()) {
        items.push_back(Item(PlanItemKind::RegistryKey, classKey));
    }
    items.push_back(Item(PlanItemKind::RegistryKey, deviceKey));
    return items;
}

std::vector<PlanItem> DriverFileItems(Platform& platform, const char* driverDll, BusKind busKind) {
    std::vector<PlanItem> items;
    for (const PathText& path : DriverFilePaths(platform, driverDll, busKind)) {
        items.push_back(Item(PlanItemKind::DriverFile, path));
    }
    return items;
}

PlanItem DriverPackageItem(Platform& platform, const char* infPath) {
    PlanItem item;
    item.kind = PlanItemKind::DriverPackage;
    // The INF path comes from a 260-byte scanner record, so it fits.
    item.path.assign(infPath);
    item.package = DriverPackageTargetOf(platform, infPath);
    return item;
}

std::vector<PlanItem> DataSourceItems(Platform& platform, const char* twainFolder) {
    std::vector<PlanItem> items;
    for (const TwainDataSourceTarget& target : TwainDataSourceTargets(platform, twainFolder)) {
        // The data source file lies inside the folder, so it fits only where the folder does.
        if (!target.folder.empty()) {
            PlanItem item = Item(PlanItemKind::DataSourceFolder, target.folder);
            item.dataSourceFile = target.dataSource;
            items.push_back(item);
        }
    }
    return items;
}

}  // namespace drvsweep
