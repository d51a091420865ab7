#include "platform/win32/win32_registry.h"

#include <utility>

#include "platform/win32/bound_function.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

namespace {

// A 32-bit program already sees the 32-bit view, and Windows versions without 64-bit
// support do not all accept the flag, so only the 64-bit build adds it.
constexpr REGSAM kWow32Flag = sizeof(void*) == 8 ? KEY_WOW64_32KEY : 0;

using RegDeleteKeyExCall = LONG WINAPI(HKEY key, LPCSTR subKey, REGSAM view, DWORD reserved);

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

    long EnumValue(std::uint32_t index, char* name, std::uint32_t nameSize, std::uint32_t* type,
                   void* data, std::uint32_t* dataSize) override {
        DWORD nameLength = nameSize;
        DWORD valueType = 0;
        DWORD bytes = dataSize == nullptr ? 0 : *dataSize;
        const LONG result =
            RegEnumValueA(key_.get(), index, name, &nameLength, nullptr, &valueType,
                          static_cast<BYTE*>(data), dataSize == nullptr ? nullptr : &bytes);
        if (type != nullptr) {
            *type = valueType;
        }
        if (dataSize != nullptr) {
            *dataSize = bytes;
        }
        return result;
    }

    long SetValue(const char* valueName, std::uint32_t type, const void* data,
                  std::uint32_t size) override {
        return RegSetValueExA(key_.get(), valueName, 0, type, static_cast<const BYTE*>(data), size);
    }

    long DeleteValue(const char* valueName) override {
        return RegDeleteValueA(key_.get(), valueName);
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

long Win32Registry::CreateKeyInView(const char* path, std::uint32_t access, RegistryView view,
                                    std::unique_ptr<RegistryKey>* key, bool* created) {
    key->reset();
    const REGSAM viewFlag = view == RegistryView::Wow32 ? kWow32Flag : 0;
    ScopedKey opened;
    DWORD disposition = 0;
    const LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, access | viewFlag,
                                        nullptr, opened.receive(), &disposition);
    if (result == ERROR_SUCCESS) {
        *key = std::make_unique<Win32RegistryKey>(std::move(opened));
        if (created != nullptr) {
            *created = disposition == REG_CREATED_NEW_KEY;
        }
    }
    return result;
}

long Win32Registry::DeleteKeyInView(const char* path, RegistryView view) {
    if (view != RegistryView::Wow32 || kWow32Flag == 0) {
        return RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
    }
    // Every 64-bit Windows has RegDeleteKeyExA; should it be missing, RegDeleteKeyA is no
    // stand-in, as it would delete the 64-bit key of that path instead.
    const auto deleteInView =
        BoundFunction<RegDeleteKeyExCall>(GetModuleHandleA("advapi32.dll"), "RegDeleteKeyExA");
    if (deleteInView == nullptr) {
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
    return deleteInView(HKEY_LOCAL_MACHINE, path, kWow32Flag, 0);
}

}  // namespace drvsweep::win32
