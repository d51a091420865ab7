#pragma once

#include "platform/driver_packages.h"

namespace drvsweep::win32 {

// Driver packages through calls bound at run time: RtlGetVersion (ntdll.dll),
// SetupUninstallOEMInfA, SetupGetInfDriverStoreLocationW and SetupCopyOEMInfA (setupapi.dll),
// DiUninstallDriverW (newdev.dll) and GetSystemWow64DirectoryA (kernel32.dll).
class Win32DriverPackages : public DriverPackages {
public:
    bool Release(WindowsRelease* release) override;
    PackageCallResult UninstallOemInf(const char* infFileName, std::uint32_t flags) override;
    PackageCallResult UninstallDriver(const char* infPath) override;
    FactAnswer DriverStoreInf(const char* infPath, std::string* storeInf) override;
    std::uint32_t Wow64SystemFolder(char* path, std::uint32_t size) override;
    PackageCallResult CopyOemInf(const char* sourceInfPath, std::string* oemInfPath) override;
};

}  // namespace drvsweep::win32
