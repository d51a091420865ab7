#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_version.h"

namespace drvsweep::sim {

// The predefined keys a .reg file may write under. The Registry interface sees LocalMachine.
enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;
constexpr std::uint32_t kRegQword = 11;

constexpr long kErrorBadPathname = 161;
constexpr long kErrorKeyDeleted = 1018;

// A value as the ANSI functions see it: RegQueryValueExA hands out `bytes` unchanged.
struct RegValue {
    std::uint32_t type = kRegNone;
    std::string bytes;
};

// The simulated registry: a tree of keys per root, names compared without case and kept in the
// case first written, subkeys enumerated in the order Wine gives (lower-case order).
//
// Key paths are those RegOpenKeyExA takes: components separated by backslashes, where doubled
// and trailing backslashes are passed over, a leading one is refused with ERROR_BAD_PATHNAME,
// a path longer than 260 characters with ERROR_MORE_DATA (the ANSI calls convert it into a
// buffer of their own), and the empty path is the root itself (all as measured on Wine).
// An open key belongs to the key it opened, not to its path: once that key is deleted the
// handle answers ERROR_KEY_DELETED, even if a key of the same path is created again. On the
// NT family a key serves only the access it was opened for (enumerating needs
// KEY_ENUMERATE_SUB_KEYS, reading a value KEY_QUERY_VALUE; ERROR_ACCESS_DENIED otherwise); the
// 9x family ignores the access asked for.
//
// The registry is seen as a 64-bit program sees it, paths taken literally in its own view. On
// the NT family an open in the 32-bit view reaches HKLM\Software and what lies below it at
// HKLM\Software\WOW6432Node, except for a path that already names that node (Wine does not
// move it twice); the 9x family ignores the view, as Wine in its 9x mode ignores the flag.
class SimRegistry : public Registry {
public:
    // The family decides what RegDeleteKeyA does with a key that has subkeys and whether the
    // access asked for counts.
    SimRegistry(SimFaults& faults, const SimVersion& version);
    ~SimRegistry() override;
    SimRegistry(const SimRegistry&) = delete;
    SimRegistry& operator=(const SimRegistry&) = delete;

    // Faults: "RegOpenKeyExA" and "RegDeleteKeyA" with the path (for an open, the path of the
    // key in the view asked for); on an open key "RegEnumKeyA" and "RegEnumValueA" with the
    // key's path, "RegQueryValueExA", "RegSetValueExA" and "RegDeleteValueA" with path + "\" +
    // value name. Closing a key logs "RegCloseKey" with its path and cannot fail. Setting and
    // deleting a value need KEY_SET_VALUE, enumerating values KEY_QUERY_VALUE; values enumerate
    // in the order they were first written, as on Windows (Wine sorts them; see
    // docs/wine-facts.md).
    long OpenKeyInView(const char* path, std::uint32_t access, RegistryView view,
                       std::unique_ptr<RegistryKey>* key) override;
    // The empty path (the root itself) is refused with ERROR_ACCESS_DENIED. On the 9x family the
    // whole tree goes, as on Windows 9x; Wine's emulation of it stops early (ERROR_ACCESS_DENIED
    // with part of the tree deleted) when a later subkey's name is not shorter than the one
    // before, which scenarios meant for both should avoid.
    long DeleteKeyInView(const char* path, RegistryView view) override;
    // "RegCreateKeyExA" with the path in the view asked for; the path rules of an open hold.
    long CreateKeyInView(const char* path, std::uint32_t access, RegistryView view,
                         std::unique_ptr<RegistryKey>* key, bool* created) override;

    // Keys opened and not yet closed.
    int openKeyCount() const;

    // Helpers for tests and loaders: no faults, no family rules. Each returns false (or
    // nothing) for a path that RegOpenKeyExA would refuse or, where it reads, for a missing key.

    // Creates the key and every missing key above it.
    bool CreateKey(const std::string& path, RegistryRoot root = RegistryRoot::LocalMachine);
    bool KeyExists(const std::string& path, RegistryRoot root = RegistryRoot::LocalMachine) const;
    // Deletes the key with everything below it.
    bool RemoveTree(const std::string& path, RegistryRoot root = RegistryRoot::LocalMachine);
    // The subkey names in enumeration order.
    std::vector<std::string> SubkeyNames(const std::string& path,
                                         RegistryRoot root = RegistryRoot::LocalMachine) const;

    // Stores a value (the name "" is the default value), creating the key when it is missing.
    bool SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                  std::string bytes, RegistryRoot root = RegistryRoot::LocalMachine);
    // A REG_SZ stored with its terminating NUL, as regedit stores "name"="text".
    bool SetString(const std::string& path, const std::string& name, const std::string& text,
                   RegistryRoot root = RegistryRoot::LocalMachine);
    bool RemoveValue(const std::string& path, const std::string& name,
                     RegistryRoot root = RegistryRoot::LocalMachine);
    std::optional<RegValue> Value(const std::string& path, const std::string& name,
                                  RegistryRoot root = RegistryRoot::LocalMachine) const;

    // Every key below the root, parents before their subkeys and subkeys in enumeration order:
    // once for the key itself with a null value name and value, then once per value.
    // How many calls so far could have changed a key or a value (deletions, creations and
    // writes, made or refused): equal counts mean an unchanged registry.
    long changeCount() const;

    using KeyVisitor = std::function<void(const std::string& path, const std::string* valueName,
                                          const RegValue* value)>;
    void VisitKeys(const KeyVisitor& visit, RegistryRoot root = RegistryRoot::LocalMachine) const;

    // What the registry shares with its open keys, so that a key can count itself closed.
    struct State;

private:
    std::shared_ptr<State> state_;
    const SimVersion& version_;
};

}  // namespace drvsweep::sim
