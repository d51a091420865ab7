#pragma once

#include "platform/registry.h"

namespace drvsweep::win32 {

// The registry below HKEY_LOCAL_MACHINE through RegOpenKeyExA, RegEnumKeyA, RegQueryValueExA,
// RegDeleteKeyA and RegCloseKey.
//
// Keys are opened in the 32-bit registry view. The maker's setup programs were 32-bit, so on
// 64-bit Windows their Uninstall keys live in the view that 32-bit programs see below
// HKLM\Software; the x86-64 build asks for that view so that it reads what the x86 build reads.
// Outside HKLM\Software the two views are one. Deletion uses RegDeleteKeyA, whose view is the
// program's own: every key the system deletes lies outside HKLM\Software.
class Win32Registry : public Registry {
public:
    long OpenKey(const char* path, std::uint32_t access,
                 std::unique_ptr<RegistryKey>* key) override;
    long DeleteKey(const char* path) override;
};

}  // namespace drvsweep::win32
