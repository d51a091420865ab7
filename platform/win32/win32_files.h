#pragma once

#include "platform/file_system.h"

namespace drvsweep::win32 {

// Files and folders through the ANSI kernel32 calls: GetWindowsDirectoryA,
// Get/SetCurrentDirectoryA, FindFirstFileA/FindNextFileA/FindClose, SetFileAttributesA,
// DeleteFileA, RemoveDirectoryA, MoveFileExA, GetShortPathNameA, CreateFileA with ReadFile or
// WriteFile, MoveFileA and CreateDirectoryA; SHGetFolderPathA of shell32.dll or shfolder.dll,
// bound at run time.
class Win32Files : public FileSystem {
public:
    std::uint32_t WindowsFolder(char* path, std::uint32_t size) override;
    std::uint32_t CurrentFolder(char* path, std::uint32_t size) override;
    bool SetCurrentFolder(const char* path) override;
    std::unique_ptr<FileSearch> FindFirst(const char* pattern, FoundFile* first) override;
    bool SetAttributes(const char* path, std::uint32_t attributes) override;
    bool RemoveFile(const char* path) override;
    bool RemoveFolder(const char* path) override;
    bool DeleteAtRestart(const char* path) override;
    std::uint32_t ShortPath(const char* path, char* shortPath, std::uint32_t size) override;
    FileRead ReadWholeFile(const char* path, std::uint32_t maxBytes, std::string* bytes) override;
    bool WriteWholeFile(const char* path, const std::string& bytes) override;
    bool RenameFile(const char* from, const char* to) override;
    bool MakeFolder(const char* path) override;
    bool MakeAdministratorsFolder(const char* path) override;
    std::uint32_t CommonAppDataFolder(char* path, std::uint32_t size) override;
};

}  // namespace drvsweep::win32
