#pragma once

#include <cstdint>
#include <string>

#include "platform/file_facts.h"

namespace drvsweep {

// The release numbers as RtlGetVersion gives them. Unlike GetVersion they do not depend on
// the program's manifest: from Windows 8.1 on, GetVersion reports 6.2 to a program that does
// not declare the newer systems, and the test programs declare none.
struct WindowsRelease {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
};

// Windows 10 version 1703, the first release whose newdev.dll has DiUninstallDriverW.
constexpr WindowsRelease kWindows10Version1703{10, 0, 15063};

constexpr bool IsAtLeast(const WindowsRelease& release, const WindowsRelease& other) {
    if (release.major != other.major) {
        return release.major > other.major;
    }
    if (release.minor != other.minor) {
        return release.minor > other.minor;
    }
    return release.build >= other.build;
}

// What one driver package call answered: whether the system has the call at all (each is
// bound at run time, since older systems lack it) and, when it ran, its result with the
// GetLastError() read at once after a failure.
struct PackageCallResult {
    bool available = false;
    bool succeeded = false;
    std::uint32_t error = 0;
    // Whether the system asked for a restart to finish what the call did (only
    // DiUninstallDriverW answers it, in its NeedReboot).
    bool restartNeeded = false;
};

constexpr std::uint32_t kSuoiForceDelete = 0x1;
constexpr std::uint32_t kErrorInfInUseByDevices = 0xE000023D;

// Driver packages, and the facts about the system that their removal depends on. Every call
// is bound at run time: the program must load on systems that have none of them.
class DriverPackages {
public:
    virtual ~DriverPackages() = default;

    // RtlGetVersion of ntdll.dll: false where the system has none (the 9x family).
    virtual bool Release(WindowsRelease* release) = 0;

    // SetupUninstallOEMInfA(infFileName, flags, NULL): the INF's file name, without a path, in
    // the system's INF folder. Not available on Windows 2000 and the 9x family.
    virtual PackageCallResult UninstallOemInf(const char* infFileName, std::uint32_t flags) = 0;

    // DiUninstallDriverW(no window, infPath, 0, &needReboot) of newdev.dll, infPath being the
    // INF's full path in the ANSI code page. The restart it may need is passed on in
    // restartNeeded, not acted on: passing no needReboot would make the call show a restart
    // box of its own. Not available before Windows 10 version 1703.
    virtual PackageCallResult UninstallDriver(const char* infPath) = 0;

    // SetupGetInfDriverStoreLocationW(infPath, NULL, NULL, ...) of setupapi.dll, infPath (a
    // full path in the INF folder) widened from the ANSI code page: whether the driver store
    // still knows the package. Yes with *storeInf set to the INF's path in the store; No when
    // the store does not know it (ERROR_NOT_FOUND, ERROR_FILE_NOT_FOUND,
    // ERROR_PATH_NOT_FOUND); Unknown when the call is missing (before Vista) or fails
    // otherwise. *storeInf is untouched unless Yes.
    virtual FactAnswer DriverStoreInf(const char* infPath, std::string* storeInf) = 0;

    // GetSystemWow64DirectoryA, answered as FileSystem::WindowsFolder: on 64-bit Windows the
    // 32-bit system folder (%windir%\SysWOW64). 0 on 32-bit Windows, which answers
    // ERROR_CALL_NOT_IMPLEMENTED, and where kernel32.dll has no such call (the 9x family and
    // Windows 2000).
    virtual std::uint32_t Wow64SystemFolder(char* path, std::uint32_t size) = 0;

    // SetupCopyOEMInfA(sourceInfPath, NULL, SPOST_PATH, 0, name, ..., NULL, NULL) of
    // setupapi.dll, bound at run time: stages the package whose INF is sourceInfPath (a full
    // path; its catalog and files lie beside it), from Vista on into the driver store, so that
    // Windows installs it when a device it lists is plugged in. On success *oemInfPath is the
    // full path Windows gave the INF in the INF folder (that of an identical INF already there,
    // when there is one). Not available where setupapi.dll lacks the call.
    virtual PackageCallResult CopyOemInf(const char* sourceInfPath, std::string* oemInfPath) = 0;
};

}  // namespace drvsweep
