#include "removal/driver_files.h"

#include <initializer_list>
#include <vector>

#include "discovery/scanner_table.h"
#include "discovery/twain_folder_name.h"
#include "platform/fixed_text.h"
#include "platform/text_reads.h"
#include "removal/folder_tree.h"
#include "removal/one_file.h"

namespace drvsweep {

namespace {

constexpr const char* kTwainRoot = "\\twain_32\\";

// Adds %windir% + piece (+ name) unless the path does not fit.
void AddBelowWindows(std::vector<PathText>& paths, const PathText& windows, const char* piece,
                     const char* name = "") {
    PathText path;
    if (path.appendAll(windows, piece, name)) {
        paths.push_back(path);
    }
}

}  // namespace

std::vector<PathText> DriverFilePaths(Platform& platform, const char* driverDll,
                                      std::int32_t busKind) {
    std::vector<PathText> paths;
    PathText windows;
    if (!ReadWindowsFolder(platform.files, &windows)) {
        return paths;
    }
    if (IsSafeTwainFolderName(driverDll)) {
        for (const char* folder : {"\\system32\\", "\\system32\\drivers\\", "\\system\\"}) {
            AddBelowWindows(paths, windows, folder, driverDll);
        }
    }
    if (busKind != kBusPcCard) {
        return paths;
    }
    AddBelowWindows(paths, windows, "\\system32\\Orbdrv.vxd");
    AddBelowWindows(paths, windows, "\\system\\Orbdrv.vxd");
    if (CurrentFamily(platform.version) == Family::Nt) {
        AddBelowWindows(paths, windows, "\\system32\\drivers\\Orbdrv.sys");
    }
    return paths;
}

void RemoveDriverFiles(Platform& platform, const char* driverDll, std::int32_t busKind) {
    for (const PathText& path : DriverFilePaths(platform, driverDll, busKind)) {
        DeleteOneFile(platform.files, path.c_str());
    }
}

bool TwainDataSourceFolder(Platform& platform, const char* twainFolder, PathText* folder) {
    PathText windows;
    PathText path;
    if (!IsSafeTwainFolderName(twainFolder) || !ReadWindowsFolder(platform.files, &windows) ||
        !path.appendAll(windows, kTwainRoot, twainFolder)) {
        return false;
    }
    *folder = path;
    return true;
}

void DeleteTwainDataSource(Platform& platform, const char* twainFolder) {
    FileSystem& files = platform.files;
    PathText windows;
    if (!IsSafeTwainFolderName(twainFolder) || !ReadWindowsFolder(files, &windows)) {
        return;
    }
    // The data source file bears the folder's name, so the name is used twice; with a folder
    // of two levels such as Maker\Model the file sought is Maker\Model\Maker\Model.ds.
    PathText dataSource;
    if (dataSource.appendAll(windows, kTwainRoot, twainFolder, "\\", twainFolder, ".ds")) {
        DeleteOneFile(files, dataSource.c_str());
    }
    PathText folder;
    if (ReadWindowsFolder(files, &windows) && folder.appendAll(windows, kTwainRoot, twainFolder)) {
        DeleteTree(files, folder.c_str());
    }
}

}  // namespace drvsweep
