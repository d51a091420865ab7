#include "platform/win32/setup_di_functions.h"

#include "platform/fixed_text.h"
#include "platform/win32/bound_function.h"

namespace drvsweep::win32 {

namespace {

// setupapi.dll from the system folder by its full path: a bare name would let a DLL of that
// name beside the program, in a download folder, be loaded instead.
HMODULE LoadSetupApi() {
    PathText path;
    const UINT length = GetSystemDirectoryA(path.data(), static_cast<UINT>(path.capacity()));
    if (length == 0 || length >= path.capacity() || !path.append("\\setupapi.dll")) {
        return nullptr;
    }
    return LoadLibraryA(path.c_str());
}

SetupDiFunctions BindAll(HMODULE module) {
    return {
        BoundFunction<decltype(SetupDiGetClassDevsA)>(module, "SetupDiGetClassDevsA"),
        BoundFunction<decltype(SetupDiEnumDeviceInfo)>(module, "SetupDiEnumDeviceInfo"),
        BoundFunction<decltype(SetupDiGetDeviceRegistryPropertyA)>(
            module, "SetupDiGetDeviceRegistryPropertyA"),
        BoundFunction<decltype(SetupDiCallClassInstaller)>(module, "SetupDiCallClassInstaller"),
        BoundFunction<decltype(SetupDiRemoveDevice)>(module, "SetupDiRemoveDevice"),
        BoundFunction<decltype(SetupDiDestroyDeviceInfoList)>(module,
                                                              "SetupDiDestroyDeviceInfoList"),
    };
}

bool Complete(const SetupDiFunctions& functions) {
    return functions.getClassDevs != nullptr && functions.enumDeviceInfo != nullptr &&
           functions.getDeviceRegistryProperty != nullptr &&
           functions.callClassInstaller != nullptr && functions.removeDevice != nullptr &&
           functions.destroyDeviceInfoList != nullptr;
}

}  // namespace

const SetupDiFunctions* BoundSetupDi() {
    static const SetupDiFunctions functions = BindAll(LoadSetupApi());
    return Complete(functions) ? &functions : nullptr;
}

}  // namespace drvsweep::win32
