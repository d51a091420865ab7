#include "removal/driver_package.h"

#include "removal/one_file.h"

namespace drvsweep {

namespace {

bool Succeeded(const PackageCallResult& result) {
    return result.available && result.succeeded;
}

// True when the system asked for a restart.
bool UninstallThroughSystem(DriverPackages& packages, const char* infPath, const char* infName) {
    WindowsRelease release;
    if (packages.Release(&release) && IsAtLeast(release, kWindows10Version1703)) {
        const PackageCallResult result = packages.UninstallDriver(infPath);
        if (Succeeded(result)) {
            return result.restartNeeded;
        }
    }
    // The INF goes whatever still uses it, as the one-file step would take it anyway; a device
    // left behind keeps its instance and is installed afresh when it is found again.
    const PackageCallResult result = packages.UninstallOemInf(infName, 0);
    if (result.available && !result.succeeded && result.error == kErrorInfInUseByDevices) {
        packages.UninstallOemInf(infName, kSuoiForceDelete);
    }
    return false;
}

}  // namespace

bool RemoveDriverPackage(Platform& platform, const char* infPath,
                         const DriverPackageTarget& target) {
    const bool restartRequested =
        !target.infName.empty() &&
        UninstallThroughSystem(platform.packages, infPath, target.infName.c_str());
    DeleteOneFile(platform.files, infPath);
    if (!target.pnfPath.empty()) {
        DeleteOneFile(platform.files, target.pnfPath.c_str());
    }
    return restartRequested;
}

}  // namespace drvsweep
