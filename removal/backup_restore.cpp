#include "removal/backup_restore.h"

#include <algorithm>
#include <memory>

#include "platform/win32_codes.h"
#include "removal/backup_check.h"
#include "removal/backup_files.h"
#include "removal/driver_folders.h"

namespace drvsweep {

namespace {

constexpr char kRestoringEnding[] = ".restoring";

class Restorer {
public:
    Restorer(Platform& platform, const CheckedBackup& backup, RestoreResult* result)
        : platform_(platform),
          codePage_(platform.version.AnsiCodePage()),
          folders_(platform),
          backup_(backup),
          result_(*result) {}

    void Run() {
        const bool nt = backup_.manifest.family == "nt";
        std::vector<std::string> folders = backup_.manifest.folders;
        std::sort(folders.begin(), folders.end(),
                  [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
        for (const std::string& folder : folders) {
            PutFolderBack(folder);
        }
        for (const BackupFile& file : backup_.manifest.files) {
            if (file.original.empty() || (nt && IsInfFolderFile(file.original))) {
                continue;
            }
            PutFileBack(file);
        }
        if (nt) {
            for (const BackupPackage& package : backup_.manifest.packages) {
                StagePackage(package);
            }
        }
        for (const RegTextKey& key : backup_.keys) {
            PutKeyBack(key);
        }
    }

private:
    void Add(const char* kind, const std::string& path, RestoreOutcome outcome,
             const std::string& note = std::string()) {
        result_.items.push_back({kind, path, outcome, note});
    }

    bool IsInfFolderFile(const std::string& path) const {
        for (const BackupPackage& package : backup_.manifest.packages) {
            if (EqualsIgnoringCase(codePage_, ParentFolder(package.infPath).c_str(),
                                   ParentFolder(path).c_str())) {
                return true;
            }
        }
        return false;
    }

    // Makes the folder, and the folders above it that a removal may also have taken (those
    // below a TWAIN root), when they are missing.
    bool MakeFolderChain(const std::string& folder, int depth) {
        const std::string parent = ParentFolder(folder);
        if (depth < 16 && folders_.TwainRootAbove(parent.c_str()) != nullptr &&
            !IsPlainFolder(platform_.files, parent) && !MakeFolderChain(parent, depth + 1)) {
            return false;
        }
        return platform_.files.MakeFolder(folder.c_str());
    }

    void PutFolderBack(const std::string& folder) {
        if (IsPlainFolder(platform_.files, folder)) {
            Add("folder", folder, RestoreOutcome::AlreadyThere);
        } else if (MakeFolderChain(folder, 0)) {
            Add("folder", folder, RestoreOutcome::PutBack);
        } else {
            Add("folder", folder, RestoreOutcome::Failed, "the folder cannot be made");
        }
    }

    void PutFileBack(const BackupFile& file) {
        std::string stored;
        std::string there;
        platform_.files.ReadWholeFile((backup_.folder + "\\" + file.stored).c_str(),
                                      kLargestBackupFile, &stored);
        switch (platform_.files.ReadWholeFile(file.original.c_str(), kLargestBackupFile, &there)) {
            case FileRead::Read:
                if (there == stored) {
                    Add("file", file.original, RestoreOutcome::AlreadyThere);
                } else {
                    Add("file", file.original, RestoreOutcome::LeftAsIs,
                        "a different file is there now");
                }
                return;
            case FileRead::Failed:
                Add("file", file.original, RestoreOutcome::LeftAsIs,
                    "something is there now that cannot be read");
                return;
            case FileRead::Missing:
                break;
        }
        // Written whole under another name first, so that a failure never leaves half a file
        // under the name Windows loads.
        const std::string temporary = file.original + kRestoringEnding;
        std::uint32_t attributes = 0;
        if (temporary.size() >= kMaxPath || FindEntry(platform_.files, temporary, &attributes) ||
            !platform_.files.WriteWholeFile(temporary.c_str(), stored)) {
            platform_.files.RemoveFile(temporary.c_str());
            Add("file", file.original, RestoreOutcome::Failed, "the file cannot be written");
            return;
        }
        if (!platform_.files.RenameFile(temporary.c_str(), file.original.c_str())) {
            platform_.files.RemoveFile(temporary.c_str());
            Add("file", file.original, RestoreOutcome::Failed, "the file cannot be written");
            return;
        }
        Add("file", file.original, RestoreOutcome::PutBack);
    }

    void StagePackage(const BackupPackage& package) {
        const std::string inf = backup_.folder + "\\" + package.folder + "\\" + package.inf;
        std::string staged;
        const PackageCallResult call = platform_.packages.CopyOemInf(inf.c_str(), &staged);
        if (!call.available) {
            Add("infPackage", package.infPath, RestoreOutcome::Failed,
                "Windows has no way to stage a package here");
        } else if (!call.succeeded) {
            Add("infPackage", package.infPath, RestoreOutcome::Failed,
                "Windows answered error " + std::to_string(call.error));
        } else {
            Add("infPackage", package.infPath, RestoreOutcome::PutBack, "staged as " + staged);
        }
    }

    void PutKeyBack(const RegTextKey& key) {
        std::unique_ptr<RegistryKey> open;
        bool created = false;
        if (platform_.registry.CreateKeyInView(key.path.c_str(), kKeyRead | kKeySetValue,
                                               RegistryView::Native, &open,
                                               &created) != kErrorSuccess) {
            Add("registryKey", key.path, RestoreOutcome::Failed, "the key cannot be made");
            return;
        }
        RestoreOutcome outcome = created ? RestoreOutcome::PutBack : RestoreOutcome::AlreadyThere;
        std::string note;
        for (const RegTextValue& value : key.values) {
            std::string there(value.bytes.size() + 1, '\0');
            std::uint32_t size = static_cast<std::uint32_t>(there.size());
            const long status = open->QueryValue(value.name.c_str(), &there[0], &size);
            if (status == kErrorSuccess && size == value.bytes.size() &&
                there.compare(0, size, value.bytes) == 0) {
                continue;
            }
            if (status != kErrorFileNotFound) {
                outcome = RestoreOutcome::LeftAsIs;
                note = "the value \"" + value.name + "\" differs now and was left";
                continue;
            }
            if (open->SetValue(value.name.c_str(), value.type, value.bytes.data(),
                               static_cast<std::uint32_t>(value.bytes.size())) != kErrorSuccess) {
                Add("registryKey", key.path, RestoreOutcome::Failed,
                    "the value \"" + value.name + "\" cannot be written");
                return;
            }
            if (outcome == RestoreOutcome::AlreadyThere) {
                outcome = RestoreOutcome::PutBack;
            }
        }
        if (created && backup_.manifest.family == "9x" &&
            StartsWithIgnoringCase(codePage_, key.path.c_str(), "Enum\\")) {
            result_.restartNeeded = true;
        }
        Add("registryKey", key.path, outcome, note);
    }

    Platform& platform_;
    CodePage codePage_;
    DriverFolders folders_;
    const CheckedBackup& backup_;
    RestoreResult& result_;
};

}  // namespace

bool RestoreResult::complete() const {
    if (refused) {
        return false;
    }
    for (const RestoredItem& item : items) {
        if (item.outcome == RestoreOutcome::LeftAsIs || item.outcome == RestoreOutcome::Failed) {
            return false;
        }
    }
    return true;
}

RestoreResult RestoreBackup(Platform& platform, const std::string& folder) {
    RestoreResult result;
    CheckedBackup backup;
    if (!ReadCheckedBackup(platform, folder, &backup, &result.refusal)) {
        result.refused = true;
        return result;
    }
    result.devicePath = backup.manifest.devicePath;
    result.description = backup.manifest.description;
    Restorer(platform, backup, &result).Run();
    return result;
}

}  // namespace drvsweep
