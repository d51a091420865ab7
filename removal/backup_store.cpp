#include "removal/backup_store.h"

#include <utility>

#include "platform/text_reads.h"
#include "platform/win32_codes.h"
#include "removal/backup_files.h"
#include "removal/backup_place.h"
#include "removal/registry_export.h"
#include "removal/sha256.h"

namespace drvsweep {

namespace {

constexpr char kRegFileName[] = "registry.reg";

}  // namespace

BackupStore::BackupStore(Platform& platform, std::string folder)
    : platform_(platform), codePage_(platform.version.AnsiCodePage()), folder_(std::move(folder)) {}

bool BackupStore::Start() {
    PathText windows;
    if (!ReadWindowsFolder(platform_.files, codePage_, &windows)) {
        return Fail("the Windows folder cannot be read");
    }
    windows_ = windows.c_str();
    if (!platform_.files.MakeFolder(folder_.c_str())) {
        return Fail("cannot make " + folder_);
    }
    return true;
}

bool BackupStore::Fail(const std::string& why) {
    if (failure_.empty()) {
        failure_ = why;
    }
    return false;
}

bool BackupStore::CopyFile(const std::string& original, const std::string& stored,
                           bool restorable) {
    std::string bytes;
    switch (platform_.files.ReadWholeFile(original.c_str(), kLargestBackupFile, &bytes)) {
        case FileRead::Read:
            break;
        case FileRead::Missing:
            return Fail("cannot read " + original + ": it is not there");
        case FileRead::Failed:
            return Fail("cannot read " + original);
    }
    return Store(stored, bytes, restorable ? original : std::string());
}

bool BackupStore::Store(const std::string& stored, const std::string& bytes,
                        const std::string& original) {
    const std::string path = folder_ + "\\" + stored;
    if (path.size() >= kMaxPath) {
        return Fail("the backup's path for " + stored + " is too long");
    }
    if (!MakeFoldersFor(stored) || !platform_.files.WriteWholeFile(path.c_str(), bytes)) {
        return Fail("cannot write " + path);
    }
    manifest_.files.push_back({stored, original, bytes.size(), Sha256Hex(bytes)});
    return true;
}

bool BackupStore::CopyTree(const std::string& original, const std::string& stored,
                           bool restorable) {
    if (restorable) {
        manifest_.folders.push_back(original);
    }
    if (!MakeFoldersFor(stored + "\\.")) {
        return Fail("cannot write " + folder_ + "\\" + stored);
    }
    std::vector<FoundFile> entries;
    if (!ListFolder(platform_.files, original, &entries)) {
        return Fail("cannot list " + original);
    }
    for (const FoundFile& entry : entries) {
        const std::string from = original + "\\" + entry.name.c_str();
        const std::string to = stored + "\\" + entry.name.c_str();
        if ((entry.attributes & kFileAttributeReparsePoint) != 0) {
            return Fail(from + " is a junction or link");
        }
        const bool copied = (entry.attributes & kFileAttributeDirectory) != 0
                                ? CopyTree(from, to, restorable)
                                : CopyFile(from, to, restorable);
        if (!copied) {
            return false;
        }
    }
    return true;
}

bool BackupStore::StoredName(const std::string& original, std::string* stored) {
    std::string relative;
    if (!RelativeBelow(codePage_, windows_, original, &relative)) {
        return Fail(original + " is not below the Windows folder");
    }
    *stored = "windows\\" + relative;
    return true;
}

bool BackupStore::Finish(bool nt) {
    if (!keys_.empty()) {
        std::string bytes;
        RegAnsiConversion conversion(platform_.version);
        if (!WriteRegText(conversion, nt ? RegTextFormat::Regedit5 : RegTextFormat::Regedit4, keys_,
                          &bytes)) {
            return Fail("the registry keys cannot be written as a .reg file");
        }
        if (!Store(kRegFileName, bytes, std::string())) {
            return false;
        }
        manifest_.regFile = kRegFileName;
    }
    const std::string manifest = folder_ + "\\" + kManifestName;
    const std::string unfinished = manifest + kUnfinishedBackupEnding;
    if (!platform_.files.WriteWholeFile(unfinished.c_str(), ManifestToJson(manifest_)) ||
        !platform_.files.RenameFile(unfinished.c_str(), manifest.c_str())) {
        return Fail("cannot write " + manifest);
    }
    return true;
}

bool BackupStore::MakeFoldersFor(const std::string& stored) {
    std::size_t slash = 0;
    while ((slash = stored.find('\\', slash)) != std::string::npos) {
        const std::string folder = folder_ + "\\" + stored.substr(0, slash);
        if (made_.insert(folder).second && !platform_.files.MakeFolder(folder.c_str()) &&
            !IsPlainFolder(platform_.files, folder)) {
            return false;
        }
        ++slash;
    }
    return true;
}

}  // namespace drvsweep
