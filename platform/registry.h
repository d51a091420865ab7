#pragma once

#include <cstdint>
#include <memory>

namespace drvsweep {

// One open registry key; destroying it closes the key (RegCloseKey).
// Results are the LSTATUS codes of the Reg* family: 0 on success.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;

    // RegEnumKeyA: the name of subkey `index` into name[0, size), NUL-terminated.
    // Returns 0 while subkeys remain and a non-zero code after the last or on error
    // (234 when the name does not fit); `name` is not trusted after a failure.
    virtual long EnumKey(std::uint32_t index, char* name, std::uint32_t size) = 0;

    // RegQueryValueExA: the value's bytes as stored, whatever its type, into data.
    // *size is the buffer size on entry and the bytes stored (or needed, with 234) on
    // return. The bytes need not end in a NUL; `data` is not trusted after a failure.
    virtual long QueryValue(const char* valueName, void* data, std::uint32_t* size) = 0;

    // RegEnumValueA: value `index`'s name into name[0, nameSize), NUL-terminated, its type into
    // *type and its bytes into data, *dataSize as for QueryValue. 0 while values remain, 259
    // (ERROR_NO_MORE_ITEMS) after the last, 234 when the name or the data does not fit; name,
    // type and data are not trusted after a failure. Needs KEY_QUERY_VALUE on the NT family.
    virtual long EnumValue(std::uint32_t index, char* name, std::uint32_t nameSize,
                           std::uint32_t* type, void* data, std::uint32_t* dataSize) = 0;

    // RegSetValueExA(key, valueName, 0, type, data, size): needs KEY_SET_VALUE on the NT family.
    virtual long SetValue(const char* valueName, std::uint32_t type, const void* data,
                          std::uint32_t size) = 0;

    // RegDeleteValueA: needs KEY_SET_VALUE on the NT family; 2 when there is no such value.
    virtual long DeleteValue(const char* valueName) = 0;
};

// The registry view a key is opened in. On 64-bit Windows, 32-bit programs see HKLM\Software
// through a view of their own, which a 64-bit program finds at HKLM\Software\WOW6432Node; the
// rest of HKLM is one for both. Native is the program's own view, Wow32 the 32-bit programs'
// one. In a 32-bit program, and on the 9x family, the two are the same.
enum class RegistryView { Native, Wow32 };

// The registry below HKEY_LOCAL_MACHINE, the one root DrvSweep uses.
class Registry {
public:
    virtual ~Registry() = default;

    // RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, access) in the program's own view. On 0, *key
    // holds the open key; on failure *key is left empty.
    long OpenKey(const char* path, std::uint32_t access, std::unique_ptr<RegistryKey>* key) {
        return OpenKeyInView(path, access, RegistryView::Native, key);
    }

    // The same in the given view: for Wow32 a 64-bit program adds KEY_WOW64_32KEY to access.
    virtual long OpenKeyInView(const char* path, std::uint32_t access, RegistryView view,
                               std::unique_ptr<RegistryKey>* key) = 0;

    // RegDeleteKeyA(HKEY_LOCAL_MACHINE, path) in the program's own view. The 9x family deletes
    // the subkeys with the key; the NT family refuses a key that has subkeys.
    long DeleteKey(const char* path) { return DeleteKeyInView(path, RegistryView::Native); }

    // The same in the given view: for Wow32 a 64-bit program calls RegDeleteKeyExA with
    // KEY_WOW64_32KEY, bound at run time (32-bit Windows XP and the 9x family lack it).
    virtual long DeleteKeyInView(const char* path, RegistryView view) = 0;

    // RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, NULL, 0, access, NULL, key, &disposition) in
    // the given view (KEY_WOW64_32KEY added for Wow32 as for OpenKeyInView): opens the key,
    // creating it and every missing key above it. On 0, *key holds the open key and *created
    // whether the key was made now (REG_CREATED_NEW_KEY); on failure *key is left empty.
    virtual long CreateKeyInView(const char* path, std::uint32_t access, RegistryView view,
                                 std::unique_ptr<RegistryKey>* key, bool* created) = 0;
};

}  // namespace drvsweep
