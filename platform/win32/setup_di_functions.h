#pragma once

#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

// The Setup API's device functions that the NT family's device removal calls. They are
// looked up at run time rather than imported: the 9x family's setupapi.dll is not known to
// export them, and a program that imports a missing function does not start at all.
struct SetupDiFunctions {
    decltype(SetupDiGetClassDevsA)* getClassDevs;
    decltype(SetupDiEnumDeviceInfo)* enumDeviceInfo;
    decltype(SetupDiGetDeviceRegistryPropertyA)* getDeviceRegistryProperty;
    decltype(SetupDiCallClassInstaller)* callClassInstaller;
    decltype(SetupDiGetDeviceInstallParamsA)* getDeviceInstallParams;
    decltype(SetupDiRemoveDevice)* removeDevice;
    decltype(SetupDiDestroyDeviceInfoList)* destroyDeviceInfoList;
};

// All seven from the system folder's setupapi.dll, which then stays loaded until the process
// ends; null when the library cannot be loaded or lacks any of them. Looked up once.
const SetupDiFunctions* BoundSetupDi();

}  // namespace drvsweep::win32
