// A stand-in for the maker's uninstaller in the tests under Wine, registered under an Uninstall
// key of a scenario and started by LaunchVendorUninstaller or by DrvSweep itself:
//
//   test_uninstaller.exe [-record <file>] [-delay <milliseconds>] [<device path>]
//
// It waits for the delay, deletes the device key HKLM\SYSTEM\CurrentControlSet\Enum\<device
// path> (HKLM\Enum\<device path> on the 9x family) with everything below it, and then writes
// its record file (default C:\uninstaller-ran.txt): its whole command line on the first line,
// the deletion's registry code on the second ("none" without a device path). The record appears
// whole and last, so a test that sees it knows the key is gone. Exit code 0, or 2 for a command
// line it does not understand.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// The C runtime's copy of the command line as the process got it (_acmdln), after <cstdlib>,
// which declares what this header needs.
#include <corecrt_startup.h>

#include "platform/registry_paths.h"
#include "platform/win32/win32_windows.h"
#include "platform/win32_codes.h"

namespace drvsweep {
namespace {

struct Options {
    std::string record = "C:\\uninstaller-ran.txt";
    long delayMilliseconds = 0;
    std::string devicePath;
};

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-record" && i + 1 < argc) {
            options->record = argv[++i];
        } else if (argument == "-delay" && i + 1 < argc) {
            options->delayMilliseconds = std::strtol(argv[++i], nullptr, 10);
        } else if (argument[0] != '-' && options->devicePath.empty()) {
            options->devicePath = argument;
        } else {
            return false;
        }
    }
    return true;
}

// Deletes the key below everything under it: the NT family's RegDeleteKeyA refuses a key that
// still has subkeys.
long DeleteKeyTree(Registry& registry, const std::string& path) {
    std::unique_ptr<RegistryKey> key;
    const long opened = registry.OpenKey(path.c_str(), kKeyRead, &key);
    if (opened != kErrorSuccess) {
        return opened;
    }
    std::vector<std::string> subkeys;
    char name[260];
    for (std::uint32_t index = 0; key->EnumKey(index, name, sizeof name) == kErrorSuccess;
         ++index) {
        subkeys.push_back(name);
    }
    key.reset();
    for (const std::string& subkey : subkeys) {
        DeleteKeyTree(registry, path + "\\" + subkey);
    }
    return registry.DeleteKey(path.c_str());
}

// Written beside the record and renamed onto it, so that a reader never sees half of it.
bool WriteRecord(const std::string& record, const std::string& text) {
    const std::string part = record + ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            return false;
        }
    }
    std::remove(record.c_str());
    return std::rename(part.c_str(), record.c_str()) == 0;
}

int Run(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: test_uninstaller [-record <file>] [-delay <ms>] [<device>]\n");
        return 2;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(options.delayMilliseconds));
    std::string deleted = "none";
    if (!options.devicePath.empty()) {
        win32::Win32Windows windows;
        Platform& platform = windows.platform();
        const char* prefix =
            RegistryPathFor(RegistryPath::DevicePresencePrefix, CurrentFamily(platform.version));
        deleted = std::to_string(DeleteKeyTree(platform.registry, prefix + options.devicePath));
    }
    return WriteRecord(options.record, std::string(_acmdln) + "\n" + deleted + "\n") ? 0 : 1;
}

}  // namespace
}  // namespace drvsweep

int main(int argc, char** argv) {
    return drvsweep::Run(argc, argv);
}
