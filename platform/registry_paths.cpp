#include "platform/registry_paths.h"

namespace drvsweep {

const char* RegistryPathFor(RegistryPath path, Family family) {
    const bool nt = family == Family::Nt;
    switch (path) {
        case RegistryPath::UsbTree:
            return nt ? "SYSTEM\\CurrentControlSet\\Enum\\USB" : "Enum\\USB";
        case RegistryPath::UsbDevicePrefix:
            return nt ? "SYSTEM\\CurrentControlSet\\Enum\\USB\\" : "Enum\\USB\\";
        case RegistryPath::PcCardTree:
            return nt ? "SYSTEM\\CurrentControlSet\\Enum\\PCMCIA" : "Enum\\PCMCIA";
        case RegistryPath::PcCardDevicePrefix:
            return nt ? "SYSTEM\\CurrentControlSet\\Enum\\PCMCIA\\" : "Enum\\PCMCIA\\";
        case RegistryPath::DevicePresencePrefix:
            return nt ? "SYSTEM\\CurrentControlSet\\Enum\\" : "Enum\\";
        case RegistryPath::DeviceEntryPrefix:
            return nt ? nullptr : "Enum\\";
        case RegistryPath::DriverClassPrefix:
            return nt ? nullptr : "SYSTEM\\CurrentControlSet\\Services\\class\\";
        case RegistryPath::DeviceDriverKeyPrefix:
            return nt ? "SYSTEM\\CurrentControlSet\\Control\\Class\\" : nullptr;
        case RegistryPath::UninstallPrefix:
            return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    }
    return nullptr;
}

}  // namespace drvsweep
