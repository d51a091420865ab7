#include "tests/wine/driver_package_setup.h"

#include "platform/win32/windows_api.h"

namespace drvsweep::testing {

std::string InstallDriverPackage(const std::string& sourceInf) {
    // Wine takes the installed name after the source's last backslash.
    std::string source = sourceInf;
    for (char& c : source) {
        c = c == '/' ? '\\' : c;
    }
    char installed[MAX_PATH] = {};
    char* name = nullptr;
    if (!SetupCopyOEMInfA(source.c_str(), nullptr, SPOST_PATH, 0, installed, MAX_PATH, nullptr,
                          &name) ||
        name == nullptr) {
        return std::string();
    }
    return name;
}

}  // namespace drvsweep::testing
