#include "removal/package_folder.h"

#include <memory>
#include <string>
#include <vector>

#include "platform/text_reads.h"
#include "platform/win32_codes.h"
#include "removal/backup_files.h"
#include "removal/driver_folders.h"

namespace drvsweep {

namespace {

// The system's catalog database, where Windows keeps an OEM INF's catalog as oemN.cat.
constexpr char kCatalogRoot[] = "\\CatRoot\\{F750E6C3-38EE-11D1-85E5-00C04FC295EE}\\";

// The value of the first line of [Version] whose key is one of `keys`, in their order.
bool VersionValue(InfFile& inf, const CodePage& codePage, const std::vector<const char*>& keys,
                  PathText* value) {
    for (const char* wanted : keys) {
        InfLine line;
        for (bool more = inf.FindFirstLine("Version", &line); more;
             more = inf.FindNextLine(&line)) {
            PathText key;
            if (ReadStringField(inf, line, 0, &key) &&
                EqualsIgnoringCase(codePage, key.c_str(), wanted) &&
                ReadStringField(inf, line, 1, value)) {
                return true;
            }
        }
    }
    return false;
}

// Every file of the plan's data source folders, with the plan's files and the files it keeps:
// where the package's files are on this machine.
void AddFilesBelow(FileSystem& files, const std::string& folder, int depth,
                   std::vector<std::string>* paths) {
    std::vector<FoundFile> entries;
    if (depth > 8 || !ListFolder(files, folder, &entries)) {
        return;
    }
    for (const FoundFile& entry : entries) {
        const std::string path = folder + "\\" + entry.name.c_str();
        if (entry.attributes == kFileAttributeDirectory) {
            AddFilesBelow(files, path, depth + 1, paths);
        } else if ((entry.attributes & kFileAttributeDirectory) == 0) {
            paths->push_back(path);
        }
    }
}

std::vector<std::string> InstalledFiles(Platform& platform, const RemovalPlan& plan) {
    std::vector<std::string> paths;
    for (const PlanItem& item : plan.items) {
        if (item.kind == PlanItemKind::DriverFile) {
            paths.push_back(item.path.c_str());
        } else if (item.kind == PlanItemKind::DataSourceFolder) {
            AddFilesBelow(platform.files, item.path.c_str(), 0, &paths);
        }
    }
    for (const KeptFile& kept : plan.keptFiles) {
        paths.push_back(kept.path.c_str());
    }
    return paths;
}

// The package's files as its SourceDisksFiles sections name them, each beside the INF or in
// the subfolder its line gives.
bool CopySourceFiles(Platform& platform, BackupStore& store, InfFile& inf,
                     const std::string& folder, const RemovalPlan& plan) {
    const CodePage codePage = platform.version.AnsiCodePage();
    PathText wow64;
    const char* architecture = ReadWow64Folder(platform.packages, codePage, &wow64)
                                   ? "SourceDisksFiles.amd64"
                                   : "SourceDisksFiles.x86";
    const std::vector<std::string> installed = InstalledFiles(platform, plan);
    std::vector<std::string> taken;
    for (const char* section : {"SourceDisksFiles", architecture}) {
        InfLine line;
        for (bool more = inf.FindFirstLine(section, &line); more; more = inf.FindNextLine(&line)) {
            PathText name;
            PathText subfolder;
            if (!ReadStringField(inf, line, 0, &name) ||
                !IsPlainInstalledName(codePage, name.c_str())) {
                continue;
            }
            const bool inSubfolder = ReadStringField(inf, line, 2, &subfolder) &&
                                     !subfolder.empty() &&
                                     IsPlainSubfolder(codePage, subfolder.c_str());
            const std::string stored = folder + "\\" +
                                       (inSubfolder ? std::string(subfolder.c_str()) + "\\" : "") +
                                       name.c_str();
            for (const std::string& path : installed) {
                if (EqualsIgnoringCase(codePage, FileNamePart(path.c_str()), name.c_str())) {
                    bool already = false;
                    for (const std::string& done : taken) {
                        already =
                            already || EqualsIgnoringCase(codePage, done.c_str(), stored.c_str());
                    }
                    if (!already && !store.CopyFile(path, stored, false)) {
                        return false;
                    }
                    taken.push_back(stored);
                    break;
                }
            }
        }
    }
    return true;
}

}  // namespace

bool BackUpPackageFolder(Platform& platform, BackupStore& store, const PlanItem& item,
                         const RemovalPlan& plan) {
    const CodePage codePage = platform.version.AnsiCodePage();
    const std::string infPath = item.path.c_str();
    std::uint32_t attributes = 0;
    if (!FindEntry(platform.files, infPath, &attributes)) {
        return true;
    }
    std::string oemName = FileNamePart(infPath.c_str());
    oemName = oemName.substr(0, oemName.rfind('.'));
    const std::string folder = "packages\\" + oemName;
    if (!IsPlainRelativePath(codePage, folder)) {
        return store.Fail("the package " + infPath + " has a name no folder can take");
    }
    std::string storeInf;
    // A store folder that its INF is missing from is no copy to stage from: the package is then
    // backed up from where it installed, as before Vista.
    if (platform.packages.DriverStoreInf(infPath.c_str(), &storeInf) == FactAnswer::Yes &&
        FindEntry(platform.files, storeInf, &attributes)) {
        store.manifest().packages.push_back({infPath, folder, FileNamePart(storeInf.c_str())});
        return store.CopyTree(ParentFolder(storeInf), folder, false);
    }
    const std::string inf = oemName + ".inf";
    store.manifest().packages.push_back({infPath, folder, inf});
    if (!store.CopyFile(infPath, folder + "\\" + inf, false)) {
        return false;
    }
    const std::unique_ptr<InfFile> opened = platform.inf.OpenWin4(infPath.c_str());
    if (opened == nullptr) {
        return store.Fail("cannot open " + infPath);
    }
    PathText catalog;
    PathText system;
    const bool is64Bit = ReadWow64Folder(platform.packages, codePage, &system);
    if (VersionValue(*opened, codePage,
                     {is64Bit ? "CatalogFile.NTamd64" : "CatalogFile.NTx86", "CatalogFile.NT",
                      "CatalogFile"},
                     &catalog) &&
        IsPlainInstalledName(codePage, catalog.c_str())) {
        const std::string held = store.windows() + "\\System32" + kCatalogRoot + oemName + ".cat";
        if (FindEntry(platform.files, held, &attributes) &&
            !store.CopyFile(held, folder + "\\" + catalog.c_str(), false)) {
            return false;
        }
    }
    return CopySourceFiles(platform, store, *opened, folder, plan);
}

}  // namespace drvsweep
