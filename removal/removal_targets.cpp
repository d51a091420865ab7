#include "removal/removal_targets.h"

#include <cstring>
#include <initializer_list>

#include "discovery/inf_folder.h"
#include "discovery/own_inf.h"
#include "discovery/scanner_table.h"
#include "discovery/twain_folder_name.h"
#include "platform/text_reads.h"

namespace drvsweep {

namespace {

// Appends folder + piece + name unless the path does not fit.
void AddPath(std::vector<PathText>* paths, const PathText& folder, const char* piece,
             const char* name = "") {
    PathText path;
    if (path.appendAll(folder, piece, name)) {
        paths->push_back(path);
    }
}

TwainDataSourceTarget DataSourceBelow(const PathText& windows, const char* root,
                                      const char* twainFolder) {
    // The data source file bears the folder's name, so the name is used twice; with a folder
    // of two levels such as Maker\Model the file sought is Maker\Model\Maker\Model.ds.
    TwainDataSourceTarget target;
    if (!target.dataSource.appendAll(windows, root, twainFolder, "\\", twainFolder, ".ds")) {
        target.dataSource.clear();
    }
    if (!target.folder.appendAll(windows, root, twainFolder)) {
        target.folder.clear();
    }
    return target;
}

}  // namespace

std::vector<PathText> DriverFilePaths(Platform& platform, const char* driverDll, BusKind busKind) {
    std::vector<PathText> paths;
    const CodePage codePage = platform.version.AnsiCodePage();
    PathText windows;
    if (!ReadWindowsFolder(platform.files, codePage, &windows)) {
        return paths;
    }
    if (IsSafeTwainFolderName(codePage, driverDll)) {
        for (const char* folder : {"\\system32\\", "\\system32\\drivers\\", "\\system\\"}) {
            AddPath(&paths, windows, folder, driverDll);
        }
        // A 64-bit driver package puts its 32-bit user-mode files in the 32-bit system folder.
        PathText wow64;
        if (ReadWow64Folder(platform.packages, codePage, &wow64)) {
            for (const char* folder : {"\\", "\\drivers\\"}) {
                AddPath(&paths, wow64, folder, driverDll);
            }
        }
    }
    if (busKind != BusKind::PcCard) {
        return paths;
    }
    AddPath(&paths, windows, "\\system32\\Orbdrv.vxd");
    AddPath(&paths, windows, "\\system\\Orbdrv.vxd");
    if (CurrentFamily(platform.version) == Family::Nt) {
        AddPath(&paths, windows, "\\system32\\drivers\\Orbdrv.sys");
    }
    return paths;
}

std::vector<TwainDataSourceTarget> TwainDataSourceTargets(Platform& platform,
                                                          const char* twainFolder) {
    std::vector<TwainDataSourceTarget> targets;
    const CodePage codePage = platform.version.AnsiCodePage();
    PathText windows;
    if (!IsSafeTwainFolderName(codePage, twainFolder) ||
        !ReadWindowsFolder(platform.files, codePage, &windows)) {
        return targets;
    }
    targets.push_back(DataSourceBelow(windows, "\\twain_32\\", twainFolder));
    // 64-bit Windows keeps its 64-bit data sources apart, in twain_64.
    PathText wow64;
    if (ReadWow64Folder(platform.packages, codePage, &wow64)) {
        targets.push_back(DataSourceBelow(windows, "\\twain_64\\", twainFolder));
    }
    return targets;
}

DriverPackageTarget DriverPackageTargetOf(Platform& platform, const char* infPath) {
    DriverPackageTarget target;
    PathText folder;
    if (!ReadInfFolder(platform, &folder)) {
        return target;
    }
    const std::size_t folderLength = folder.size();
    if (std::strncmp(infPath, folder.c_str(), folderLength) != 0 || infPath[folderLength] != '\\') {
        return target;
    }
    const char* name = infPath + folderLength + 1;
    const CodePage codePage = platform.version.AnsiCodePage();
    if (!IsBareInfName(codePage, name)) {
        return target;
    }
    const std::size_t stem = std::strlen(infPath) - 3;
    if (!target.pnfPath.assign(infPath, stem) || !target.pnfPath.append("pnf")) {
        target.pnfPath.clear();
        return target;
    }
    if (IsBareOemInfName(codePage, name)) {
        target.infName.assign(name);
    }
    return target;
}

}  // namespace drvsweep
