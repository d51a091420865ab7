#include "removal/builtin_removal.h"

#include <memory>

#include "platform/registry_paths.h"
#include "platform/win32_codes.h"
#include "removal/device_nodes_9x.h"
#include "removal/device_nodes_nt.h"
#include "removal/driver_files.h"
#include "removal/driver_package.h"

namespace drvsweep {

std::int32_t IsDevicePresent(Platform& platform, const char* devicePath) {
    FixedText<520> path;
    const Family family = CurrentFamily(platform.version);
    if (!path.appendAll(RegistryPathFor(RegistryPath::DevicePresencePrefix, family), devicePath)) {
        return 1;
    }
    std::unique_ptr<RegistryKey> key;
    return platform.registry.OpenKey(path.c_str(), kKeyRead, &key) == kErrorFileNotFound ? 0 : 1;
}

void UninstallBuiltIn(Platform& platform, const ScannerRecord& scanner) {
    if (CurrentFamily(platform.version) == Family::Nt) {
        RemoveDeviceNodesNt(platform, scanner.devicePath.c_str());
    } else {
        RemoveDeviceNodes9x(platform, scanner.devicePath.c_str());
    }
    if (scanner.infPath.empty()) {
        return;
    }
    RemoveDriverFiles(platform, scanner.driverDll.c_str(), scanner.busKind);
    RemoveDriverPackage(platform, scanner.infPath.c_str());
    DeleteTwainDataSource(platform, scanner.twainFolder.c_str());
}

}  // namespace drvsweep
