#pragma once

#include "platform/driver_packages.h"
#include "platform/file_system.h"
#include "platform/fixed_text.h"
#include "platform/inf_files.h"
#include "platform/multibyte_text.h"
#include "platform/registry.h"

namespace drvsweep {

// Reads that fill a 260-byte text from the OS and trust the result only when it is a whole
// NUL-terminated text. On false the output is left exactly as it was.

// %windir% as GetWindowsDirectoryA gives it, with no trailing backslash, so that pieces
// beginning with a backslash can be appended. A 0x5C that ends a two-byte character of the
// code page is part of the folder's name and stays.
bool ReadWindowsFolder(FileSystem& files, const CodePage& codePage, PathText* folder);

// The 32-bit system folder of 64-bit Windows (GetSystemWow64DirectoryA), in the same form.
// False on 32-bit Windows and where the system has no such folder.
bool ReadWow64Folder(DriverPackages& packages, const CodePage& codePage, PathText* folder);

// GetShortPathNameA into 260 bytes.
bool ReadShortPath(FileSystem& files, const char* path, PathText* shortPath);

// RegEnumKeyA into 260 bytes.
bool ReadSubkeyName(RegistryKey& key, unsigned index, PathText* name);

// The same read with the call's code, for a caller that must tell "no more subkeys" (259) from
// a failure; a name that is no whole text gives 234.
long EnumSubkeyName(RegistryKey& key, unsigned index, PathText* name);

// RegQueryValueExA with a byte count of 260, the value's type not tested. A value that
// fills all 260 bytes without a terminator is refused rather than cut.
bool ReadStringValue(RegistryKey& key, const char* valueName, PathText* value);

// The same read with the call's code, for a caller that must tell a value that is not there (2)
// from a failure; a value that is no whole text of 260 bytes gives 234.
long QueryStringValue(RegistryKey& key, const char* valueName, PathText* value);

// What a registry read told: what was asked for, that it is not there (a key or value that does
// not exist, 2, or no subkey past the last, 259), or nothing, since the read failed otherwise.
enum class RegistryRead { kRead, kNotThere, kFailed };

// The RegistryRead of a Reg* call's code.
RegistryRead RegistryReadOf(long status);

// SetupGetLineTextA into 260 bytes.
bool ReadLineText(InfFile& inf, const InfLine& line, PathText* text);

// SetupGetStringFieldA of field `index` into 260 bytes.
bool ReadStringField(InfFile& inf, const InfLine& line, std::uint32_t index, PathText* text);

}  // namespace drvsweep
