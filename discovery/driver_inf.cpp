#include "discovery/driver_inf.h"

#include <cstring>

#include "discovery/inf_folder.h"
#include "discovery/inf_sections.h"
#include "discovery/models_lines.h"
#include "discovery/twain_folder_name.h"

namespace drvsweep {

namespace {

// Whether one of the INF's models sections, named by its [Manufacturer] lines, has a line
// that holds the upper-cased hardware ID.
bool InfListsDevice(InfFile& inf, const CodePage& codePage, const PathText& pattern) {
    return VisitModelsSections(inf, [&](const PathText& modelsSection) {
        return VisitModelsLines(inf, codePage, modelsSection.c_str(),
                                [&](const PathText& text, const InfLine&) {
                                    return std::strstr(text.c_str(), pattern.c_str()) != nullptr;
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
    if (!StartsWithIgnoringCase(codePage, text.c_str(), kRoot)) {
        return false;
    }
    *folder = slash + 1;
    return true;
}

}  // namespace

int FindDriverInf(Platform& platform, const char* hardwareId, PathText* infPath) {
    const CodePage codePage = platform.version.AnsiCodePage();
    PathText pattern;
    if (!ModelsPattern(codePage, hardwareId, &pattern)) {
        return 0;
    }
    const bool found = VisitInfFolder(platform, CurrentFamily(platform.version),
                                      [&](const PathText& path, InfFile& inf) {
                                          if (!InfListsDevice(inf, codePage, pattern)) {
                                              return false;
                                          }
                                          *infPath = path;
                                          return true;
                                      });
    return found ? 1 : 0;
}

int FindInfInFolder(Platform& platform, const char* name, PathText* infPath) {
    PathText wanted;
    if (!ReadInfFolder(platform, &wanted) || !wanted.appendAll("\\", name)) {
        return 0;
    }
    const CodePage codePage = platform.version.AnsiCodePage();
    UpperCaseAscii(codePage, wanted.data());
    const bool found = VisitInfFolder(platform, CurrentFamily(platform.version),
                                      [&](const PathText& path, InfFile&) {
                                          PathText upper = path;
                                          UpperCaseAscii(codePage, upper.data());
                                          if (upper != wanted) {
                                              return false;
                                          }
                                          *infPath = path;
                                          return true;
                                      });
    return found ? 1 : 0;
}

TwainFolderRead ReadTwainFolder(Platform& platform, const char* infPath, PathText* folder) {
    std::unique_ptr<InfFile> inf = platform.inf.OpenWin4(infPath);
    if (!inf) {
        return TwainFolderRead::kRefused;
    }
    return ReadTwainFolderOf(*inf, platform.version.AnsiCodePage(), folder);
}

TwainFolderRead ReadTwainFolderOf(InfFile& inf, const CodePage& codePage, PathText* folder) {
    PathText text;
    const bool found = VisitSectionLines(inf, "DestinationDirs", [&](const PathText& line) {
        if (std::strstr(line.c_str(), "TWAIN_32") == nullptr &&
            std::strstr(line.c_str(), "twain_32") == nullptr) {
            return false;
        }
        text = line;
        return true;
    });
    if (!found) {
        return TwainFolderRead::kNoTwainLine;
    }
    const char* name = nullptr;
    if (!SplitTwainLine(codePage, text, &name) || !IsSafeTwainFolderName(codePage, name) ||
        !folder->assign(name)) {
        return TwainFolderRead::kRefused;
    }
    return TwainFolderRead::kFolder;
}

}  // namespace drvsweep
