#include "platform/win32/win32_driver_packages.h"

#include "platform/win32/bound_function.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

namespace {

// The signatures as Microsoft documents them. MinGW-w64 declares no DiUninstallDriverW, and
// binding the others at run time needs their types anyway.
using RtlGetVersionCall = LONG WINAPI(RTL_OSVERSIONINFOW*);
using SetupUninstallOemInfCall = BOOL WINAPI(PCSTR infFileName, DWORD flags, PVOID reserved);
using DiUninstallDriverCall = BOOL WINAPI(HWND parent, PCWSTR infPath, DWORD flags,
                                          PBOOL needReboot);
using GetSystemWow64DirectoryCall = UINT WINAPI(LPSTR buffer, UINT size);

PackageCallResult Answer(BOOL succeeded) {
    PackageCallResult result;
    result.available = true;
    result.succeeded = succeeded != FALSE;
    result.error = result.succeeded ? 0 : GetLastError();
    return result;
}

}  // namespace

bool Win32DriverPackages::Release(WindowsRelease* release) {
    const auto rtlGetVersion =
        BoundFunction<RtlGetVersionCall>(GetModuleHandleA("ntdll.dll"), "RtlGetVersion");
    if (rtlGetVersion == nullptr) {
        return false;
    }
    RTL_OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (rtlGetVersion(&info) != 0) {
        return false;
    }
    release->major = info.dwMajorVersion;
    release->minor = info.dwMinorVersion;
    release->build = info.dwBuildNumber;
    return true;
}

PackageCallResult Win32DriverPackages::UninstallOemInf(const char* infFileName,
                                                       std::uint32_t flags) {
    const auto uninstall = BoundFunction<SetupUninstallOemInfCall>(
        LoadSystemLibrary("setupapi.dll"), "SetupUninstallOEMInfA");
    if (uninstall == nullptr) {
        return PackageCallResult{};
    }
    return Answer(uninstall(infFileName, flags, nullptr));
}

PackageCallResult Win32DriverPackages::UninstallDriver(const char* infPath) {
    const auto uninstall =
        BoundFunction<DiUninstallDriverCall>(LoadSystemLibrary("newdev.dll"), "DiUninstallDriverW");
    if (uninstall == nullptr) {
        return PackageCallResult{};
    }
    wchar_t widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, infPath, -1, widePath, MAX_PATH) == 0) {
        return Answer(FALSE);
    }
    BOOL needReboot = FALSE;
    PackageCallResult result = Answer(uninstall(nullptr, widePath, 0, &needReboot));
    result.restartNeeded = result.succeeded && needReboot != FALSE;
    return result;
}

std::uint32_t Win32DriverPackages::Wow64SystemFolder(char* path, std::uint32_t size) {
    const auto getFolder = BoundFunction<GetSystemWow64DirectoryCall>(
        GetModuleHandleA("kernel32.dll"), "GetSystemWow64DirectoryA");
    return getFolder == nullptr ? 0 : getFolder(path, size);
}

}  // namespace drvsweep::win32
