#include "removal/driver_package.h"

#include "removal/one_file.h"

namespace drvsweep {

namespace {

bool Succeeded(const PackageCallResult& result) {
    return result.available && result.succeeded;
}

constexpr WindowsRelease kWindowsVista{6, 0, 0};

// Whether the system keeps staged packages in a driver store (Vista and later).
bool HasDriverStore(DriverPackages& packages) {
    WindowsRelease release;
    return packages.Release(&release) && IsAtLeast(release, kWindowsVista);
}

// Uninstalls through the system; whether a call succeeded, with the restart it asked for or
// the last error.
bool UninstallThroughSystem(DriverPackages& packages, const char* infPath, const char* infName,
                            PackageRemoval* removal) {
    WindowsRelease release;
    if (packages.Release(&release) && IsAtLeast(release, kWindows10Version1703)) {
        const PackageCallResult result = packages.UninstallDriver(infPath);
        if (Succeeded(result)) {
            removal->restartNeeded = result.restartNeeded;
            return true;
        }
        removal->windowsError = result.error;
    }
    // The INF goes whatever still uses it, as the one-file step would take it anyway; a device
    // left behind keeps its instance and is installed afresh when it is found again.
    PackageCallResult result = packages.UninstallOemInf(infName, 0);
    if (result.available && !result.succeeded && result.error == kErrorInfInUseByDevices) {
        result = packages.UninstallOemInf(infName, kSuoiForceDelete);
    }
    if (Succeeded(result)) {
        removal->windowsError = 0;
        return true;
    }
    if (result.available) {
        removal->windowsError = result.error;
    }
    return false;
}

}  // namespace

PackageRemoval RemoveDriverPackage(Platform& platform, const char* infPath,
                                   const DriverPackageTarget& target) {
    PackageRemoval removal;
    if (!target.infName.empty()) {
        const bool uninstalled =
            UninstallThroughSystem(platform.packages, infPath, target.infName.c_str(), &removal);
        std::string storeInf;
        if (!uninstalled && HasDriverStore(platform.packages) &&
            platform.packages.DriverStoreInf(infPath, &storeInf) != FactAnswer::No) {
            removal.stillStaged = true;
            return removal;
        }
    }
    DeleteOneFile(platform.files, infPath);
    if (!target.pnfPath.empty()) {
        DeleteOneFile(platform.files, target.pnfPath.c_str());
    }
    return removal;
}

}  // namespace drvsweep
