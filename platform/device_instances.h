#pragma once

#include <cstdint>
#include <memory>

namespace drvsweep {

// One member of a device information set, laid out like SP_DEVINFO_DATA.
struct DeviceInfoData {
    std::uint32_t cbSize = 0;
    std::uint8_t classGuid[16] = {};
    std::uint32_t devInst = 0;
    std::uintptr_t reserved = 0;
};

// A device information set of the NT family's Setup API; destroying it destroys the set
// (SetupDiDestroyDeviceInfoList).
class DeviceInfoSet {
public:
    virtual ~DeviceInfoSet() = default;

    // SetupDiEnumDeviceInfo: false past the last member.
    virtual bool EnumDevice(std::uint32_t index, DeviceInfoData* device) = 0;

    // SetupDiGetDeviceRegistryPropertyA(SPDRP_HARDWAREID) into buffer[0, size); *required
    // receives the size needed. On false, *error holds GetLastError() read at once.
    virtual bool HardwareIds(const DeviceInfoData& device, std::uint8_t* buffer, std::uint32_t size,
                             std::uint32_t* required, std::uint32_t* error) = 0;

    // SetupDiCallClassInstaller(DIF_REMOVE). After a removal that succeeded, *restartNeeded
    // tells whether the device's install parameters (SetupDiGetDeviceInstallParamsA) then ask
    // for a restart (DI_NEEDREBOOT or DI_NEEDRESTART); it is false when they cannot be read and
    // after a failed removal.
    virtual bool CallRemoveInstaller(const DeviceInfoData& device, bool* restartNeeded) = 0;

    // SetupDiRemoveDevice.
    virtual bool RemoveDevice(const DeviceInfoData& device) = 0;
};

class DeviceInstances {
public:
    virtual ~DeviceInstances() = default;

    // SetupDiGetClassDevsA(no class, no enumerator, no window, DIGCF_ALLCLASSES): every
    // device the system knows, attached or not. Null when the set cannot be built.
    virtual std::unique_ptr<DeviceInfoSet> AllDevices() = 0;

    // SetupDiGetClassDevsA(..., DIGCF_ALLCLASSES | DIGCF_PRESENT): the devices attached now.
    // Null when the set cannot be built.
    virtual std::unique_ptr<DeviceInfoSet> AttachedDevices() = 0;
};

}  // namespace drvsweep
