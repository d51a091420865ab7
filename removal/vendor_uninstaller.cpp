#include "removal/vendor_uninstaller.h"

#include <cstring>
#include <initializer_list>
#include <memory>

#include "platform/fixed_text.h"
#include "platform/registry_paths.h"
#include "platform/win32_codes.h"
#include "removal/uninstall_key_table.h"
#include "removal/uninstaller_command_line.h"

namespace drvsweep {

namespace {

// The command line is read with 520 bytes, twice the size of the other values.
constexpr std::size_t kCommandLineBytes = 520;
using CommandLineText = FixedText<kCommandLineBytes>;

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

// Reads "UninstallString" whatever its type and returns the read's code. Bytes that fill the
// buffer without a terminator form no whole text and are refused like a longer value.
long ReadCommandLine(RegistryKey& key, CommandLineText* commandLine) {
    char buffer[kCommandLineBytes] = {};
    std::uint32_t size = sizeof buffer;
    const long result = key.QueryValue("UninstallString", buffer, &size);
    if (result != kErrorSuccess) {
        return result;
    }
    const std::size_t length = size <= sizeof buffer ? strnlen(buffer, size) : sizeof buffer;
    return commandLine->assign(buffer, length) ? kErrorSuccess : kErrorMoreData;
}

}  // namespace

std::int32_t LaunchVendorUninstaller(Platform& platform, const char* devicePath) {
    std::unique_ptr<RegistryKey> key;
    if (!OpenUninstallKey(platform, PrimaryUninstallKeyName(devicePath), &key)) {
        const char* fallback = FallbackUninstallKeyName(devicePath);
        if (fallback == nullptr || !OpenUninstallKey(platform, fallback, &key)) {
            return kNoUninstallKey;
        }
    }
    CommandLineText commandLine;
    const long read = ReadCommandLine(*key, &commandLine);
    key.reset();
    if (read != kErrorSuccess) {
        return static_cast<std::int32_t>(read);
    }
    UninstallerCommand command;
    if (!SplitUninstallerCommandLine(commandLine.c_str(), &command)) {
        return kUninstallerNotStarted;
    }
    // A start the shell refused runs nothing: reporting it as started would leave the caller
    // watching for a device that no program removes, without ever offering its own removal.
    const std::intptr_t started =
        platform.programs.ShellOpen(command.program.c_str(), command.parameters.c_str());
    return started > kShellHighestError ? kUninstallerStarted : kUninstallerNotStarted;
}

}  // namespace drvsweep
