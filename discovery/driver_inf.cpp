#include "discovery/driver_inf.h"

#include <cstring>

#include "discovery/inf_folder.h"
#include "discovery/inf_sections.h"
#include "discovery/twain_folder_name.h"
#include "platform/text_reads.h"
#include "platform/win32_codes.h"
#include "platform/working_folder.h"

namespace drvsweep {

namespace {

// Whether one of the INF's models sections, named by its [Manufacturer] lines, has a line
// that holds the upper-cased hardware ID.
bool InfListsDevice(InfFile& inf, const CodePage& codePage, const PathText& pattern) {
    return VisitSectionLines(inf, "Manufacturer", [&](const PathText& modelsSection) {
        return VisitSectionLines(inf, modelsSection.c_str(), [&](PathText line) {
            UpperCaseAscii(codePage, line.data());
            return std::strstr(line.c_str(), pattern.c_str()) != nullptr;
        });
    });
}

// The TWAIN line's text reads "10,twain_32\<folder>": dirid 10 is %windir%, so the folder
// named after the first backslash lies directly below %windir%\twain_32. Any other shape
// would name some other folder, which the removal must not be pointed at.
bool SplitTwainLine(const CodePage& codePage, const PathText& text, const char** folder) {
    const char* slash = FindFirstBackslash(codePage, text.c_str());
    constexpr char kRoot[] = "10,twain_32";
    if (slash == nullptr || static_cast<std::size_t>(slash - text.c_str()) != sizeof kRoot - 1) {
        return false;
    }
    for (std::size_t i = 0; i + 1 < sizeof kRoot; ++i) {
        char c = text.c_str()[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != kRoot[i]) {
            return false;
        }
    }
    *folder = slash + 1;
    return true;
}

}  // namespace

int FindDriverInf(Platform& platform, const char* hardwareId, PathText* infPath) {
    PathText pattern;
    if (!pattern.assign(hardwareId)) {
        return 0;
    }
    const CodePage codePage = platform.version.AnsiCodePage();
    UpperCaseAscii(codePage, pattern.data());

    const bool nt = CurrentFamily(platform.version) == Family::Nt;
    PathText folder;
    SavedWorkingFolder savedFolder(platform.files);
    if (!savedFolder.saved() || !ReadInfFolder(platform, &folder) ||
        !platform.files.SetCurrentFolder(folder.c_str())) {
        return 0;
    }

    FoundFile entry;
    std::unique_ptr<FileSearch> search =
        platform.files.FindFirst(nt ? "oem*.inf" : "*.inf", &entry);
    if (!search) {
        return 0;
    }
    do {
        PathText path;
        if ((entry.attributes & kFileAttributeDirectory) != 0 ||
            !path.appendAll(folder, "\\", entry.name)) {
            continue;
        }
        // An INF that does not open as a Windows 4 style INF cannot list the device; the
        // search goes on, since the device's own INF may come later in the listing.
        std::unique_ptr<InfFile> inf = platform.inf.OpenWin4(path.c_str());
        if (inf && InfListsDevice(*inf, codePage, pattern)) {
            *infPath = path;
            return 1;
        }
    } while (search->Next(&entry));
    return 0;
}

int ReadTwainFolder(Platform& platform, const char* infPath, PathText* folder) {
    PathText text;
    {
        std::unique_ptr<InfFile> inf = platform.inf.OpenWin4(infPath);
        if (!inf) {
            return 0;
        }
        const bool found = VisitSectionLines(*inf, "DestinationDirs", [&](const PathText& line) {
            if (std::strstr(line.c_str(), "TWAIN_32") == nullptr &&
                std::strstr(line.c_str(), "twain_32") == nullptr) {
                return false;
            }
            text = line;
            return true;
        });
        if (!found) {
            return 0;
        }
    }
    const CodePage codePage = platform.version.AnsiCodePage();
    const char* name = nullptr;
    if (!SplitTwainLine(codePage, text, &name) || !IsSafeTwainFolderName(codePage, name)) {
        return 0;
    }
    return folder->assign(name) ? 1 : 0;
}

}  // namespace drvsweep
