#pragma once

#include "platform/output_files.h"

namespace drvsweep::win32 {

// CreateFileA, WriteFile, GetFileSize, MoveFileA, DeleteFileA and CreateDirectoryA: calls that
// the 9x family has too (MoveFileExA it has not, so a replacing move deletes the target first).
class Win32OutputFiles : public OutputFiles {
public:
    bool WriteWholeFile(const char* path, const std::string& bytes) override;
    bool AppendToFile(const char* path, const std::string& bytes) override;
    std::int64_t FileSize(const char* path) override;
    bool MoveReplacing(const char* from, const char* to) override;
    bool RemoveOutputFile(const char* path) override;
    bool MakeAdministratorsFolder(const char* path) override;
};

}  // namespace drvsweep::win32
