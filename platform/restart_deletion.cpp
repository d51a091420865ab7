#include "platform/restart_deletion.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "platform/fixed_text.h"
#include "platform/text_reads.h"
#include "platform/win32_codes.h"
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

bool WininitPath(FileSystem& files, const CodePage& codePage, const char* name, PathText* path) {
    PathText windows;
    return ReadWindowsFolder(files, codePage, &windows) &&
           path->appendAll(windows.c_str(), "\\", name);
}

// True only for an entry that a listing finds and reports as a file.
bool IsListedFile(FileSystem& files, const char* path) {
    FoundFile found;
    const std::unique_ptr<FileSearch> search = files.FindFirst(path, &found);
    return search != nullptr && (found.attributes & kFileAttributeDirectory) == 0;
}

bool AddToWininit(FileSystem& files, const CodePage& codePage, const char* path) {
    // WININIT.INI deletes files at the restart, never folders: a folder line would stay
    // there unanswered, so a folder is refused here.
    PathText shortPath;
    if (!IsListedFile(files, path) || !ReadShortPath(files, path, &shortPath) ||
        std::strpbrk(shortPath.c_str(), "\r\n") != nullptr) {
        return false;
    }
    PathText wininit;
    PathText fresh;
    PathText aside;
    if (!WininitPath(files, codePage, "WININIT.INI", &wininit) ||
        !WininitPath(files, codePage, "WININIT.DSN", &fresh) ||
        !WininitPath(files, codePage, "WININIT.DSO", &aside)) {
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
    const std::string updated = AddWininitDeletion(codePage, text, shortPath.c_str());
    if (read == FileRead::Read && updated == text) {
        return true;
    }
    return ReplaceWholeFile(files, wininit, fresh, aside, read == FileRead::Read, updated);
}

std::vector<std::string> ReadPendingRenameDeletions(Registry& registry) {
    std::unique_ptr<RegistryKey> key;
    std::uint32_t size = 0;
    if (registry.OpenKey(kSessionManagerKey, kKeyRead, &key) != kErrorSuccess ||
        key->QueryValue(kPendingRenamesValue, nullptr, &size) != kErrorSuccess || size == 0) {
        return {};
    }
    std::string bytes(size, '\0');
    if (key->QueryValue(kPendingRenamesValue, &bytes[0], &size) != kErrorSuccess) {
        return {};
    }
    bytes.resize(size);
    return PendingRenameDeletions(bytes);
}

}  // namespace

std::vector<std::string> PendingRenameDeletions(const std::string& bytes) {
    std::vector<std::string> deletions;
    std::vector<std::string> strings;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\0', at), bytes.size());
        strings.push_back(bytes.substr(at, end - at));
        at = end + 1;
    }
    // A REG_MULTI_SZ ends in an empty string, which is no pair's old path.
    for (std::size_t i = 0; i + 1 < strings.size(); i += 2) {
        std::string path = strings[i];
        if (path.empty() || !strings[i + 1].empty()) {
            continue;
        }
        if (path.compare(0, 4, "\\??\\") == 0) {
            path.erase(0, 4);
        }
        deletions.push_back(path);
    }
    return deletions;
}

ScheduledDeletions::ScheduledDeletions(Registry& registry, FileSystem& files, VersionInfo& version)
    : files_(files), codePage_(version.AnsiCodePage()) {
    if (CurrentFamily(version) == Family::Nt) {
        paths_ = ReadPendingRenameDeletions(registry);
        return;
    }
    shortPaths_ = true;
    PathText wininit;
    std::string text;
    if (WininitPath(files, codePage_, "WININIT.INI", &wininit) &&
        files.ReadWholeFile(wininit.c_str(), kMaxWininitBytes, &text) == FileRead::Read) {
        paths_ = WininitDeletions(codePage_, text);
    }
}

bool ScheduledDeletions::Holds(const char* path) const {
    if (paths_.empty()) {
        return false;
    }
    PathText named;
    if (!shortPaths_) {
        named.assign(path);
    } else if (!ReadShortPath(files_, path, &named)) {
        return false;
    }
    for (const std::string& scheduled : paths_) {
        if (EqualsIgnoringCase(codePage_, scheduled.c_str(), named.c_str())) {
            return true;
        }
    }
    return false;
}

bool ScheduleDeletionAtRestart(FileSystem& files, VersionInfo& version, const char* path) {
    if (CurrentFamily(version) == Family::Nt) {
        return files.DeleteAtRestart(path);
    }
    return AddToWininit(files, version.AnsiCodePage(), path);
}

}  // namespace drvsweep
