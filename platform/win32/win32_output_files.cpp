#include "platform/win32/win32_output_files.h"

#include "platform/win32/administrators_only_security.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/whole_file.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

bool Win32OutputFiles::WriteWholeFile(const char* path, const std::string& bytes) {
    return WriteWholeFileA(path, bytes);
}

bool Win32OutputFiles::AppendToFile(const char* path, const std::string& bytes) {
    const ScopedFile file(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() ||
        SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER) {
        return false;
    }
    return WriteAll(file.get(), bytes);
}

std::int64_t Win32OutputFiles::FileSize(const char* path) {
    const ScopedFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.valid()) {
        return -1;
    }
    DWORD high = 0;
    const DWORD low = GetFileSize(file.get(), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        return -1;
    }
    return (static_cast<std::int64_t>(high) << 32) | low;
}

bool Win32OutputFiles::MoveReplacing(const char* from, const char* to) {
    DeleteFileA(to);
    return MoveFileA(from, to) != FALSE;
}

bool Win32OutputFiles::RemoveOutputFile(const char* path) {
    return DeleteFileA(path) != FALSE;
}

bool Win32OutputFiles::MakeAdministratorsFolder(const char* path) {
    return MakeAdministratorsOnlyFolder(path);
}

}  // namespace drvsweep::win32
