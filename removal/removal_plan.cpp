#include "removal/removal_plan.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

#include "discovery/driver_fields.h"
#include "discovery/package_users.h"
#include "platform/text_reads.h"
#include "platform/win32_codes.h"
#include "removal/driver_folders.h"
#include "removal/file_keeper.h"
#include "removal/install_section.h"
#include "removal/item_probe.h"
#include "removal/package_install.h"
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
                                           const ScannerRecord& scanner,
                                           std::vector<KeptPackage>* leftOut) {
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
        } else {
            KeptPackage kept;
            kept.infPath = infPath;
            kept.leftOutBecause = "its TWAIN line names no folder the removal may take";
            leftOut->push_back(kept);
        }
    }
    return packages;
}

// One package of the scanner with what the removal would take of it.
struct PackagePlan {
    ScannerRecord row;
    // The DLL paths and data source folders its TWAIN line gives, and the package itself.
    std::vector<PlanItem> lineItems;
    PackageInstall install;
};

// Reads the install section of the package's INF, opened once for it.
PackageInstall ReadInstallOf(Platform& platform, const DriverFolders& folders,
                             const ScannerRecord& package) {
    const std::unique_ptr<InfFile> inf = platform.inf.OpenWin4(package.infPath.c_str());
    PathText section;
    if (inf == nullptr ||
        FindInstallSection(platform, *inf, package, &section) == InstallSectionSource::None) {
        return {};
    }
    return ReadPackageInstall(platform, folders, *inf, section.c_str());
}

PackagePlan PlanPackage(Platform& platform, const DriverFolders& folders,
                        const ScannerRecord& package) {
    PackagePlan plan;
    plan.row = package;
    plan.lineItems = DriverFileItems(platform, package.driverDll.c_str(), package.busKind);
    plan.lineItems.push_back(DriverPackageItem(platform, package.infPath.c_str()));
    const std::vector<PlanItem> dataSources =
        DataSourceItems(platform, package.twainFolder.c_str());
    plan.lineItems.insert(plan.lineItems.end(), dataSources.begin(), dataSources.end());
    plan.install = ReadInstallOf(platform, folders, package);
    return plan;
}

bool IsWithin(const CodePage& codePage, const char* path, const char* folder) {
    const std::size_t length = std::strlen(folder);
    return StartsWithIgnoringCase(codePage, path, folder) &&
           (path[length] == '\\' || path[length] == '\0');
}

PlanItem ItemOf(PlanItemKind kind, const PathText& path) {
    PlanItem item;
    item.kind = kind;
    item.path = path;
    return item;
}

const char* ParentEnd(const PathText& path) {
    return std::strrchr(path.c_str(), '\\');
}

}  // namespace

// Works out one plan: the packages' items in step order, under the guards.
class PlanBuilder {
public:
    PlanBuilder(Platform& platform, const DriverFolders& folders, FileKeeper& keeper,
                RemovalPlan* result)
        : platform_(platform),
          folders_(folders),
          codePage_(platform.version.AnsiCodePage()),
          keeper_(keeper),
          result_(*result),
          planned_(codePage_) {}

