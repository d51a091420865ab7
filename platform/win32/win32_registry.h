#pragma once

#include "platform/registry.h"

namespace drvsweep::win32 {

// The registry below HKEY_LOCAL_MACHINE through RegOpenKeyExA, RegCreateKeyExA, RegEnumKeyA,
// RegQueryValueExA, RegEnumValueA, RegSetValueExA, RegDeleteValueA, RegDeleteKeyA and
// RegCloseKey; a 64-bit program deletes in the 32-bit view through RegDeleteKeyExA, bound at run
// time.
class Win32Registry : public Registry {
public:
    long OpenKeyInView(const char* path, std::uint32_t access, RegistryView view,
                       std::unique_ptr<RegistryKey>* key) override;
    long DeleteKeyInView(const char* path, RegistryView view) override;
    long CreateKeyInView(const char* path, std::uint32_t access, RegistryView view,
                         std::unique_ptr<RegistryKey>* key, bool* created) override;
};

}  // namespace drvsweep::win32
