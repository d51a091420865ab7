#include "platform/win32/win32_registry.h"

#include <utility>

#include "platform/win32/scoped_handle.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

namespace {

// A 32-bit program already sees the 32-bit view, and Windows versions without 64-bit
// support do not all accept the flag, so only the 64-bit build adds it.
constexpr REGSAM kWow32Flag = sizeof(void*) == 8 ? KEY_WOW64_32KEY : 0;

class Win32RegistryKey : public RegistryKey {
public:
    explicit Win32RegistryKey(ScopedKey key) : key_(std::move(key)) {}

    long EnumKey(std::uint32_t index, char* name, std::uint32_t size) override {
        return RegEnumKeyA(key_.get(), index, name, size);
    }

    long QueryValue(const char* valueName, void* data, std::uint32_t* size) override {
        DWORD bytes = *size;
        const LONG result = RegQueryValueExA(key_.get(), valueName, nullptr, nullptr,
                                             static_cast<BYTE*>(data), &bytes);
        *size = bytes;
        return result;
    }

private:
    ScopedKey key_;
};

}  // namespace

long Win32Registry::OpenKeyInView(const char* path, std::uint32_t access, RegistryView view,
                                  std::unique_ptr<RegistryKey>* key) {
    key->reset();
    const REGSAM viewFlag = view == RegistryView::Wow32 ? kWow32Flag : 0;
    ScopedKey opened;
    const LONG result =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, access | viewFlag, opened.receive());
    if (result == ERROR_SUCCESS) {
        *key = std::make_unique<Win32RegistryKey>(std::move(opened));
    }
    return result;
}

long Win32Registry::DeleteKey(const char* path) {
    return RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
}

}  // namespace drvsweep::win32
