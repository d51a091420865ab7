#include "fuzz/restore_oracle.h"

#include <set>
#include <vector>

namespace drvsweep::fuzz {

namespace {

void Note(const char* what, const std::string& path, std::string* account) {
    *account += std::string("  ") + what + ": " + path + "\n";
}

bool AtOrBelow(const std::string& path, const std::string& tree) {
    return path == tree || path.compare(0, tree.size() + 1, tree + "\\") == 0;
}

std::string Parent(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string Read(FuzzMachine& machine, const std::string& path) {
    std::string bytes;
    machine.windows.files().ReadFile(path, &bytes);
    return bytes;
}

}  // namespace

std::string AccountOfRestore(FuzzMachine& machine, const MachineChanges& changes,
                             const CheckedBackup* backup) {
    std::string account;
    for (const std::string& key : changes.deletedKeys) {
        Note("deleted a key", key, &account);
    }
    for (const std::string& file : changes.deletedFiles) {
        Note("deleted a file or folder", file, &account);
    }
    for (const std::string& file : changes.changedFiles) {
        Note("changed a file that was there", file, &account);
    }
    for (const std::string& device : changes.removedDevices) {
        Note("removed a device", device, &account);
    }
    for (const std::string& file : changes.scheduled) {
        Note("scheduled a deletion", file, &account);
    }
    if (backup == nullptr) {
        for (const std::string& key : changes.createdKeys) {
            Note("created a key from a refused backup", key, &account);
        }
        for (const std::string& value : changes.changedValues) {
            Note("changed a value from a refused backup", value, &account);
        }
        for (const std::string& file : changes.createdFiles) {
            Note("created a file from a refused backup", file, &account);
        }
        return account;
    }
    const BackupManifest& m = backup->manifest;
    std::set<std::string> packageInfs;
    for (const BackupPackage& package : m.packages) {
        packageInfs.insert(
            Read(machine, backup->folder + "\\" + package.folder + "\\" + package.inf));
    }
    const std::string windows = UpperAscii(m.windowsFolder);
    for (const std::string& file : changes.createdFiles) {
        const std::string upper = UpperAscii(file);
        bool allowed = false;
        for (const BackupFile& listed : m.files) {
            if (!listed.original.empty() && UpperAscii(listed.original) == upper) {
                allowed =
                    Read(machine, file) == Read(machine, backup->folder + "\\" + listed.stored);
            }
        }
        for (const std::string& folder : m.folders) {
            allowed = allowed || AtOrBelow(UpperAscii(folder), upper);
        }
        const std::string parent = Parent(upper);
        if (!allowed && (parent == windows + "\\INF" || parent == windows + "\\INF\\OTHER" ||
                         AtOrBelow(upper, windows + "\\SYSTEM32\\DRIVERSTORE"))) {
            // What Windows made when it staged a package: its INF holds a package's bytes.
            const std::string bytes = Read(machine, file);
            allowed = !m.packages.empty() && (packageInfs.count(bytes) != 0 || upper.size() < 4 ||
                                              upper.compare(upper.size() - 4, 4, ".INF") != 0);
        }
        if (!allowed) {
            Note("made a file the backup does not hold", file, &account);
        }
    }
    std::vector<std::string> keys;
    for (const BackupKey& key : m.keys) {
        keys.push_back(LowerAscii(key.path));
    }
    const auto keyAllowed = [&](const std::string& path) {
        for (const std::string& key : keys) {
            if (AtOrBelow(LowerAscii(path), key)) {
                return true;
            }
        }
        return false;
    };
    for (const std::string& key : changes.createdKeys) {
        if (!keyAllowed(key)) {
            Note("made a key the backup does not hold", key, &account);
        }
    }
    for (const std::string& value : changes.changedValues) {
        if (!keyAllowed(value.substr(0, value.find('\n')))) {
            Note("wrote a value the backup does not hold", value, &account);
        }
    }
    return account;
}

}  // namespace drvsweep::fuzz
