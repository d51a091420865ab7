#include "removal/backup_check.h"

#include <cctype>
#include <cstring>

#include "discovery/inf_folder.h"
#include "platform/text_reads.h"
#include "removal/backup_files.h"
#include "removal/backup_place.h"
#include "removal/driver_folders.h"
#include "removal/registry_export.h"
#include "removal/sha256.h"

namespace drvsweep {

namespace {

constexpr std::uint32_t kLargestManifest = 8u * 1024u * 1024u;
constexpr std::uint32_t kLargestRegFile = 16u * 1024u * 1024u;

bool IsGuid(const std::string& text) {
    if (text.size() != 38 || text.front() != '{' || text.back() != '}') {
        return false;
    }
    for (std::size_t i = 1; i < 37; ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? text[i] != '-' : std::isxdigit(static_cast<unsigned char>(text[i])) == 0) {
            return false;
        }
    }
    return true;
}

bool HoldsMakerId(const std::string& text) {
    std::string upper = text;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return upper.find("VID_0C6E") != std::string::npos ||
           upper.find("RDN-CQ-D41E") != std::string::npos ||
           upper.find("QUORIN") != std::string::npos;
}

// The components of a registry path; none when it is not plain (IsPlainRelativePath).
std::vector<std::string> KeyComponents(const CodePage& codePage, const std::string& path) {
    std::vector<std::string> parts;
    if (!IsPlainRelativePath(codePage, path)) {
        return parts;
    }
    std::size_t start = 0;
    for (std::size_t slash; (slash = path.find('\\', start)) != std::string::npos;
         start = slash + 1) {
        parts.push_back(path.substr(start, slash - start));
    }
    parts.push_back(path.substr(start));
    return parts;
}

bool Is(const CodePage& codePage, const std::string& part, const char* word) {
    return EqualsIgnoringCase(codePage, part.c_str(), word);
}

// A key a removal may have deleted: a COM class, or on the 9x family the maker's device key
// or a driver key.
bool IsScannerKey(const CodePage& codePage, bool nt, const std::string& path) {
    const std::vector<std::string> p = KeyComponents(codePage, path);
    if (p.size() == 4 && Is(codePage, p[0], "Software") && Is(codePage, p[1], "Classes") &&
        Is(codePage, p[2], "CLSID") && IsGuid(p[3])) {
        return true;
    }
    if (p.size() == 5 && Is(codePage, p[0], "SOFTWARE") && Is(codePage, p[1], "WOW6432Node") &&
        Is(codePage, p[2], "Classes") && Is(codePage, p[3], "CLSID") && IsGuid(p[4])) {
        return true;
    }
    if (nt) {
        return false;
    }
    if (p.size() == 3 && Is(codePage, p[0], "Enum") && HoldsMakerId(p[2])) {
        return true;
    }
    return p.size() == 6 && Is(codePage, p[0], "System") &&
           Is(codePage, p[1], "CurrentControlSet") && Is(codePage, p[2], "Services") &&
           Is(codePage, p[3], "Class") && p[5].size() == 4 &&
           std::strspn(p[5].c_str(), "0123456789") == 4;
}

bool AtOrBelow(const CodePage& codePage, const std::string& folder, const std::string& path) {
    std::string relative;
    return EqualsIgnoringCase(codePage, folder.c_str(), path.c_str()) ||
           RelativeBelow(codePage, folder, path, &relative);
}

class Checker {
public:
    Checker(Platform& platform, CheckedBackup* backup)
        : platform_(platform),
          codePage_(platform.version.AnsiCodePage()),
          folders_(platform),
          backup_(*backup) {}

    bool Check(std::string* failure) {
        const BackupManifest& m = backup_.manifest;
        PathText windows;
        PathText infFolder;
        if (!ReadWindowsFolder(platform_.files, codePage_, &windows) ||
            !ReadInfFolder(platform_, &infFolder)) {
            return Refuse("the Windows folder cannot be read", failure);
        }
        windows_ = windows.c_str();
        infFolder_ = infFolder.c_str();
        if (m.codePage != codePage_.id() ||
            !EqualsIgnoringCase(codePage_, m.windowsFolder.c_str(), windows_.c_str()) ||
            m.family != (nt() ? "nt" : "9x")) {
            return Refuse(
                "the backup was made on another Windows (its folder, family or code "
                "page differs)",
                failure);
        }
        for (const BackupFile& file : m.files) {
            if (!CheckFile(file, failure)) {
                return false;
            }
        }
        for (const std::string& folder : m.folders) {
            if (folders_.TwainRootAbove(folder.c_str()) == nullptr ||
                !(IsItem(folder, "dataSourceFolder") || IsItem(folder, "emptyFolder") ||
                  InDataSourceFolder(folder))) {
                return Refuse("the backup names a folder no removal takes: " + folder, failure);
            }
        }
        for (const BackupKey& key : m.keys) {
            if (!IsScannerKey(codePage_, nt(), key.path)) {
                return Refuse("the backup names a registry key no removal takes: " + key.path,
                              failure);
            }
        }
        for (const BackupPackage& package : m.packages) {
            if (!IsPlainRelativePath(codePage_, package.folder + "\\" + package.inf) ||
                !Stored(package.folder + "\\" + package.inf) ||
                !EqualsIgnoringCase(codePage_, ParentFolder(package.infPath).c_str(),
                                    infFolder_.c_str())) {
                return Refuse("the backup names a package it does not hold: " + package.infPath,
                              failure);
            }
        }
        return CheckRegFile(failure);
    }

private:
    bool nt() const { return backup_.manifest.family == "nt"; }

