#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/restart_deletion.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_version.h"
#include "platform/win32_codes.h"

namespace drvsweep::sim {

constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFF;

constexpr long kErrorSharingViolation = 32;
constexpr long kErrorCallNotImplemented = 120;
constexpr long kErrorDirNotEmpty = 145;
constexpr long kErrorAlreadyExists = 183;
constexpr long kErrorFilenameExcedRange = 206;
constexpr long kErrorDirectory = 267;

// The simulated files and folders: drives, folders and files with an attribute word each,
// names compared without case and kept in the case they were created with, one process
// working directory (initially "C:\") and the Windows folder (initially "C:\windows").
//
// Paths resolve as Windows resolves them: absolute ("C:\a"), rooted ("\a", on the working
// directory's drive) or relative to the working directory; "/" is a separator too, doubled
// separators collapse, "." and ".." apply (never above the drive), and trailing dots and
// blanks of every component are dropped ("C:\a.\b " is "C:\a\b"). A resolved path keeps the
// case the caller wrote, so the working directory reads back as it was set.
//
// Failing calls leave the Win32 error in lastError(): 2 for a missing entry, 3 for a missing
// folder on the way, 5 for a read-only file or a folder given to DeleteFileA, 32 for an entry
// in use, 120 for a call the 9x family does not implement, 145 for a folder that is not empty,
// 183 for a name that is taken, 206 for a name too long and 267 for a file given as a folder.
//
// Entries in use are held open by another process without delete sharing: they can be read,
// but not deleted, written or renamed, and a folder that holds one is not empty.
class SimFileTree : public FileSystem {
public:
    // Paths are split at the backslashes that are characters of their own in the machine's
    // ANSI code page, as Windows splits them once it has read them as Unicode. Deletions at the
    // restart go into the registry, as Windows keeps them.
    SimFileTree(SimFaults& faults, const SimVersion& version, SimRegistry& registry);
    ~SimFileTree() override;
    SimFileTree(const SimFileTree&) = delete;
    SimFileTree& operator=(const SimFileTree&) = delete;

    // Faults, each named after the Win32 call with the resolved path or pattern:
    // "GetWindowsDirectoryA" and "GetCurrentDirectoryA" (empty argument) answer 0 then.
    std::uint32_t WindowsFolder(char* path, std::uint32_t size) override;
    std::uint32_t CurrentFolder(char* path, std::uint32_t size) override;
    bool SetCurrentFolder(const char* path) override;

    // Lists the names matching the pattern's last component as MatchesFilePattern matches them
    // (short names included). "." and ".." come first in every folder but a drive's root, the
    // other names in upper-case order, as Wine lists them. The listing is taken whole when the
    // search starts; changes made during the search do not show. A pattern ending in a
    // separator matches nothing. "FindNextFileA" faults end the listing; ending the search
    // logs "FindClose".
    std::unique_ptr<FileSearch> FindFirst(const char* pattern, FoundFile* first) override;

    // SetFileAttributesA as Wine stores the word, which the contract tests compare with: the
    // hidden and system bits are kept, a file always reads FILE_ATTRIBUTE_ARCHIVE and keeps
    // read-only (read-only alone reads 0x21, 0 or FILE_ATTRIBUTE_NORMAL reads 0x20), and a
    // folder reads FILE_ATTRIBUTE_DIRECTORY without archive or read-only (0x20 on it reads
    // 0x10). Windows would store 0x01, 0x80 and 0x30 for those; the logic never relies on
    // either.
    bool SetAttributes(const char* path, std::uint32_t attributes) override;

    // DeleteFileA: refuses folders and read-only files (5) and files in use (32).
    bool RemoveFile(const char* path) override;

    // RemoveDirectoryA: refuses files (267), folders that are not empty (145), read-only
    // folders and drive roots (5), folders in use and the working directory itself (32, as
    // Windows and Wine refuse the folder some process is in; a folder above it is not empty).
    bool RemoveFolder(const char* path) override;

    // MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT): on the NT family appends the
    // resolved path, as "\??\<path>" followed by an empty new name, to the REG_MULTI_SZ value
    // PendingFileRenameOperations of kSessionManagerKey (creating it), as Windows and Wine do;
    // like Wine it does not look whether the entry exists. The 9x family fails it (120).
    bool DeleteAtRestart(const char* path) override;

    // GetShortPathNameA: the drive as written and each name's short name (ShortFileName), or the
    // name itself where it is its own; 2 or 3 for a missing entry.
    std::uint32_t ShortPath(const char* path, char* shortPath, std::uint32_t size) override;

    // Faults "ReadFile" (reading), "WriteFile" (creating or emptying, then writing) and
    // "MoveFileA" (from path). Writing refuses folders, read-only, hidden or system files
    // (5, as CreateFileA with FILE_ATTRIBUTE_NORMAL does) and files in use (32); a written file
    // reads FILE_ATTRIBUTE_ARCHIVE. A "WriteFile" rule whose argument is a folder's path fails
    // every write below it: code 5 for a folder that refuses writes, 112 for a full disk. Renaming
    // moves a file or a folder with what it holds, and refuses a taken name (183), a folder into
    // itself (5) and entries in use, the working directory and the folders above it among them
    // (32).
    FileRead ReadWholeFile(const char* path, std::uint32_t maxBytes, std::string* bytes) override;
    bool WriteWholeFile(const char* path, const std::string& bytes) override;
    bool RenameFile(const char* from, const char* to) override;