    void Build(const std::vector<PackagePlan>& removed, const std::vector<PathText>& keptPaths) {
        keptPaths_ = keptPaths;
        for (const PackagePlan& package : removed) {
            removedInfs_.push_back(package.row.infPath);
        }
        // Folders first: a folder that goes whole takes the files in it, which then need no
        // items of their own; the items still go in step order.
        std::vector<PlanItem> folders;
        for (const PackagePlan& package : removed) {
            for (const PlanItem& item : package.lineItems) {
                if (item.kind == PlanItemKind::DataSourceFolder) {
                    folders.push_back(item);
                }
            }
            for (const PathText& folder : package.install.dataSourceFolders) {
                folders.push_back(ItemOf(PlanItemKind::DataSourceFolder, folder));
            }
        }
        std::stable_sort(folders.begin(), folders.end(), [](const PlanItem& a, const PlanItem& b) {
            return a.path.size() < b.path.size();
        });
        std::vector<PlanItem> wholeFolders;
        for (const PlanItem& folder : folders) {
            if (MayGoWhole(folder)) {
                wholeFolders.push_back(folder);
                wholeFolderPaths_.push_back(folder.path);
            }
        }
        for (const PackagePlan& package : removed) {
            for (const PlanItem& item : package.lineItems) {
                if (item.kind == PlanItemKind::DriverFile) {
                    AddFile(item.path);
                }
            }
            for (const PathText& path : package.install.files) {
                AddFile(path);
            }
        }
        for (const PackagePlan& package : removed) {
            for (const PlanItem& item : package.lineItems) {
                if (item.kind == PlanItemKind::DriverPackage && planned_.Insert(item.path)) {
                    AddPresent(platform_, {item}, &result_.items);
                }
            }
        }
        for (const PlanItem& folder : wholeFolders) {
            planned_.Insert(folder.path);
            AddPresent(platform_, {folder}, &result_.items);
        }
        for (const PlanItem& folder : wholeFolders) {
            AddEmptiedParents(folder.path);
        }
        for (const PackagePlan& package : removed) {
            for (const RefusedEntry& refused : package.install.refused) {
                result_.keptFiles.push_back({refused.path, refused.reason});
            }
            for (const ComServer& com : package.install.comServers) {
                AddComClass(com);
            }
        }
    }

private:
    bool IsKeptByPackage(const char* path) const {
        for (const PathText& kept : keptPaths_) {
            if (IsWithin(codePage_, path, kept.c_str()) ||
                IsWithin(codePage_, kept.c_str(), path)) {
                return true;
            }
        }
        return false;
    }

    // Why a file that is there stays, or empty.
    std::string WhyKept(const PathText& path) {
        if (IsKeptByPackage(path.c_str())) {
            return "a package that stays installed names it";
        }
        return keeper_.WhyKept(path.c_str(), removedInfs_);
    }

    void Keep(const PathText& path, const std::string& reason) {
        if (kept_.Insert(path)) {
            result_.keptFiles.push_back({path, reason});
        }
    }

    void AddFile(const PathText& path) {
        const PlanItem item = ItemOf(PlanItemKind::DriverFile, path);
        if (planned_.Holds(path) || kept_.Holds(path) || IsInWholeFolder(path) ||
            PlanItemPathsThere(platform_, item).empty()) {
            return;
        }
        const std::string reason = WhyKept(path);
        if (!reason.empty()) {
            Keep(path, reason);
            return;
        }
        planned_.Insert(path);
        AddPresent(platform_, {item}, &result_.items);
    }

    // Whether everything below the folder may go: no file of it is kept, and no link in it.
    bool MayGoWhole(const PathText& folder, int depth) {
        PathText pattern;
        FoundFile found;
        std::unique_ptr<FileSearch> search;
        if (depth > 32 || !pattern.appendAll(folder, "\\*.*") ||
            (search = platform_.files.FindFirst(pattern.c_str(), &found)) == nullptr) {
            return depth == 0 || !pattern.empty();
        }
        bool whole = true;
        do {
            const std::string name = found.name.c_str();
            PathText path;
            if (name == "." || name == "..") {
                continue;
            }
            if (!path.appendAll(folder, "\\", found.name)) {
                whole = false;
            } else if ((found.attributes & kFileAttributeReparsePoint) != 0) {
                Keep(path, "a link, never followed");
                whole = false;
            } else if ((found.attributes & kFileAttributeDirectory) != 0) {
                whole = MayGoWhole(path, depth + 1) && whole;
            } else {
                const std::string reason = WhyKept(path);
                if (!reason.empty()) {
                    Keep(path, reason);
                    whole = false;
                }
            }
        } while (search->Next(&found));
        return whole;
    }

    bool IsInWholeFolder(const PathText& path) const {
        for (const PathText& folder : wholeFolderPaths_) {
            if (IsWithin(codePage_, path.c_str(), folder.c_str())) {
                return true;
            }
        }
        return false;
    }

    // Whether the data source folder is there and goes with everything in it, neither a package
    // that stays nor FileKeeper keeping anything of it; a folder inside one that goes already
    // needs nothing of its own.
    bool MayGoWhole(const PlanItem& folder) {
        if (IsInWholeFolder(folder.path) || IsKeptByPackage(folder.path.c_str()) ||
            PlanItemPathsThere(platform_, folder).empty()) {
            return false;
        }
        return MayGoWhole(folder.path, 0);
    }

