#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/fixed_text.h"

namespace drvsweep {

// One entry of a folder listing as FindFirstFileA/FindNextFileA report it.
struct FoundFile {
    std::uint32_t attributes = 0;
    PathText name;  // the bare name, relative to the folder listed
};

// A running folder listing; destroying it ends the search (FindClose).
class FileSearch {
public:
    virtual ~FileSearch() = default;

    // FindNextFileA: false when no entry is left.
    virtual bool Next(FoundFile* entry) = 0;
};

// What ReadWholeFile found.
enum class FileRead { Read, Missing, Failed };

// Files and folders. Relative paths resolve against the process's one working directory.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // GetWindowsDirectoryA: the length stored (without NUL) when it fits in size bytes,
    // otherwise the size needed, or 0 on failure.
    virtual std::uint32_t WindowsFolder(char* path, std::uint32_t size) = 0;

    // GetCurrentDirectoryA, answered the same way as WindowsFolder.
    virtual std::uint32_t CurrentFolder(char* path, std::uint32_t size) = 0;

    // SetCurrentDirectoryA.
    virtual bool SetCurrentFolder(const char* path) = 0;

    // FindFirstFileA: null when nothing matches or the listing cannot start; otherwise
    // the first entry is stored in *first.
    virtual std::unique_ptr<FileSearch> FindFirst(const char* pattern, FoundFile* first) = 0;

    // SetFileAttributesA, DeleteFileA, RemoveDirectoryA.
    virtual bool SetAttributes(const char* path, std::uint32_t attributes) = 0;
    virtual bool RemoveFile(const char* path) = 0;
    virtual bool RemoveFolder(const char* path) = 0;

    // MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT): Windows deletes the file, or the
    // folder if it is empty by then, when the computer restarts. The NT family only: the 9x
    // family exports the call and fails it.
    virtual bool DeleteAtRestart(const char* path) = 0;

    // GetShortPathNameA, answered the same way as WindowsFolder; the entry must exist.
    virtual std::uint32_t ShortPath(const char* path, char* shortPath, std::uint32_t size) = 0;

    // The whole content of a file of at most maxBytes bytes. Missing only when the file (or a
    // folder on its way) does not exist; a larger file, a folder or a read error is Failed.
    // *bytes is left as it was unless the answer is Read.
    virtual FileRead ReadWholeFile(const char* path, std::uint32_t maxBytes,
                                   std::string* bytes) = 0;

    // Creates the file, or empties the one there, and writes the bytes; false when any of them
    // could not be written.
    virtual bool WriteWholeFile(const char* path, const std::string& bytes) = 0;

    // MoveFileA: renames a file or a folder (within one volume); false when an entry of the
    // new name exists.
    virtual bool RenameFile(const char* from, const char* to) = 0;

    // CreateDirectoryA(path, NULL): false when the folder could not be made, an entry of that
    // name being there already among the causes. The folder above must exist.
    virtual bool MakeFolder(const char* path) = 0;

    // CreateDirectoryA with a security descriptor of its own: owner Administrators and a
    // protected DACL giving full control to Administrators and SYSTEM alone, inherited by what
    // the folder holds. True also when the folder is already there, whatever protects it; false,
    // with nothing made, when the descriptor cannot be built (the 9x family has none).
    virtual bool MakeAdministratorsFolder(const char* path) = 0;

    // SHGetFolderPathA(NULL, CSIDL_COMMON_APPDATA, NULL, SHGFP_TYPE_CURRENT, path) of
    // shell32.dll, else of shfolder.dll, both bound at run time: the application data folder
    // of all users (%ProgramData% from Vista on, "All Users\Application Data" on XP and 2000).
    // Answered as WindowsFolder, with 0 where neither has the call or it fails.
    virtual std::uint32_t CommonAppDataFolder(char* path, std::uint32_t size) = 0;
};

}  // namespace drvsweep
