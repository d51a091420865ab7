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

// The driver class key that the instance's "Driver" value names; false when the value cannot
// be read, names no single driver key or the path does not fit.
bool DriverClassKeyPath(const CodePage& codePage, RegistryKey& instanceKey,
                        PathText* classKeyPath) {
    PathText driver;
    PathText path;
    if (!ReadStringValue(instanceKey, "Driver", &driver) ||
        !IsKeyPathBelowBranch(codePage, driver.c_str()) ||
        !path.appendAll(RegistryPathFor(RegistryPath::DriverClassPrefix, Family::Win9x), driver)) {
        return false;
    }
    *classKeyPath = path;
    return true;
}

}  // namespace

bool DeviceKeys9x(Registry& registry, const CodePage& codePage, const char* devicePath,
                  PathText* deviceKey, PathText* classKey) {
    PathText deviceKeyPath;
    PathText instancePath;
    if (!IsKeyPathBelowBranch(codePage, devicePath) ||
        !deviceKeyPath.appendAll(RegistryPathFor(RegistryPath::DeviceEntryPrefix, Family::Win9x),
                                 devicePath) ||
        !FirstInstancePath(registry, deviceKeyPath, &instancePath)) {
        return false;
    }
    std::unique_ptr<RegistryKey> instanceKey;
    if (registry.OpenKey(instancePath.c_str(), kKeyRead, &instanceKey) != kErrorSuccess) {
        return false;
    }
    PathText classKeyPath;
    DriverClassKeyPath(codePage, *instanceKey, &classKeyPath);
    *deviceKey = deviceKeyPath;
    *classKey = classKeyPath;
    return true;
}

}  // namespace drvsweep
