#include "platform/win32/setup_di_functions.h"

#include "platform/win32/bound_function.h"

namespace drvsweep::win32 {

namespace {

SetupDiFunctions BindAll(HMODULE module) {
    return {
        BoundFunction<decltype(SetupDiGetClassDevsA)>(module, "SetupDiGetClassDevsA"),
        BoundFunction<decltype(SetupDiEnumDeviceInfo)>(module, "SetupDiEnumDeviceInfo"),
        BoundFunction<decltype(SetupDiGetDeviceRegistryPropertyA)>(
            module, "SetupDiGetDeviceRegistryPropertyA"),
        BoundFunction<decltype(SetupDiCallClassInstaller)>(module, "SetupDiCallClassInstaller"),
        BoundFunction<decltype(SetupDiGetDeviceInstallParamsA)>(module,
                                                                "SetupDiGetDeviceInstallParamsA"),
        BoundFunction<decltype(SetupDiRemoveDevice)>(module, "SetupDiRemoveDevice"),
        BoundFunction<decltype(SetupDiDestroyDeviceInfoList)>(module,
                                                              "SetupDiDestroyDeviceInfoList"),
    };
}

bool Complete(const SetupDiFunctions& functions) {
    return functions.getClassDevs != nullptr && functions.enumDeviceInfo != nullptr &&
           functions.getDeviceRegistryProperty != nullptr &&
           functions.callClassInstaller != nullptr && functions.getDeviceInstallParams != nullptr &&
           functions.removeDevice != nullptr && functions.destroyDeviceInfoList != nullptr;
}

}  // namespace

const SetupDiFunctions* BoundSetupDi() {
    static const SetupDiFunctions functions = BindAll(LoadSystemLibrary("setupapi.dll"));
    return Complete(functions) ? &functions : nullptr;
}

}  // namespace drvsweep::win32
