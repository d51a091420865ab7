#pragma once

#include <cstdint>
#include <memory>

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
};

}  // namespace drvsweep
