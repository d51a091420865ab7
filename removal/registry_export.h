#pragma once

#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/version_info.h"
#include "removal/reg_text.h"

namespace drvsweep {

// The system's conversions, as the .reg text needs them.
class RegAnsiConversion : public AnsiConversion {
public:
    explicit RegAnsiConversion(VersionInfo& version) : version_(version) {}
    bool AnsiToUtf16(const std::string& ansi, std::u16string* utf16) override {
        return version_.AnsiToUtf16(ansi, utf16);
    }
    bool Utf16ToAnsi(const std::u16string& utf16, std::string* ansi) override {
        return version_.Utf16ToAnsi(utf16, ansi);
    }

private:
    VersionInfo& version_;
};

// The path a key below HKEY_LOCAL_MACHINE has in a .reg file: a 32-bit view's key below
// Software as regedit (a 64-bit program) reaches it, below "SOFTWARE\WOW6432Node"; any other key
// as it is. Opened in the program's own view, that path reaches the same key again.
std::string RegFilePathOf(const std::string& path, RegistryView view);

// Appends the key at `path` in `view`, then each of its subkeys with theirs, every value with
// its type and bytes, named by RegFilePathOf. False when any of them cannot be read.
bool ExportKeyTree(Registry& registry, const std::string& path, RegistryView view,
                   std::vector<RegTextKey>* keys);

}  // namespace drvsweep
