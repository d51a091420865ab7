#pragma once

#include "platform/registry.h"

namespace drvsweep::win32 {

// The registry below HKEY_LOCAL_MACHINE through RegOpenKeyExA, RegEnumKeyA, RegQueryValueExA,
// RegDeleteKeyA and RegCloseKey. Deletion uses RegDeleteKeyA, whose view is the program's own:
// every key the system deletes lies outside HKLM\Software, where the views are one.
class Win32Registry : public Registry {
public:
    long OpenKeyInView(const char* path, std::uint32_t access, RegistryView view,
                       std::unique_ptr<RegistryKey>* key) override;
    long DeleteKey(const char* path) override;
};

}  // namespace drvsweep::win32
