#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace drvsweep {

// One item of the plan the backup was made for: its kind ("driverFile", "infPackage", ...),
// its path, and for a key its view ("native" or "wow32").
struct BackupItem {
    std::string kind;
    std::string path;
    std::string view;
};

// One file of the backup: where it is in the backup's folder, where it was (empty for a file
// kept only for a package's folder or the .reg file), its size and SHA-256.
struct BackupFile {
    std::string stored;
    std::string original;
    std::uint64_t size = 0;
    std::string sha256;
};

// A registry key of the backup, by the path its .reg file gives it.
struct BackupKey {
    std::string path;
    std::string view;
};

// A driver package of the backup: where Windows had its INF, and the folder of the backup that
// holds it (with the INF's name there), from which it is staged again.
struct BackupPackage {
    std::string infPath;
    std::string folder;
    std::string inf;
};

// What one backup holds. Every text is the system's ANSI bytes, in the code page recorded.
struct BackupManifest {
    std::string toolVersion;
    std::string created;  // ISO 8601, UTC
    std::string family;   // "nt" or "9x"
    std::uint32_t codePage = 0;
    int programBits = 0;
    std::string windowsFolder;
    std::string devicePath;
    std::string description;
    std::string scannerInf;
    std::string regFile;  // "" or the .reg file's name in the backup
    std::vector<BackupItem> items;
    std::vector<BackupFile> files;
    std::vector<std::string> folders;
    std::vector<BackupKey> keys;
    std::vector<BackupPackage> packages;
};

// The manifest as JSON, in ASCII alone: each byte from 0x80 up, and each control byte, is
// written as one \u00XX escape. The texts are ANSI bytes of the machine's code page, not
// Unicode; escaped byte by byte, a path reads back exactly, whatever the code page.
std::string ManifestToJson(const BackupManifest& manifest);

// Reads a manifest written so, strictly: a \u escape above 00FF or a byte from 0x80 up not
// escaped, a duplicate or missing member, a SHA-256 that is not 64 lower-case hex digits, a family
// other than "nt" or "9x", a view other than "native" or "wow32", nesting over 16 levels, over a
// million values or a text over 8 MB is refused with *error saying what. Members it does not know
// are passed over.
bool ManifestFromJson(const std::string& json, BackupManifest* manifest, std::string* error);

}  // namespace drvsweep
