#include "removal/removal_plan.h"

#include <set>
#include <string>

#include "discovery/driver_fields.h"
#include "discovery/package_users.h"
#include "removal/item_probe.h"
#include "removal/plan_steps.h"

namespace drvsweep {

namespace {

// Adds the items that have a path there, those that Windows is set to delete at the restart
// among them: until then they are there, and the removal reports them as going then.
void AddPresent(Platform& platform, const std::vector<PlanItem>& items,
                std::vector<PlanItem>* plan) {
    for (const PlanItem& item : items) {
        if (!PlanItemPathsThere(platform, item).empty()) {
            plan->push_back(item);
        }
    }
}

// Paths compared as Windows compares them, ignoring case.
class PathSet {
public:
    explicit PathSet(const CodePage& codePage) : codePage_(codePage) {}

    // False when the path was in the set already.
    bool Insert(const PathText& path) { return paths_.insert(Folded(path)).second; }
    bool Holds(const PathText& path) const { return paths_.count(Folded(path)) != 0; }

private:
    std::string Folded(PathText path) const {
        UpperCaseAscii(codePage_, path.data());
        return path.c_str();
    }

    CodePage codePage_;
    std::set<std::string> paths_;
};

// The scanner's driver packages, each as the scanner's row with that package's INF and driver
// fields: its own INF first, then, on the NT family, every other OEM INF of the INF folder
// whose models list its devicePath, in listing order. Only a bare oem*.inf of the INF folder
// is taken, as only such a file is ever handed to the system as a package; the 9x family keeps
// its INF files under the names their makers gave them, and only the row's own INF goes there.
std::vector<ScannerRecord> ScannerPackages(Platform& platform, InfIndex& index,
                                           const ScannerRecord& scanner) {
    std::vector<ScannerRecord> packages{scanner};
    if (CurrentFamily(platform.version) != Family::Nt) {
        return packages;
    }
    PathSet seen(platform.version.AnsiCodePage());
    seen.Insert(scanner.infPath);
    for (const PathText& infPath : index.FindEveryDriverInf(scanner.devicePath.c_str())) {
        if (!seen.Insert(infPath) ||
            DriverPackageTargetOf(platform, infPath.c_str()).infName.empty()) {
            continue;
        }
        ScannerRecord package;
        package.busKind = scanner.busKind;
        package.devicePath = scanner.devicePath;
        package.infPath = infPath;
        if (FillDriverFields(platform, index, package)) {
            packages.push_back(package);
        }
    }
    return packages;
}

// The items of one package's driver files, its package and its data sources, the package
// itself in the middle.
std::vector<PlanItem> PackageItems(Platform& platform, const ScannerRecord& package) {
    std::vector<PlanItem> items =
        DriverFileItems(platform, package.driverDll.c_str(), package.busKind);
    items.push_back(DriverPackageItem(platform, package.infPath.c_str()));
    const std::vector<PlanItem> dataSources =
        DataSourceItems(platform, package.twainFolder.c_str());
    items.insert(items.end(), dataSources.begin(), dataSources.end());
    return items;
}

}  // namespace

RemovalPlanner::RemovalPlanner(Platform& platform, InfIndex& index)
    : platform_(platform), index_(index) {}

RemovalPlanner::~RemovalPlanner() = default;

const PackageUsers& RemovalPlanner::Users() {
    if (users_ == nullptr) {
        users_ = std::make_unique<PackageUsers>(platform_);
    }
    return *users_;
}

RemovalPlan RemovalPlanner::Plan(const ScannerRecord& scanner) {
    Platform& platform = platform_;
    RemovalPlan result;
    std::vector<PlanItem>& plan = result.items;
    // A driver package without a device names a hardware ID its INF lists, not a device key of
    // the buses scanned: it has no device step.
    if (!scanner.packageOnly) {
        AddPresent(platform, DeviceItems(platform, scanner.devicePath.c_str()), &plan);
    }
    // Without its INF nothing tells which files are the scanner's: only the device goes.
    if (scanner.infPath.empty()) {
        return result;
    }
    const CodePage codePage = platform.version.AnsiCodePage();
    // A kept package's files are kept with it: the device that uses it uses them too, even
    // where another package of the scanner names them as well.
    PathSet keptPaths(codePage);
    std::vector<std::vector<PlanItem>> removed;
    const PackageUsers& users = Users();
    for (const ScannerRecord& package : ScannerPackages(platform, index_, scanner)) {
        std::vector<PlanItem> items = PackageItems(platform, package);
        KeptPackage keptPackage;
        if (!users.IsUsedByOthers(package.infPath.c_str(), &keptPackage.usedBy)) {
            removed.push_back(items);
            continue;
        }
        for (const PlanItem& item : items) {
            keptPaths.Insert(item.path);
        }
        keptPackage.infPath = package.infPath;
        result.kept.push_back(keptPackage);
    }
    // Step by step, so that every package's driver files go before any package, and every
    // package before any data source.
    PathSet planned(codePage);
    for (PlanItemKind kind :
         {PlanItemKind::DriverFile, PlanItemKind::DriverPackage, PlanItemKind::DataSourceFolder}) {
        for (const std::vector<PlanItem>& items : removed) {
            for (const PlanItem& item : items) {
                if (item.kind == kind && !keptPaths.Holds(item.path) && planned.Insert(item.path)) {
                    AddPresent(platform, {item}, &plan);
                }
            }
        }
    }
    return result;
}

RemovalPlan PlanBuiltInRemoval(Platform& platform, const ScannerRecord& scanner) {
    InfIndex index(platform);
    return RemovalPlanner(platform, index).Plan(scanner);
}

}  // namespace drvsweep
