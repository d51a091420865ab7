#include "platform/win32/win32_driver_packages.h"

#include <string>
#include <vector>

#include "platform/win32/ansi_text.h"
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
using SetupGetInfDriverStoreLocationCall = BOOL WINAPI(PCWSTR fileName,
                                                       PSP_ALTPLATFORM_INFO alternatePlatform,
                                                       PCWSTR localeName, PWSTR buffer,
                                                       DWORD bufferSize, PDWORD requiredSize);
using GetSystemWow64DirectoryCall = UINT WINAPI(LPSTR buffer, UINT size);
using SetupCopyOemInfCall = BOOL WINAPI(PCSTR sourceInfFileName, PCSTR mediaLocation,
                                        DWORD mediaType, DWORD copyStyle, PSTR destinationName,
                                        DWORD destinationNameSize, PDWORD requiredSize,
                                        PSTR* destinationNameComponent);

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

FactAnswer Win32DriverPackages::DriverStoreInf(const char* infPath, std::string* storeInf) {
    const auto locate = BoundFunction<SetupGetInfDriverStoreLocationCall>(
        LoadSystemLibrary("setupapi.dll"), "SetupGetInfDriverStoreLocationW");
    std::wstring widePath;
    if (locate == nullptr || !WidenAnsi(infPath, &widePath)) {
        return FactAnswer::Unknown;
    }
    // A store path is usually well under MAX_PATH; a longer one is asked for again at the size
    // the first call names.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD required = 0;
        if (locate(widePath.c_str(), nullptr, nullptr, buffer.data(),
                   static_cast<DWORD>(buffer.size()), &required)) {
            buffer.back() = L'\0';
            return NarrowToAnsi(buffer.data(), storeInf) ? FactAnswer::Yes : FactAnswer::Unknown;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_NOT_FOUND || error == ERROR_FILE_NOT_FOUND ||
            error == ERROR_PATH_NOT_FOUND) {
            return FactAnswer::No;
        }
        if (error != ERROR_INSUFFICIENT_BUFFER || required <= buffer.size()) {
            return FactAnswer::Unknown;
        }
        buffer.assign(required, L'\0');
    }
    return FactAnswer::Unknown;
}

std::uint32_t Win32DriverPackages::Wow64SystemFolder(char* path, std::uint32_t size) {
    const auto getFolder = BoundFunction<GetSystemWow64DirectoryCall>(
        GetModuleHandleA("kernel32.dll"), "GetSystemWow64DirectoryA");
    return getFolder == nullptr ? 0 : getFolder(path, size);
}

PackageCallResult Win32DriverPackages::CopyOemInf(const char* sourceInfPath,
                                                  std::string* oemInfPath) {
    const auto copy =
        BoundFunction<SetupCopyOemInfCall>(LoadSystemLibrary("setupapi.dll"), "SetupCopyOEMInfA");
    if (copy == nullptr) {
        return PackageCallResult{};
    }
    // The INF folder's path and an oemN.inf name always fit in MAX_PATH.
    PathText staged;
    const PackageCallResult result =
        Answer(copy(sourceInfPath, nullptr, SPOST_PATH, 0, staged.data(),
                    static_cast<DWORD>(staged.capacity()), nullptr, nullptr));
    if (result.succeeded) {
        staged.data()[staged.capacity() - 1] = '\0';
        *oemInfPath = staged.c_str();
    }
    return result;
}

}  // namespace drvsweep::win32
