#include "platform/restart_deletion.h"

#include <cstring>
#include <string>

#include "platform/fixed_text.h"
#include "platform/text_reads.h"
#include "platform/wininit_text.h"

namespace drvsweep {

namespace {

// Far above what any WININIT.INI holds; a larger file is left alone rather than read whole.
constexpr std::uint32_t kMaxWininitBytes = 1024 * 1024;

// Puts the text in place of the file at `path`, which exists when `replacing` is true.
bool ReplaceWholeFile(FileSystem& files, const PathText& path, const PathText& fresh,
                      const PathText& aside, bool replacing, const std::string& text) {
    if (!files.WriteWholeFile(fresh.c_str(), text)) {
        files.RemoveFile(fresh.c_str());
        return false;
    }
    if (replacing && !files.RenameFile(path.c_str(), aside.c_str())) {
        files.RemoveFile(fresh.c_str());
        return false;
    }
    if (!files.RenameFile(fresh.c_str(), path.c_str())) {
        if (replacing) {
            files.RenameFile(aside.c_str(), path.c_str());
        }
        files.RemoveFile(fresh.c_str());
        return false;
    }
    if (replacing) {
        files.RemoveFile(aside.c_str());
    }
    return true;
}

bool AddToWininit(FileSystem& files, const CodePage& codePage, const char* path) {
    PathText shortPath;
    if (!ReadShortPath(files, path, &shortPath) ||
        std::strpbrk(shortPath.c_str(), "\r\n") != nullptr) {
        return false;
    }
    PathText windows;
    PathText wininit;
    PathText fresh;
    PathText aside;
    if (!ReadWindowsFolder(files, codePage, &windows) ||
        !wininit.appendAll(windows.c_str(), "\\WININIT.INI") ||
        !fresh.appendAll(windows.c_str(), "\\WININIT.DSN") ||
        !aside.appendAll(windows.c_str(), "\\WININIT.DSO")) {
        return false;
    }
    std::string unused;
    if (files.ReadWholeFile(aside.c_str(), kMaxWininitBytes, &unused) != FileRead::Missing) {
        return false;
    }
    std::string text;
    const FileRead read = files.ReadWholeFile(wininit.c_str(), kMaxWininitBytes, &text);
    if (read == FileRead::Failed) {
        return false;
    }
    const std::string updated = AddWininitDeletion(text, shortPath.c_str());
    if (read == FileRead::Read && updated == text) {
        return true;
    }
    return ReplaceWholeFile(files, wininit, fresh, aside, read == FileRead::Read, updated);
}

}  // namespace

bool ScheduleDeletionAtRestart(FileSystem& files, VersionInfo& version, const char* path) {
    if (CurrentFamily(version) == Family::Nt) {
        return files.DeleteAtRestart(path);
    }
    return AddToWininit(files, version.AnsiCodePage(), path);
}

}  // namespace drvsweep
