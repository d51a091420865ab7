#include "platform/sim/sim_driver_packages.h"

#include <algorithm>
#include <cstring>

#include "platform/sim/ascii_case.h"
#include "platform/win32_codes.h"

namespace drvsweep::sim {

namespace {

// The catalog database's folder of the driver catalogs.
constexpr const char* kCatRootSubfolder = "{F750E6C3-38EE-11D1-85E5-00C04FC295EE}";

PackageCallResult Ran(bool succeeded, long error = 0) {
    PackageCallResult result;
    result.available = true;
    result.succeeded = succeeded;
    result.error = succeeded ? 0 : static_cast<std::uint32_t>(error);
    return result;
}

// The .pnf Windows precompiles for oemNN.inf is oemNN.pnf.
std::string PnfName(const std::string& infName) {
    const std::size_t dot = infName.rfind('.');
    return (dot == std::string::npos ? infName : infName.substr(0, dot)) + ".pnf";
}

// The catalog that the INF's [Version] section names in a plain CatalogFile= line, or empty.
// Only ANSI INF files are read here; a UTF-16 one, like one that names its catalog per platform
// alone, stages without its catalog.
std::string CatalogName(const std::string& infBytes) {
    const char* const kBlanks = " \t\r";
    bool inVersion = false;
    std::size_t start = 0;
    while (start < infBytes.size()) {
        std::size_t end = infBytes.find('\n', start);
        end = end == std::string::npos ? infBytes.size() : end;
        std::string line = infBytes.substr(start, end - start);
        start = end + 1;
        const std::size_t first = line.find_first_not_of(kBlanks);
        if (first == std::string::npos || line[first] == ';') {
            continue;
        }
        line = line.substr(first, line.find_last_not_of(kBlanks) - first + 1);
        if (line[0] == '[') {
            inVersion = EqualIgnoringCase(line, "[Version]");
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inVersion || equals == std::string::npos || equals == 0) {
            continue;
        }
        const std::string key = line.substr(0, line.find_last_not_of(kBlanks, equals - 1) + 1);
        if (!EqualIgnoringCase(key, "CatalogFile")) {
            continue;
        }
        const std::string value = line.substr(equals + 1);
        const std::size_t from = value.find_first_not_of(" \t\"");
        return from == std::string::npos
                   ? std::string()
                   : value.substr(from, value.find_last_not_of(" \t\"") - from + 1);
    }
    return std::string();
}

}  // namespace

SimDriverPackages::SimDriverPackages(SimFaults& faults, SimFileTree& files, SimDevices& devices)
    : faults_(faults), files_(files), devices_(devices) {
    SetRelease(SimRelease::WindowsXp, false);
}

void SimDriverPackages::SetRelease(SimRelease release, bool is64Bit) {
    struct Facts {
        SimRelease release;
        std::optional<WindowsRelease> numbers;
        bool setupUninstallOemInf;
        bool diUninstallDriver;
        bool driverStore;
        bool setupCopyOemInf;
    };
    static const Facts kFacts[] = {
        {SimRelease::Windows98, std::nullopt, false, false, false, false},
        {SimRelease::Windows2000, WindowsRelease{5, 0, 2195}, false, false, false, true},
        {SimRelease::WindowsXp, WindowsRelease{5, 1, 2600}, true, false, false, true},
        {SimRelease::Windows7, WindowsRelease{6, 1, 7601}, true, false, true, true},
        {SimRelease::Windows10v1607, WindowsRelease{10, 0, 14393}, true, false, true, true},
        {SimRelease::Windows10v1703, kWindows10Version1703, true, true, true, true},
    };
    for (const Facts& facts : kFacts) {
        if (facts.release == release) {
            release_ = facts.numbers;
            hasSetupUninstallOemInf_ = facts.setupUninstallOemInf;
            hasDiUninstallDriver_ = facts.diUninstallDriver;
            hasDriverStore_ = facts.driverStore;
            hasSetupCopyOemInf_ = facts.setupCopyOemInf;
        }
    }
    is64Bit_ = is64Bit;
}

void SimDriverPackages::AddPackage(SimDriverPackage package) {
    packages_.push_back(std::move(package));
}

std::vector<std::string> SimDriverPackages::PackageNames() const {
    std::vector<std::string> names;
    for (const SimDriverPackage& package : packages_) {
        names.push_back(package.infName);
    }
    return names;
}

bool SimDriverPackages::Release(WindowsRelease* release) {
    long ignored = 0;
    if (faults_.ShouldFail("RtlGetVersion", "", &ignored) || !release_) {
        return false;
    }
    *release = *release_;
    return true;
}

std::string SimDriverPackages::InfFolder() const {
    return files_.windowsFolder() + "\\inf";
}

// A device need not be attached to count: every device the system still knows does.
bool SimDriverPackages::InUse(const SimDriverPackage& package) const {
    const std::vector<std::string> known = devices_.InstanceIds();
    return std::any_of(package.installedOn.begin(), package.installedOn.end(),
                       [&known](const std::string& device) {
                           return std::find_if(known.begin(), known.end(),
                                               [&device](const std::string& id) {
                                                   return EqualIgnoringCase(id, device);
                                               }) != known.end();
                       });
}

PackageCallResult SimDriverPackages::Uninstall(const std::string& infName, bool evenInUse) {
    const std::string infPath = InfFolder() + "\\" + infName;
    const auto package = std::find_if(
        packages_.begin(), packages_.end(),
        [&infName](const SimDriverPackage& p) { return EqualIgnoringCase(p.infName, infName); });
    if (package == packages_.end()) {
        if (!files_.Exists(infPath)) {
            return Ran(false, kErrorFileNotFound);
        }
    } else {
        if (!evenInUse && InUse(*package)) {
            return Ran(false, static_cast<long>(kErrorInfInUseByDevices));
        }
        for (const std::string& path : {package->catalog, package->storeFolder}) {
            if (!path.empty()) {
                files_.Erase(path);
            }
        }
        packages_.erase(package);
    }
    files_.Erase(infPath);
    files_.Erase(InfFolder() + "\\" + PnfName(infName));
    // Windows keeps an OEM INF's catalog as oemN.cat in the catalog database, and takes it with
    // the package.
    const std::string stem = infName.substr(0, infName.rfind('.'));
    files_.Erase(files_.windowsFolder() + "\\System32\\CatRoot\\" + kCatRootSubfolder + "\\" +
                 stem + ".cat");
    return Ran(true);
}

PackageCallResult SimDriverPackages::UninstallOemInf(const char* infFileName, std::uint32_t flags) {
    if (!hasSetupUninstallOemInf_) {
        return PackageCallResult{};
    }
    const std::string name = infFileName;
    long error = 0;
    if (faults_.ShouldFail("SetupUninstallOEMInfA", name + " " + std::to_string(flags), &error)) {
        return Ran(false, error);
    }
    if (name.empty() || name.find_first_of("\\/:") != std::string::npos) {
        return Ran(false, kErrorInvalidParameter);
    }
    return Uninstall(name, (flags & kSuoiForceDelete) != 0);
}

PackageCallResult SimDriverPackages::UninstallDriver(const char* infPath) {
    if (!hasDiUninstallDriver_) {
        return PackageCallResult{};
    }
    const std::string path = infPath;
    long error = 0;
    if (faults_.ShouldFail("DiUninstallDriverW", path, &error)) {
        return Ran(false, error);
    }
    const std::string folder = InfFolder() + "\\";
    if (!files_.Exists(path)) {
        return Ran(false, kErrorFileNotFound);
    }
    // Only packages of the INF folder are modelled; an INF elsewhere is not one Windows staged.
    if (path.size() <= folder.size() || !EqualIgnoringCase(path.substr(0, folder.size()), folder) ||
        path.find('\\', folder.size()) != std::string::npos) {
        return Ran(false, kErrorInvalidParameter);
    }
    PackageCallResult result = Uninstall(path.substr(folder.size()), true);
    result.restartNeeded = result.succeeded && restartAfterUninstall_;
    return result;
}

FactAnswer SimDriverPackages::DriverStoreInf(const char* infPath, std::string* storeInf) {
    if (!hasDriverStore_) {
        return FactAnswer::Unknown;
    }
    const std::string path = infPath;
    long ignored = 0;
    if (faults_.ShouldFail("SetupGetInfDriverStoreLocationW", path, &ignored)) {
        return FactAnswer::Unknown;
    }
    const std::string folder = InfFolder() + "\\";
    if (path.size() <= folder.size() || !EqualIgnoringCase(path.substr(0, folder.size()), folder)) {
        return FactAnswer::No;
    }
    const std::string infName = path.substr(folder.size());
    const auto package = std::find_if(
        packages_.begin(), packages_.end(),
        [&infName](const SimDriverPackage& p) { return EqualIgnoringCase(p.infName, infName); });
    if (package == packages_.end() && !files_.Exists(path)) {
        return FactAnswer::No;
    }
    const std::string storeFolder =
        package != packages_.end() && !package->storeFolder.empty()
            ? package->storeFolder
            : files_.windowsFolder() + "\\System32\\DriverStore\\FileRepository\\" + infName;
    *storeInf = storeFolder + "\\" + infName;
    return FactAnswer::Yes;
}

PackageCallResult SimDriverPackages::CopyOemInf(const char* sourceInfPath,
                                                std::string* oemInfPath) {
    if (!hasSetupCopyOemInf_) {
        return PackageCallResult{};
    }
    const std::string source = sourceInfPath;
    long error = 0;
    if (faults_.ShouldFail("SetupCopyOEMInfA", source, &error)) {
        return Ran(false, error);
    }
    std::string bytes;
    if (!files_.ReadFile(source, &bytes)) {
        return Ran(false, files_.Exists(source) ? kErrorAccessDenied : kErrorFileNotFound);
    }
    const std::string folder = InfFolder() + "\\";
    // An identical INF already staged is answered, not staged again.
    std::string staged;
    for (const std::string& name : files_.ListNames(InfFolder())) {
        std::string present;
        if (name.size() > 3 && EqualIgnoringCase(name.substr(0, 3), "oem") &&
            files_.ReadFile(folder + name, &present) && present == bytes) {
            *oemInfPath = folder + name;
            return Ran(true);
        }
    }
    int number = 0;
    while (files_.Exists(folder + "oem" + std::to_string(number) + ".inf")) {
        ++number;
    }
    SimDriverPackage package;
    package.infName = "oem" + std::to_string(number) + ".inf";
    if (!files_.AddFile(folder + package.infName, bytes) ||
        !files_.AddFile(folder + PnfName(package.infName))) {
        return Ran(false, kErrorPathNotFound);
    }
    const std::size_t slash = source.find_last_of("\\/");
    const std::string sourceFolder = slash == std::string::npos ? "." : source.substr(0, slash);
    const std::string catalogName = CatalogName(bytes);
    std::string catalog;
    if (!catalogName.empty() && files_.ReadFile(sourceFolder + "\\" + catalogName, &catalog)) {
        package.catalog = files_.windowsFolder() + "\\System32\\CatRoot\\" + kCatRootSubfolder +
                          "\\" + package.infName.substr(0, package.infName.size() - 4) + ".cat";
        files_.AddFile(package.catalog, catalog);
    }
    if (hasDriverStore_) {
        const std::string sourceName =
            slash == std::string::npos ? source : source.substr(slash + 1);
        package.storeFolder = files_.windowsFolder() + "\\System32\\DriverStore\\FileRepository\\" +
                              sourceName + (is64Bit_ ? "_amd64" : "_x86");
        files_.AddFile(package.storeFolder + "\\" + sourceName, bytes);
    }
    *oemInfPath = folder + package.infName;
    AddPackage(std::move(package));
    return Ran(true);
}

void SimDriverPackages::SetRestartAfterUninstall(bool restart) {
    restartAfterUninstall_ = restart;
}

std::uint32_t SimDriverPackages::Wow64SystemFolder(char* path, std::uint32_t size) {
    long ignored = 0;
    if (faults_.ShouldFail("GetSystemWow64DirectoryA", "", &ignored) || !is64Bit_) {
        return 0;
    }
    const std::string folder = files_.windowsFolder() + "\\SysWOW64";
    if (folder.size() >= size) {
        return static_cast<std::uint32_t>(folder.size() + 1);
    }
    std::memcpy(path, folder.c_str(), folder.size() + 1);
    return static_cast<std::uint32_t>(folder.size());
}

}  // namespace drvsweep::sim
