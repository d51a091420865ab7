#include "removal/item_probe.h"

#include <memory>

#include "platform/registry_paths.h"
#include "platform/win32_codes.h"

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

bool IsItemPathPresent(Platform& platform, PlanItemKind kind, const char* path, RegistryView view) {
    switch (kind) {
        case PlanItemKind::DeviceInstance:
            return IsDevicePresent(platform, path);
        case PlanItemKind::RegistryKey:
            return IsKeyPresent(platform.registry, path);
        case PlanItemKind::DriverFile:
        case PlanItemKind::DriverPackage:
            return IsEntryPresent(platform.files, path, false);
        case PlanItemKind::DataSourceFolder:
        case PlanItemKind::EmptyFolder:
            return IsEntryPresent(platform.files, path, true);
        case PlanItemKind::ComClassKey: {
            std::unique_ptr<RegistryKey> key;
            return platform.registry.OpenKeyInView(path, kKeyRead, view, &key) !=
                   kErrorFileNotFound;
        }
    }
    return true;
}

}  // namespace

bool IsDevicePresent(Platform& platform, const char* devicePath) {
    FixedText<520> path;
    const Family family = CurrentFamily(platform.version);
    if (!path.appendAll(RegistryPathFor(RegistryPath::DevicePresencePrefix, family), devicePath)) {
        return true;
    }
    return IsKeyPresent(platform.registry, path.c_str());
}

std::vector<PathText> PlanItemPathsThere(Platform& platform, const PlanItem& item) {
    std::vector<PathText> paths;
    if (!item.path.empty() &&
        IsItemPathPresent(platform, item.kind, item.path.c_str(), item.view)) {
        paths.push_back(item.path);
    }
    const PathText& pnf = item.package.pnfPath;
    if (item.kind == PlanItemKind::DriverPackage && !pnf.empty() &&
        IsItemPathPresent(platform, item.kind, pnf.c_str(), item.view)) {
        paths.push_back(pnf);
    }
    return paths;
}

}  // namespace drvsweep
