#include "discovery/inf_folder.h"

#include <memory>

#include "platform/text_reads.h"
#include "platform/win32_codes.h"
#include "platform/working_folder.h"

namespace drvsweep {

namespace {

bool ReadFamilysInfFolder(Platform& platform, Family family, PathText* folder) {
    PathText path;
    if (!ReadWindowsFolder(platform.files, platform.version.AnsiCodePage(), &path) ||
        !path.appendAll("\\inf", family == Family::Nt ? "" : "\\other")) {
        return false;
    }
    *folder = path;
    return true;
}

}  // namespace

bool ReadInfFolder(Platform& platform, PathText* folder) {
    return ReadFamilysInfFolder(platform, CurrentFamily(platform.version), folder);
}

bool VisitInfFolder(Platform& platform, Family family, const InfVisit& visit,
                    const InfChoice& choose) {
    PathText folder;
    SavedWorkingFolder savedFolder(platform.files);
    if (!savedFolder.saved() || !ReadFamilysInfFolder(platform, family, &folder) ||
        !platform.files.SetCurrentFolder(folder.c_str())) {
        return false;
    }

    FoundFile entry;
    std::unique_ptr<FileSearch> search =
        platform.files.FindFirst(family == Family::Nt ? "oem*.inf" : "*.inf", &entry);
    if (!search) {
        return false;
    }
    do {
        PathText path;
        if ((entry.attributes & kFileAttributeDirectory) != 0 ||
            !path.appendAll(folder, "\\", entry.name) || (choose && !choose(path))) {
            continue;
        }
        // An INF that does not open as a Windows 4 style INF cannot list the device; the
        // walk goes on, since the device's own INF may come later in the listing.
        std::unique_ptr<InfFile> inf = platform.inf.OpenWin4(path.c_str());
        if (inf && visit(path, *inf)) {
            return true;
        }
    } while (search->Next(&entry));
    return false;
}

}  // namespace drvsweep
