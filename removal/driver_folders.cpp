#include "removal/driver_folders.h"

#include <cctype>
#include <cstring>

#include "discovery/twain_folder_name.h"
#include "platform/text_reads.h"

namespace drvsweep {

namespace {

void AddFolder(std::vector<PathText>* folders, const PathText& base, const char* piece) {
    PathText folder;
    if (!base.empty() && folder.appendAll(base, piece)) {
        folders->push_back(folder);
    }
}

bool HasShortNameAlias(const char* name) {
    for (const char* tilde = std::strchr(name, '~'); tilde != nullptr;
         tilde = std::strchr(tilde + 1, '~')) {
        if (std::isdigit(static_cast<unsigned char>(tilde[1])) != 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

DriverFolders::DriverFolders(Platform& platform) : platform_(platform) {
    const CodePage codePage = platform.version.AnsiCodePage();
    if (!ReadWindowsFolder(platform.files, codePage, &windows_)) {
        windows_.clear();
    }
    if (!ReadWow64Folder(platform.packages, codePage, &wow64_)) {
        wow64_.clear();
    }
    for (long dirid : {11L, 12L, 16425L, 18L, 23L}) {
        PathText folder;
        if (ResolveDirid(dirid, &folder)) {
            driverFolders_.push_back(folder);
        }
    }
    for (const char* root : {"\\twain_32", "\\twain_64", "\\twain"}) {
        AddFolder(&twainRoots_, windows_, root);
    }
}

bool DriverFolders::ResolveDirid(long dirid, PathText* folder) const {
    const bool nt = CurrentFamily(platform_.version) == Family::Nt;
    const char* piece = nullptr;
    switch (dirid) {
        case 10:
            piece = "";
            break;
        case 11:
            piece = nt ? "\\system32" : "\\system";
            break;
        case 12:
            piece = nt ? "\\system32\\drivers" : "\\system\\IOSUBSYS";
            break;
        case 17:
            piece = "\\inf";
            break;
        case 18:
            piece = "\\help";
            break;
        case 23:
            piece = nt ? "\\system32\\spool\\drivers\\color" : "\\system\\color";
            break;
        case 16425:
            if (wow64_.empty()) {
                return false;
            }
            *folder = wow64_;
            return true;
        default:
            return false;
    }
    PathText resolved;
    if (windows_.empty() || !resolved.appendAll(windows_, piece)) {
        return false;
    }
    *folder = resolved;
    return true;
}

bool DriverFolders::MayDeleteIn(const char* folder) const {
    const CodePage codePage = platform_.version.AnsiCodePage();
    for (const std::vector<PathText>* folders : {&driverFolders_, &twainRoots_}) {
        for (const PathText& allowed : *folders) {
            if (EqualsIgnoringCase(codePage, folder, allowed.c_str())) {
                return true;
            }
        }
    }
    return TwainRootAbove(folder) != nullptr;
}

const PathText* DriverFolders::TwainRootAbove(const char* folder) const {
    const CodePage codePage = platform_.version.AnsiCodePage();
    for (const PathText& root : twainRoots_) {
        if (StartsWithIgnoringCase(codePage, folder, root.c_str()) && folder[root.size()] == '\\' &&
            folder[root.size() + 1] != '\0') {
            return &root;
        }
    }
    return nullptr;
}

bool IsPlainInstalledName(const CodePage& codePage, const char* name) {
    if (!IsPlainSubfolder(codePage, name)) {
        return false;
    }
    // A backslash byte may be the second byte of a two-byte character, which is no separator.
    for (const char* at = name; *at != '\0'; ++at) {
        if (codePage.IsLeadByte(static_cast<unsigned char>(*at)) && at[1] != '\0') {
            ++at;
        } else if (*at == '\\') {
            return false;
        }
    }
    return true;
}

bool IsPlainSubfolder(const CodePage& codePage, const char* subfolder) {
    return IsSafeTwainFolderName(codePage, subfolder) && !HasShortNameAlias(subfolder);
}

}  // namespace drvsweep
