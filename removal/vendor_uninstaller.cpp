#include "removal/vendor_uninstaller.h"

#include <cstring>
#include <initializer_list>
#include <memory>

#include "platform/fixed_text.h"
#include "platform/registry_paths.h"
#include "platform/win32_codes.h"
#include "removal/uninstall_key_table.h"

namespace drvsweep {

namespace {

// ShellExecuteA answers a start it could not make with a value of 32 or below.
constexpr std::intptr_t kShellHighestError = 32;

// The maker's setup programs were 32-bit, so on 64-bit Windows their keys lie in the 32-bit
// view; a key in the program's own view is still preferred. A path that does not fit 260
// bytes would name some other key and counts as one that cannot be opened.
bool OpenUninstallKey(Platform& platform, const char* keyName, std::unique_ptr<RegistryKey>* key) {
    PathText path;
    const char* prefix =
        RegistryPathFor(RegistryPath::UninstallPrefix, CurrentFamily(platform.version));
    if (!path.appendAll(prefix, keyName)) {
        return false;
    }
    for (const RegistryView view : {RegistryView::Native, RegistryView::Wow32}) {
        if (platform.registry.OpenKeyInView(path.c_str(), kKeyRead, view, key) == kErrorSuccess) {
            return true;
        }
    }
    return false;
}

// Reads a command-line value whatever its type. Bytes that fill the buffer without a
// terminator form no whole text and are refused like a longer value.
bool ReadCommandLine(RegistryKey& key, const char* valueName, CommandLineText* commandLine) {
    char buffer[kCommandLineBytes] = {};
    std::uint32_t size = sizeof buffer;
    if (key.QueryValue(valueName, buffer, &size) != kErrorSuccess) {
        return false;
    }
    const std::size_t length = size <= sizeof buffer ? strnlen(buffer, size) : sizeof buffer;
    return commandLine->assign(buffer, length);
}

}  // namespace

UninstallerStatus FindRegisteredUninstaller(Platform& platform, const char* devicePath,
                                            PathText* keyName, CommandLineText* commandLine,
                                            UninstallerValue value, bool* quiet) {
    std::unique_ptr<RegistryKey> key;
    const char* name = PrimaryUninstallKeyName(devicePath);
    if (!OpenUninstallKey(platform, name, &key)) {
        name = FallbackUninstallKeyName(devicePath);
        if (name == nullptr || !OpenUninstallKey(platform, name, &key)) {
            return UninstallerStatus::NoKey;
        }
    }
    CommandLineText line;
    // An empty quiet value names no program; the interactive one is read then.
    const bool quietRead = value == UninstallerValue::QuietPreferred &&
                           ReadCommandLine(*key, "QuietUninstallString", &line) && !line.empty();
    if (!quietRead && !ReadCommandLine(*key, "UninstallString", &line)) {
        return UninstallerStatus::Unreadable;
    }
    // The key's name came from a table or is devicePath itself, so it fits.
    keyName->assign(name);
    *commandLine = line;
    if (quiet != nullptr) {
        *quiet = quietRead;
    }
    return UninstallerStatus::Found;
}

UninstallerStatus FindUninstallerCommand(Platform& platform, const char* devicePath,
                                         CommandLineText* commandLine, UninstallerCommand* command,
                                         UninstallerValue value, bool* quiet) {
    PathText keyName;
    CommandLineText line;
    bool quietLine = false;
    const UninstallerStatus found =
        FindRegisteredUninstaller(platform, devicePath, &keyName, &line, value, &quietLine);
    if (found != UninstallerStatus::Found) {
        return found;
    }
    UninstallerCommand split;
    if (!SplitUninstallerCommandLine(line.c_str(), &split)) {
        return UninstallerStatus::NoProgram;
    }
    *commandLine = line;
    *command = split;
    if (quiet != nullptr) {
        *quiet = quietLine;
    }
    return UninstallerStatus::Found;
}

UninstallerStatus StartThroughShell(Platform& platform, const UninstallerCommand& command) {
    const std::intptr_t started =
        platform.programs.ShellOpen(command.program.c_str(), command.parameters.c_str());
    return started > kShellHighestError ? UninstallerStatus::Started : UninstallerStatus::Refused;
}

}  // namespace drvsweep
