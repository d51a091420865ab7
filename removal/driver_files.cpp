#include "removal/driver_files.h"

#include "removal/folder_tree.h"
#include "removal/one_file.h"
#include "removal/removal_targets.h"

namespace drvsweep {

void RemoveDriverFiles(Platform& platform, const char* driverDll, std::int32_t busKind) {
    for (const PathText& path : DriverFilePaths(platform, driverDll, busKind)) {
        DeleteOneFile(platform.files, path.c_str());
    }
}

void DeleteTwainDataSource(Platform& platform, const char* twainFolder) {
    for (const TwainDataSourceTarget& target : TwainDataSourceTargets(platform, twainFolder)) {
        if (!target.dataSource.empty()) {
            DeleteOneFile(platform.files, target.dataSource.c_str());
        }
        if (!target.folder.empty()) {
            DeleteTree(platform.files, target.folder.c_str());
        }
    }
}

}  // namespace drvsweep
