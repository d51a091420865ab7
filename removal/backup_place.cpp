#include "removal/backup_place.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/text_reads.h"
#include "platform/win32_codes.h"
#include "removal/backup_files.h"
#include "removal/folder_tree.h"

namespace drvsweep {

namespace {

constexpr std::size_t kLongestModel = 40;
constexpr char kFolderBelowRoot[] = "\\DrvSweep\\Backups";

// "yyyymmdd-hhmmss-" or "yyyymmdd-hhmmss.": the start of every backup's name.
bool IsBackupName(const std::string& name) {
    if (name.size() < 17 || name[8] != '-' || (name[15] != '-' && name[15] != '.')) {
        return false;
    }
    for (std::size_t i = 0; i < 15; ++i) {
        if (i != 8 && std::isdigit(static_cast<unsigned char>(name[i])) == 0) {
            return false;
        }
    }
    return true;
}

bool IsUnfinished(const std::string& name) {
    const std::size_t ending = sizeof kUnfinishedBackupEnding - 1;
    return name.size() > ending &&
           name.compare(name.size() - ending, ending, kUnfinishedBackupEnding) == 0;
}

bool IsLink(FileSystem& files, const std::string& folder) {
    std::uint32_t attributes = 0;
    return FindEntry(files, folder, &attributes) && (attributes & kFileAttributeReparsePoint) != 0;
}

bool MakeOne(Platform& platform, const std::string& folder, std::string* failure) {
    const bool nt = CurrentFamily(platform.version) == Family::Nt;
    if (nt ? !platform.files.MakeAdministratorsFolder(folder.c_str())
           : !platform.files.MakeFolder(folder.c_str()) && !IsPlainFolder(platform.files, folder)) {
        *failure = "the backup folder " + folder + " cannot be made";
        return false;
    }
    if (IsLink(platform.files, folder) || !IsPlainFolder(platform.files, folder)) {
        *failure = "the backup folder " + folder + " is a junction or link, or no folder";
        return false;
    }
    return true;
}

}  // namespace

std::string DefaultBackupRoot(Platform& platform) {
    char data[kMaxPath];
    const std::uint32_t length = platform.files.CommonAppDataFolder(data, sizeof data);
    if (CurrentFamily(platform.version) == Family::Nt && length > 0 && length < sizeof data) {
        std::string folder(data, length);
        while (!folder.empty() && folder.back() == '\\') {
            folder.pop_back();
        }
        return folder + kFolderBelowRoot;
    }
    PathText windows;
    if (!ReadWindowsFolder(platform.files, platform.version.AnsiCodePage(), &windows)) {
        return std::string();
    }
    return std::string(windows.c_str()) + kFolderBelowRoot;
}

bool PrepareBackupRoot(Platform& platform, const std::string& chosen, std::string* root,
                       std::string* failure) {
    if (!chosen.empty()) {
        *root = chosen;
        while (root->size() > 3 && root->back() == '\\') {
            root->pop_back();
        }
        return MakeOne(platform, *root, failure);
    }
    *root = DefaultBackupRoot(platform);
    if (root->empty()) {
        *failure = "no folder for backups is known (the Windows folder cannot be read)";
        return false;
    }
    return MakeOne(platform, ParentFolder(*root), failure) && MakeOne(platform, *root, failure);
}

std::string BackupTimeStamp(const UtcTime& time) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", time.year % 10000,
                  time.month % 100, time.day % 100, time.hour % 100, time.minute % 100,
                  time.second % 100);
    return stamp;
}

std::string BackupFolderName(const UtcTime& time, int numberInSecond, const char* description) {
    char number[8] = "";
    if (numberInSecond > 1) {
        std::snprintf(number, sizeof number, ".%02d", numberInSecond % 100);
    }
    const std::string stamp = BackupTimeStamp(time) + number + "-";
    std::string model;
    for (const char* c = description; *c != '\0' && model.size() < kLongestModel; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        model += byte < 0x80 && (std::isalnum(byte) != 0 || byte == '-' || byte == '_')
                     ? static_cast<char>(byte)
                     : '_';
    }
    return stamp + (model.empty() ? std::string("scanner") : model);
}

std::vector<std::string> CompleteBackups(Platform& platform, const std::string& root) {
    std::vector<FoundFile> entries;
    std::vector<std::string> names;
    if (!ListFolder(platform.files, root, &entries)) {
        return names;
    }
    for (const FoundFile& entry : entries) {
        const std::string name = entry.name.c_str();
        std::uint32_t attributes = 0;
        if (entry.attributes == kFileAttributeDirectory && IsBackupName(name) &&
            !IsUnfinished(name) &&
            FindEntry(platform.files, root + "\\" + name + "\\" + kManifestName, &attributes) &&
            (attributes & kFileAttributeDirectory) == 0) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return a > b; });
    for (std::string& name : names) {
        name = root + "\\" + name;
    }
    return names;
}

void PruneBackups(Platform& platform, const std::string& root, std::size_t keep) {
    const CodePage codePage = platform.version.AnsiCodePage();
    std::vector<FoundFile> entries;
    if (ListFolder(platform.files, root, &entries)) {
        for (const FoundFile& entry : entries) {
            const std::string name = entry.name.c_str();
            if (entry.attributes == kFileAttributeDirectory && IsBackupName(name) &&
                IsUnfinished(name)) {
                DeleteTree(platform.files, codePage, (root + "\\" + name).c_str());
            }
        }
    }
    const std::vector<std::string> complete = CompleteBackups(platform, root);
    for (std::size_t i = keep; i < complete.size(); ++i) {
        DeleteTree(platform.files, codePage, complete[i].c_str());
    }
}

}  // namespace drvsweep
