#include "removal/uninstall_key_table.h"

#include <cstring>

namespace drvsweep {

namespace {

struct UninstallKeyRow {
    const char* token;
    const char* keyName;
};

constexpr UninstallKeyRow kPrimaryRows[] = {
    {"5210", "quorin K5210"},   {"7300", "quorin MPX_730"},
    {"2503", "quorin PT250"},   {"QUORIN-ROAMDOC-5E1A", "quorin PT2504"},
    {"3902", "quorin Doc_392"}, {"3900", "quorin Doc_390"},
};

// The last two names differ only in the case of one letter, as the setup programs wrote them.
// The registry compares key names without case, so both reach the same key.
constexpr UninstallKeyRow kFallbackRows[] = {
    {"7300", "quorin PT736"},
    {"2503", "Quorin Scanner Duolanxing Driver"},
    {"QUORIN-ROAMDOC-5E1A", "Quorin Scanner DuoLanxing Driver"},
};

template <std::size_t N>
const char* FirstMatch(const UninstallKeyRow (&rows)[N], const char* devicePath) {
    for (const UninstallKeyRow& row : rows) {
        if (std::strstr(devicePath, row.token) != nullptr) {
            return row.keyName;
        }
    }
    return nullptr;
}

}  // namespace

const char* PrimaryUninstallKeyName(const char* devicePath) {
    const char* keyName = FirstMatch(kPrimaryRows, devicePath);
    return keyName != nullptr ? keyName : devicePath;
}

const char* FallbackUninstallKeyName(const char* devicePath) {
    return FirstMatch(kFallbackRows, devicePath);
}

}  // namespace drvsweep