    // Whether every entry of the folder is planned to go.
    bool EmptiedByPlan(const PathText& folder) {
        PathText pattern;
        FoundFile found;
        std::unique_ptr<FileSearch> search;
        if (!pattern.appendAll(folder, "\\*.*") ||
            (search = platform_.files.FindFirst(pattern.c_str(), &found)) == nullptr) {
            return false;
        }
        do {
            const std::string name = found.name.c_str();
            PathText path;
            if (name != "." && name != ".." &&
                (!path.appendAll(folder, "\\", found.name) || !planned_.Holds(path))) {
                return false;
            }
        } while (search->Next(&found));
        return true;
    }

    // Each parent below a TWAIN root that the removal leaves empty, nearest first.
    void AddEmptiedParents(const PathText& folder) {
        if (!planned_.Holds(folder)) {
            return;
        }
        PathText parent = folder;
        while (const char* end = ParentEnd(parent)) {
            PathText up;
            if (!up.assign(parent.c_str(), static_cast<std::size_t>(end - parent.c_str())) ||
                folders_.TwainRootAbove(up.c_str()) == nullptr || planned_.Holds(up) ||
                IsKeptByPackage(up.c_str()) || !EmptiedByPlan(up)) {
                return;
            }
            planned_.Insert(up);
            result_.items.push_back(ItemOf(PlanItemKind::EmptyFolder, up));
            parent = up;
        }
    }

    void AddComClass(const ComServer& com) {
        if (!planned_.Holds(com.server) && !IsInWholeFolder(com.server)) {
            return;
        }
        PathText wow64;
        const bool is64Bit = ReadWow64Folder(platform_.packages, codePage_, &wow64);
        for (RegistryView view : {RegistryView::Native, RegistryView::Wow32}) {
            if (view == RegistryView::Wow32 && !is64Bit) {
                break;
            }
            PlanItem item = ItemOf(PlanItemKind::ComClassKey, com.classKey);
            item.view = view;
            if (!PlanItemPathsThere(platform_, item).empty()) {
                result_.items.push_back(item);
            }
        }
    }

    Platform& platform_;
    const DriverFolders& folders_;
    const CodePage codePage_;
    FileKeeper& keeper_;
    RemovalPlan& result_;
    PathSet planned_;
    PathSet kept_{codePage_};
    std::vector<PathText> wholeFolderPaths_;
    std::vector<PathText> keptPaths_;
    std::vector<PathText> removedInfs_;
};

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
    // A kept package's files are kept with it: the device that uses it uses them too, even
    // where another package of the scanner names them as well.
    std::vector<PathText> keptPaths;
    std::vector<PackagePlan> removed;
    const PackageUsers& users = Users();
    const DriverFolders folders(platform);
    for (const ScannerRecord& package : ScannerPackages(platform, index_, scanner, &result.kept)) {
        PackagePlan packagePlan = PlanPackage(platform, folders, package);
        KeptPackage keptPackage;
        if (!users.IsUsedByOthers(package.infPath.c_str(), &keptPackage.usedBy)) {
            removed.push_back(packagePlan);
            continue;
        }
        for (const PlanItem& item : packagePlan.lineItems) {
            keptPaths.push_back(item.path);
        }
        for (const PathText& path : packagePlan.install.files) {
            keptPaths.push_back(path);
        }
        keptPackage.infPath = package.infPath;
        if (keptPackage.usedBy.empty()) {
            keptPackage.leftOutBecause = "the devices that use it cannot be told";
        }
        result.kept.push_back(keptPackage);
    }
    if (keeper_ == nullptr) {
        keeper_ = std::make_unique<FileKeeper>(platform);
    }
    PlanBuilder(platform, folders, *keeper_, &result).Build(removed, keptPaths);
    return result;
}

RemovalPlan PlanBuiltInRemoval(Platform& platform, const ScannerRecord& scanner) {
    InfIndex index(platform);
    return RemovalPlanner(platform, index).Plan(scanner);
}

}  // namespace drvsweep
