#include "discovery/own_inf.h"

#include <cstring>

#include "platform/ascii_case.h"
#include "platform/registry_paths.h"
#include "platform/text_reads.h"
#include "platform/win32_codes.h"

namespace drvsweep {

bool IsBareInfName(const CodePage& codePage, const char* name) {
    PathText upper;
    if (!upper.assign(name)) {
        return false;
    }
    UpperCaseAscii(codePage, upper.data());
    const std::size_t length = upper.size();
    return length > 4 && std::strcmp(upper.c_str() + length - 4, ".INF") == 0 &&
           std::strpbrk(upper.c_str(), "\\/:") == nullptr;
}

bool IsBareOemInfName(const CodePage& codePage, const char* name) {
    return IsBareInfName(codePage, name) && std::strlen(name) >= 7 &&
           StartsWithIgnoringAsciiCase(name, "oem");
}

int FindOwnInf(Platform& platform, RegistryKey& instanceKey, DriverInfLookup& lookup,
               PathText* infPath) {
    const char* prefix =
        RegistryPathFor(RegistryPath::DeviceDriverKeyPrefix, CurrentFamily(platform.version));
    PathText driver;
    PathText driverKeyPath;
    if (prefix == nullptr || !ReadStringValue(instanceKey, "Driver", &driver) || driver.empty() ||
        !driverKeyPath.appendAll(prefix, driver)) {
        return 0;
    }
    std::unique_ptr<RegistryKey> driverKey;
    PathText name;
    if (platform.registry.OpenKey(driverKeyPath.c_str(), kKeyQueryValue, &driverKey) !=
            kErrorSuccess ||
        !ReadStringValue(*driverKey, "InfPath", &name) ||
        !IsBareOemInfName(platform.version.AnsiCodePage(), name.c_str())) {
        return 0;
    }
    return lookup.FindInfInFolder(name.c_str(), infPath);
}

}  // namespace drvsweep