    bool Refuse(const std::string& why, std::string* failure) {
        *failure = why;
        return false;
    }

    bool Stored(const std::string& stored) const {
        for (const BackupFile& file : backup_.manifest.files) {
            if (EqualsIgnoringCase(codePage_, file.stored.c_str(), stored.c_str())) {
                return true;
            }
        }
        return false;
    }

    bool IsItem(const std::string& path, const char* kind) const {
        for (const BackupItem& item : backup_.manifest.items) {
            if (item.kind == kind &&
                EqualsIgnoringCase(codePage_, item.path.c_str(), path.c_str())) {
                return true;
            }
        }
        return false;
    }

    bool InDataSourceFolder(const std::string& path) const {
        for (const BackupItem& item : backup_.manifest.items) {
            std::string relative;
            if (item.kind == "dataSourceFolder" &&
                RelativeBelow(codePage_, item.path, path, &relative)) {
                return true;
            }
        }
        return false;
    }

    // A package's .inf, or the .pnf beside it.
    bool IsPackageFile(const std::string& path) const {
        for (const BackupItem& item : backup_.manifest.items) {
            if (item.kind != "infPackage") {
                continue;
            }
            const std::string stem = item.path.substr(0, item.path.rfind('.'));
            if (EqualsIgnoringCase(codePage_, item.path.c_str(), path.c_str()) ||
                EqualsIgnoringCase(codePage_, (stem + ".pnf").c_str(), path.c_str())) {
                return true;
            }
        }
        return false;
    }

    bool CheckFile(const BackupFile& file, std::string* failure) {
        const std::string path = backup_.folder + "\\" + file.stored;
        if (!IsPlainRelativePath(codePage_, file.stored) || path.size() >= kMaxPath) {
            return Refuse("the backup names a file outside its folder: " + file.stored, failure);
        }
        std::string bytes;
        if (platform_.files.ReadWholeFile(path.c_str(), kLargestBackupFile, &bytes) !=
                FileRead::Read ||
            bytes.size() != file.size || Sha256Hex(bytes) != file.sha256) {
            return Refuse("the backup was changed or is incomplete: " + path, failure);
        }
        if (file.original.empty()) {
            return true;
        }
        const std::string parent = ParentFolder(file.original);
        std::string relative;
        const bool placeAllowed =
            RelativeBelow(codePage_, windows_, file.original, &relative) &&
            IsPlainRelativePath(codePage_, relative) &&
            ((folders_.MayDeleteIn(parent.c_str()) &&
              (IsItem(file.original, "driverFile") || InDataSourceFolder(file.original))) ||
             (EqualsIgnoringCase(codePage_, parent.c_str(), infFolder_.c_str()) &&
              IsPackageFile(file.original)));
        if (!placeAllowed) {
            return Refuse("the backup names a file no removal takes: " + file.original, failure);
        }
        return true;
    }

    bool CheckRegFile(std::string* failure) {
        const BackupManifest& m = backup_.manifest;
        if (m.regFile.empty()) {
            return m.keys.empty() ||
                   Refuse("the backup names registry keys but holds no .reg file", failure);
        }
        std::string bytes;
        std::string error;
        RegAnsiConversion conversion(platform_.version);
        if (!Stored(m.regFile) ||
            platform_.files.ReadWholeFile((backup_.folder + "\\" + m.regFile).c_str(),
                                          kLargestRegFile, &bytes) != FileRead::Read ||
            !ReadRegText(conversion, bytes, &backup_.keys, &error)) {
            return Refuse("the backup's .reg file cannot be read: " + error, failure);
        }
        for (const RegTextKey& key : backup_.keys) {
            bool named = false;
            for (const BackupKey& listed : m.keys) {
                named = named || AtOrBelow(codePage_, listed.path, key.path);
            }
            if (!named) {
                return Refuse("the backup's .reg file holds a key no removal takes: " + key.path,
                              failure);
            }
        }
        return true;
    }

    Platform& platform_;
    CodePage codePage_;
    DriverFolders folders_;
    CheckedBackup& backup_;
    std::string windows_;
    std::string infFolder_;
};

}  // namespace

bool ReadCheckedBackup(Platform& platform, const std::string& folder, CheckedBackup* backup,
                       std::string* failure) {
    backup->folder = folder;
    std::string json;
    std::string error;
    const std::string manifest = folder + "\\" + kManifestName;
    if (platform.files.ReadWholeFile(manifest.c_str(), kLargestManifest, &json) != FileRead::Read) {
        *failure = "no backup is in " + folder + " (its manifest cannot be read)";
        return false;
    }
    if (!ManifestFromJson(json, &backup->manifest, &error)) {
        *failure = "the backup's manifest is damaged: " + error;
        return false;
    }
    return Checker(platform, backup).Check(failure);
}

}  // namespace drvsweep
