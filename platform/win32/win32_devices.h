#pragma once

#include "platform/device_instances.h"

namespace drvsweep::win32 {

// Device instances through the Setup API's device functions, bound at run time (BoundSetupDi):
// SetupDiGetClassDevsA, SetupDiEnumDeviceInfo, SetupDiGetDeviceRegistryPropertyA,
// SetupDiCallClassInstaller(DIF_REMOVE), SetupDiRemoveDevice and SetupDiDestroyDeviceInfoList.
class Win32Devices : public DeviceInstances {
public:
    std::unique_ptr<DeviceInfoSet> AllDevices() override;
    std::unique_ptr<DeviceInfoSet> AttachedDevices() override;
};

}  // namespace drvsweep::win32