    // "CreateDirectoryA" with the path: refuses a taken name (183) and a missing folder above
    // (3). MakeAdministratorsFolder asks the faults about
    // "ConvertStringSecurityDescriptorToSecurityDescriptorA" with the path first, fails on the
    // 9x family (120) with nothing made, and records the folders it makes in securedFolders().
    bool MakeFolder(const char* path) override;
    bool MakeAdministratorsFolder(const char* path) override;

    // "SHGetFolderPathA" (empty argument) answers 0 then; so does a machine that has no such
    // folder (SetCommonAppDataFolder with an empty path).
    std::uint32_t CommonAppDataFolder(char* path, std::uint32_t size) override;

    // The error of the last call above that failed, as GetLastError would give it.
    long lastError() const { return lastError_; }

    // Searches started and not yet ended.
    int openSearchCount() const;

    // Helpers for tests and loaders: no faults, no Windows rules. Missing folders on the way
    // are created; false for a path that does not resolve or that runs through a file.
    bool AddFolder(const std::string& path, std::uint32_t attributes = kFileAttributeDirectory);
    bool AddFile(const std::string& path, const std::string& bytes = "",
                 std::uint32_t attributes = kFileAttributeArchive);
    bool Exists(const std::string& path) const;
    // Takes a file, or a folder with everything in it, off the tree as a system component
    // does that works below the file calls; false when nothing is there. A drive stays.
    bool Erase(const std::string& path);
    // The attribute word, or kInvalidFileAttributes for a missing entry.
    std::uint32_t Attributes(const std::string& path) const;
    // Stores the word exactly as given.
    bool SetRawAttributes(const std::string& path, std::uint32_t attributes);
    // The names in a folder in listing order, without "." and "..".
    std::vector<std::string> ListNames(const std::string& folder) const;
    // Every drive, folder and file, each folder before what it holds: its full path in the case
    // the names were created with ("C:", "C:\\windows"), whether it is a folder, its attribute
    // word, its size in bytes and whether it is in use.
    using EntryVisitor =
        std::function<void(const std::string& path, bool folder, std::uint32_t attributes,
                           std::size_t size, bool inUse)>;
    void VisitEntries(const EntryVisitor& visit) const;
    // How many calls so far could have changed an entry or its attributes (made or refused):
    // equal counts mean an unchanged tree.
    long changeCount() const { return changes_; }
    // A whole file; false for a missing file or a folder.
    bool ReadFile(const std::string& path, std::string* bytes) const;
    // Marks an entry in use by another process (held open without delete sharing), or no
    // longer.
    void SetInUse(const std::string& path, bool inUse);
    // The text GetWindowsDirectoryA gives; the folder itself is not created.
    void SetWindowsFolder(const std::string& path) { windowsFolder_ = path; }
    const std::string& windowsFolder() const { return windowsFolder_; }
    const std::string& currentFolder() const { return currentFolder_; }
    // The text SHGetFolderPathA gives for CSIDL_COMMON_APPDATA, empty where the call is missing;
    // the folder itself is not created.
    void SetCommonAppDataFolder(const std::string& path) { commonAppDataFolder_ = path; }
    // The folders MakeAdministratorsFolder made, as resolved paths.
    const std::vector<std::string>& securedFolders() const { return securedFolders_; }
    // Copies a folder tree of the host into the folder, which is created when it is missing,
    // the host's UTF-8 names turned into the ANSI code page; false with *error when a host
    // entry cannot be read, a name has no form in the code page or two differ only in case.
    bool MapHostFolder(const std::string& hostFolder, const std::string& folder,
                       std::string* error);

    // What the file tree shares with its searches, so that a search can count itself ended.
    struct State;

private:
    struct Entry;
    struct Resolved;
    bool Resolve(const std::string& path, Resolved* resolved) const;
    Entry* Find(const Resolved& resolved) const;
    Entry* FindParent(const Resolved& resolved) const;
    Entry* Create(const Resolved& resolved, bool folder);
    bool Fail(long error);
    // Resolves the path and asks the faults about the call (with the resolved path, or the
    // path as given when it does not resolve); false, with lastError() set, when either fails.
    bool BeginCall(const char* call, const char* path, Resolved* resolved);
    long MissingError(const Resolved& resolved) const;

    std::shared_ptr<State> state_;
    const SimVersion& version_;
    SimRegistry& registry_;
    std::unique_ptr<Entry> drives_;
    std::string currentFolder_ = "C:\\";
    std::string windowsFolder_ = "C:\\windows";
    std::string commonAppDataFolder_ = "C:\\Documents and Settings\\All Users\\Application Data";
    std::vector<std::string> securedFolders_;
    long lastError_ = 0;
    long changes_ = 0;
};

}  // namespace drvsweep::sim
