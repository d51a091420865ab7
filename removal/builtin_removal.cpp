#include "removal/builtin_removal.h"

#include <memory>

#include "platform/registry_paths.h"
#include "platform/win32_codes.h"
#include "removal/removal_plan.h"
#include "removal/removal_walk.h"

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

RemovalOutcome UninstallBuiltIn(Platform& platform, const ScannerRecord& scanner) {
    return RunRemovalPlan(platform, PlanBuiltInRemoval(platform, scanner));
}

}  // namespace drvsweep
