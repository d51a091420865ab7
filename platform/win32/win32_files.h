#pragma once

#include "platform/file_system.h"

namespace drvsweep::win32 {

// Files and folders through the ANSI kernel32 calls: GetWindowsDirectoryA,
// Get/SetCurrentDirectoryA, FindFirstFileA/FindNextFileA/FindClose, SetFileAttributesA,
// DeleteFileA and RemoveDirectoryA.
class Win32Files : public FileSystem {
public:
    std::uint32_t WindowsFolder(char* path, std::uint32_t size) override;
    std::uint32_t CurrentFolder(char* path, std::uint32_t size) override;
    bool SetCurrentFolder(const char* path) override;
    std::unique_ptr<FileSearch> FindFirst(const char* pattern, FoundFile* first) override;
    bool SetAttributes(const char* path, std::uint32_t attributes) override;
    bool RemoveFile(const char* path) override;
    bool RemoveFolder(const char* path) override;
};

}  // namespace drvsweep::win32
