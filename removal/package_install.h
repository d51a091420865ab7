#pragma once

#include <string>
#include <vector>

#include "platform/fixed_text.h"
#include "platform/inf_files.h"
#include "platform/platform.h"
#include "removal/driver_folders.h"

namespace drvsweep {

// Something a package's install section names that the removal does not take, and why.
struct RefusedEntry {
    PathText path;  // the full path, or the name as the INF gives it where none can be formed
    std::string reason;
};

// A COM class whose server file the install section registers with AddReg
// (HKCR,CLSID\{guid}\InProcServer32 or LocalServer32).
struct ComServer {
    PathText classKey;  // "Software\Classes\CLSID\{guid}" below HKEY_LOCAL_MACHINE
    PathText server;    // the server file's full path
};

// What one install section copied and registered, read with the Setup API.
struct PackageInstall {
    // Every file of every CopyFiles of the section, at its destination, each once, in the order
    // the section names them; only files of the driver folders (DriverFolders::MayDeleteIn).
    std::vector<PathText> files;
    // The destination folders below a TWAIN root, each once.
    std::vector<PathText> dataSourceFolders;
    std::vector<RefusedEntry> refused;
    std::vector<ComServer> comServers;
};

// Reads the CopyFiles and AddReg of `section` of the package's INF. A CopyFiles field names a
// file-list section, or one file with "@"; each section's destination is its [DestinationDirs]
// entry (its key compared without case), else DefaultDestDir, else the system folder (DIRID
// 11), as Windows does. Include and Needs are not followed: what they name belongs to another
// INF. DIRID 13 (the driver store) goes with the package and is not listed. A destination that
// is no driver folder, a DIRID the removal does not resolve, and a name or subfolder that is
// not plain (IsPlainInstalledName, IsPlainSubfolder) are refused with the reason.
PackageInstall ReadPackageInstall(Platform& platform, const DriverFolders& folders, InfFile& inf,
                                  const char* section);

}  // namespace drvsweep
