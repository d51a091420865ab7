#pragma once

#include <vector>

#include "platform/fixed_text.h"
#include "platform/platform.h"

namespace drvsweep {

// The folders a driver package's files may be deleted from, resolved on this machine: the system
// folder (System32; the 9x family's System) and its drivers folder (the 9x family's IOSUBSYS),
// the 32-bit system folder of 64-bit Windows (SysWOW64), the help folder and the color folder;
// and the TWAIN roots twain_32, twain_64 and twain, below which data sources live. Folders
// compare by their text, case ignored, as the listing gives them.
class DriverFolders {
public:
    explicit DriverFolders(Platform& platform);

    // The folder a [DestinationDirs] DIRID names, or false for a DIRID the removal does not
    // resolve (13, the driver store, goes with the package; the program folders and the others
    // are no driver folders). 10 %windir%, 11 system, 12 drivers, 17 inf, 18 help, 23 color,
    // 16425 the 32-bit system folder (64-bit Windows only).
    bool ResolveDirid(long dirid, PathText* folder) const;

    // Whether files directly in `folder` may be deleted: a driver folder, a TWAIN root, or a
    // folder below a TWAIN root.
    bool MayDeleteIn(const char* folder) const;

    // The TWAIN root `folder` lies below (not the root itself), or null.
    const PathText* TwainRootAbove(const char* folder) const;

private:
    Platform& platform_;
    PathText windows_;
    PathText wow64_;
    std::vector<PathText> driverFolders_;
    std::vector<PathText> twainRoots_;
};

// Whether `name`, read from an INF, may name one file of a destination folder: one plain name
// (IsSafeTwainFolderName, no separator) that is not an 8.3 alias ("~" followed by a digit),
// which could stand for another file's long name.
bool IsPlainInstalledName(const CodePage& codePage, const char* name);

// The same for a destination's subfolder, which may have several components.
bool IsPlainSubfolder(const CodePage& codePage, const char* subfolder);

}  // namespace drvsweep
