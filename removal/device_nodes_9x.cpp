#include "removal/device_nodes_9x.h"

#include <memory>

#include "platform/fixed_text.h"
#include "platform/registry_paths.h"
#include "platform/text_reads.h"
#include "platform/win32_codes.h"
#include "removal/branch_key_path.h"

namespace drvsweep {

namespace {

// The path of the device's first instance key; false when the device key cannot be opened,
// has no instance or the path does not fit.
bool FirstInstancePath(Registry& registry, const PathText& deviceKeyPath, PathText* instancePath) {
    std::unique_ptr<RegistryKey> deviceKey;
    if (registry.OpenKey(deviceKeyPath.c_str(), kKeyRead, &deviceKey) != kErrorSuccess) {
        return false;
    }
    PathText instance;
    PathText path = deviceKeyPath;
    if (!ReadSubkeyName(*deviceKey, 0, &instance) || !path.appendAll("\\", instance)) {
        return false;
    }
    *instancePath = path;
    return true;
}

void DeleteDriverClassKey(Registry& registry, const CodePage& codePage, RegistryKey& instanceKey) {
    PathText driver;
    PathText classKeyPath;
    if (ReadStringValue(instanceKey, "Driver", &driver) &&
        IsKeyPathBelowBranch(codePage, driver.c_str()) &&
        classKeyPath.appendAll(RegistryPathFor(RegistryPath::DriverClassPrefix, Family::Win9x),
                               driver)) {
        registry.DeleteKey(classKeyPath.c_str());
    }
}

}  // namespace

void RemoveDeviceNodes9x(Platform& platform, const char* devicePath) {
    Registry& registry = platform.registry;
    const CodePage codePage = platform.version.AnsiCodePage();
    PathText deviceKeyPath;
    PathText instancePath;
    if (!IsKeyPathBelowBranch(codePage, devicePath) ||
        !deviceKeyPath.appendAll(RegistryPathFor(RegistryPath::DeviceEntryPrefix, Family::Win9x),
                                 devicePath) ||
        !FirstInstancePath(registry, deviceKeyPath, &instancePath)) {
        return;
    }
    std::unique_ptr<RegistryKey> instanceKey;
    if (registry.OpenKey(instancePath.c_str(), kKeyRead, &instanceKey) != kErrorSuccess) {
        return;
    }
    // The class key goes first, while the instance that names it is still there.
    DeleteDriverClassKey(registry, codePage, *instanceKey);
    registry.DeleteKey(deviceKeyPath.c_str());
}

}  // namespace drvsweep
