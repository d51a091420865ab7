#include "discovery/own_inf.h"

#include <cstring>

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
           StartsWithIgnoringCase(codePage, name, "oem");
}

RegistryRead FindOwnInf(Platform& platform, RegistryKey& instanceKey, DriverInfLookup& lookup,
                        PathText* infPath) {
    const char* prefix =
        RegistryPathFor(RegistryPath::DeviceDriverKeyPrefix, CurrentFamily(platform.version));
    if (prefix == nullptr) {
        return RegistryRead::kNotThere;
    }
    PathText driver;
    long status = QueryStringValue(instanceKey, "Driver", &driver);
    if (status != kErrorSuccess) {
        return RegistryReadOf(status);
    }
    if (driver.empty()) {
        return RegistryRead::kNotThere;
    }
    PathText driverKeyPath;
    if (!driverKeyPath.appendAll(prefix, driver)) {
        return RegistryRead::kFailed;
    }
    std::unique_ptr<RegistryKey> driverKey;
    PathText name;
    status = platform.registry.OpenKey(driverKeyPath.c_str(), kKeyQueryValue, &driverKey);
    if (status == kErrorSuccess) {
        status = QueryStringValue(*driverKey, "InfPath", &name);
    }
    if (status != kErrorSuccess) {
        return RegistryReadOf(status);
    }
    if (!IsBareOemInfName(platform.version.AnsiCodePage(), name.c_str()) ||
        lookup.FindInfInFolder(name.c_str(), infPath) != 1) {
        return RegistryRead::kNotThere;
    }
    return RegistryRead::kRead;
}

}  // namespace drvsweep
