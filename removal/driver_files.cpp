#include "removal/driver_files.h"

#include <initializer_list>

#include "discovery/scanner_table.h"
#include "discovery/twain_folder_name.h"
#include "platform/fixed_text.h"
#include "platform/text_reads.h"
#include "removal/folder_tree.h"
#include "removal/one_file.h"

namespace drvsweep {

namespace {

constexpr const char* kTwainRoot = "\\twain_32\\";

// Deletes %windir% + piece (+ name) unless the path does not fit.
void DeleteBelowWindows(FileSystem& files, const PathText& windows, const char* piece,
                        const char* name = "") {
    PathText path;
    if (path.appendAll(windows, piece, name)) {
        DeleteOneFile(files, path.c_str());
    }
}

}  // namespace

void RemoveDriverFiles(Platform& platform, const char* driverDll, std::int32_t busKind) {
    FileSystem& files = platform.files;
    const CodePage codePage = platform.version.AnsiCodePage();
    PathText windows;
    if (!ReadWindowsFolder(files, codePage, &windows)) {
        return;
    }
    if (IsSafeTwainFolderName(codePage, driverDll)) {
        for (const char* folder : {"\\system32\\", "\\system32\\drivers\\", "\\system\\"}) {
            DeleteBelowWindows(files, windows, folder, driverDll);
        }
    }
    if (busKind != kBusPcCard) {
        return;
    }
    DeleteBelowWindows(files, windows, "\\system32\\Orbdrv.vxd");
    DeleteBelowWindows(files, windows, "\\system\\Orbdrv.vxd");
    if (CurrentFamily(platform.version) == Family::Nt) {
        DeleteBelowWindows(files, windows, "\\system32\\drivers\\Orbdrv.sys");
    }
}

void DeleteTwainDataSource(Platform& platform, const char* twainFolder) {
    FileSystem& files = platform.files;
    const CodePage codePage = platform.version.AnsiCodePage();
    PathText windows;
    if (!IsSafeTwainFolderName(codePage, twainFolder) ||
        !ReadWindowsFolder(files, codePage, &windows)) {
        return;
    }
    // The data source file bears the folder's name, so the name is used twice; with a folder
    // of two levels such as Maker\Model the file sought is Maker\Model\Maker\Model.ds.
    PathText dataSource;
    if (dataSource.appendAll(windows, kTwainRoot, twainFolder, "\\", twainFolder, ".ds")) {
        DeleteOneFile(files, dataSource.c_str());
    }
    PathText folder;
    if (ReadWindowsFolder(files, codePage, &windows) &&
        folder.appendAll(windows, kTwainRoot, twainFolder)) {
        DeleteTree(files, codePage, folder.c_str());
    }
}

}  // namespace drvsweep
