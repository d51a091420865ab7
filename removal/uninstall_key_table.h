#pragma once

namespace drvsweep {

// The Uninstall key names that the maker's setup programs registered, byte for byte. A row
// matches when its token occurs anywhere in devicePath (case-sensitive); the first matching
// row in table order names the key.

// The primary table's key name, or devicePath itself when no row matches.
const char* PrimaryUninstallKeyName(const char* devicePath);

// The fallback table's key name, or null when no row matches.
const char* FallbackUninstallKeyName(const char* devicePath);

}  // namespace drvsweep
