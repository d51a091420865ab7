#include "tests/support/registry_listing.h"

#include <cstdint>
#include <memory>

#include "platform/win32_codes.h"

namespace drvsweep::testing {

std::vector<std::string> SubkeyNames(Registry& registry, const std::string& path) {
    std::unique_ptr<RegistryKey> key;
    const long opened = registry.OpenKey(path.c_str(), kKeyRead, &key);
    if (opened != kErrorSuccess) {
        return {"open " + std::to_string(opened)};
    }
    std::vector<std::string> names;
    char name[260];
    for (std::uint32_t index = 0; key->EnumKey(index, name, sizeof name) == 0; ++index) {
        names.push_back(name);
    }
    return names;
}

}  // namespace drvsweep::testing
