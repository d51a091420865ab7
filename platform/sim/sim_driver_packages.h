#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/driver_packages.h"
#include "platform/sim/sim_devices.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_file_tree.h"

namespace drvsweep::sim {

// One OEM driver package as Windows keeps it: %windir%\inf\<infName> with its precompiled
// .pnf beside it, its catalog and, from Vista on, its folder in the driver store.
struct SimDriverPackage {
    std::string infName;                   // "oem3.inf"
    std::string catalog;                   // full path, or empty when it came without one
    std::string storeFolder;               // full path, or empty before Vista
    std::vector<std::string> installedOn;  // instance ids of the devices installed with it
};

// The Windows releases the simulation can be, each with the calls Microsoft documents for it.
enum class SimRelease {
    Windows98,       // 4.10.2222, 9x family: no RtlGetVersion, no package calls
    Windows2000,     // 5.0.2195: RtlGetVersion, no SetupUninstallOEMInfA
    WindowsXp,       // 5.1.2600: SetupUninstallOEMInfA
    Windows7,        // 6.1.7601: SetupUninstallOEMInfA, driver store
    Windows10v1607,  // 10.0.14393: the last release without DiUninstallDriverW
    Windows10v1703,  // 10.0.15063: DiUninstallDriverW
};

// The driver package calls as Microsoft documents them (Wine differs; see docs/wine-facts.md):
//
// - SetupUninstallOEMInfA(name, flags): name is a file name of the INF folder. While a device
//   installed with the package is still known (attached or not), it refuses without
//   SUOI_FORCEDELETE with ERROR_INF_IN_USE_BY_DEVICES and deletes nothing; otherwise it deletes
//   the .inf, its .pnf, its catalog and its driver store folder. An INF that is not there
//   gives 2; a name with a path gives 87 (Microsoft names no code for it).
// - DiUninstallDriverW(path): path is the INF's full path, which must exist (else 2). Devices
//   installed with the package are given another driver (here: none), so it never refuses as
//   in use; then it deletes what SetupUninstallOEMInfA deletes. Only INF files of the INF folder
//   are modelled as packages: a path elsewhere gives 87.
// - DiUninstallDriverW asks for no restart unless the machine was set to
//   (SetRestartAfterUninstall), as Windows does when a driver of the package stays loaded.
// - A .inf of the INF folder that no package record names is uninstalled like a package
//   without devices, catalog or store folder.
// - SetupGetInfDriverStoreLocationW (Vista and later) knows an INF of the INF folder while a
//   package record names it or the .inf is there; its store path is the record's store folder
//   (or FileRepository\<name> without one) with the INF's name.
// - GetSystemWow64DirectoryA gives the 32-bit system folder on a 64-bit system, otherwise 0.
// - SetupCopyOEMInfA (Windows 2000 and later) answers an oemN.inf of the INF folder whose bytes
//   are the source INF's, if there is one; otherwise it copies the INF to the first free
//   oemN.inf (from oem0.inf) with a .pnf beside it, copies the catalog that a CatalogFile= line
//   of [Version] names, when it lies beside the source, to
//   System32\CatRoot\{F750E6C3-38EE-11D1-85E5-00C04FC295EE}\oemN.cat, and records a package
//   without devices, from Vista on with a store folder FileRepository\<source name>_<amd64 or
//   x86> that holds the INF. A missing source gives 2.
//
// Faults, named after the call, with the argument given: "SetupUninstallOEMInfA" (the name
// and the flags in decimal, "oem3.inf 1"), "DiUninstallDriverW" (the path), "RtlGetVersion" and
// "GetSystemWow64DirectoryA" (empty), "SetupGetInfDriverStoreLocationW" (the path; the call then
// answers Unknown), "SetupCopyOEMInfA" (the source path).
class SimDriverPackages : public DriverPackages {
public:
    SimDriverPackages(SimFaults& faults, SimFileTree& files, SimDevices& devices);

    bool Release(WindowsRelease* release) override;
    PackageCallResult UninstallOemInf(const char* infFileName, std::uint32_t flags) override;
    PackageCallResult UninstallDriver(const char* infPath) override;
    FactAnswer DriverStoreInf(const char* infPath, std::string* storeInf) override;
    std::uint32_t Wow64SystemFolder(char* path, std::uint32_t size) override;
    PackageCallResult CopyOemInf(const char* sourceInfPath, std::string* oemInfPath) override;

    // The release and which calls it has; 64-bit systems have %windir%\SysWOW64 as their
    // 32-bit system folder. The machine starts as a 32-bit Windows XP.
    void SetRelease(SimRelease release, bool is64Bit);

    // Whether a DiUninstallDriverW that succeeds answers NeedReboot TRUE.
    void SetRestartAfterUninstall(bool restart);

    void AddPackage(SimDriverPackage package);
    // The INF names of the packages still installed, in the order they were added.
    std::vector<std::string> PackageNames() const;

private:
    PackageCallResult Uninstall(const std::string& infName, bool evenInUse);
    bool InUse(const SimDriverPackage& package) const;
    std::string InfFolder() const;

    SimFaults& faults_;
    SimFileTree& files_;
    SimDevices& devices_;
    std::optional<WindowsRelease> release_;
    bool hasSetupUninstallOemInf_ = false;
    bool hasDiUninstallDriver_ = false;
    bool hasDriverStore_ = false;
    bool hasSetupCopyOemInf_ = false;
    bool is64Bit_ = false;
    bool restartAfterUninstall_ = false;
    std::vector<SimDriverPackage> packages_;
};

}  // namespace drvsweep::sim
