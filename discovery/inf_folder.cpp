#include "discovery/inf_folder.h"

#include "platform/text_reads.h"

namespace drvsweep {

bool ReadInfFolder(Platform& platform, PathText* folder) {
    const bool nt = CurrentFamily(platform.version) == Family::Nt;
    PathText path;
    if (!ReadWindowsFolder(platform.files, platform.version.AnsiCodePage(), &path) ||
        !path.appendAll("\\inf", nt ? "" : "\\other")) {
        return false;
    }
    *folder = path;
    return true;
}

}  // namespace drvsweep
