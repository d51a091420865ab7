#include "platform/win32/win32_files.h"

#include <utility>

#include "platform/win32/scoped_handle.h"
#include "platform/win32/whole_file.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

namespace {

// cFileName is a MAX_PATH array that Windows always terminates, so every name fits.
static_assert(sizeof(WIN32_FIND_DATAA::cFileName) == PathText::capacity());

void StoreFound(const WIN32_FIND_DATAA& data, FoundFile* entry) {
    entry->attributes = data.dwFileAttributes;
    entry->name.assign(data.cFileName);
}

class Win32FileSearch : public FileSearch {
public:
    explicit Win32FileSearch(ScopedFind search) : search_(std::move(search)) {}

    bool Next(FoundFile* entry) override {
        WIN32_FIND_DATAA data;
        if (!FindNextFileA(search_.get(), &data)) {
            return false;
        }
        StoreFound(data, entry);
        return true;
    }

private:
    ScopedFind search_;
};

}  // namespace

std::uint32_t Win32Files::WindowsFolder(char* path, std::uint32_t size) {
    return GetWindowsDirectoryA(path, size);
}

std::uint32_t Win32Files::CurrentFolder(char* path, std::uint32_t size) {
    return GetCurrentDirectoryA(size, path);
}

bool Win32Files::SetCurrentFolder(const char* path) {
    return SetCurrentDirectoryA(path) != FALSE;
}

std::unique_ptr<FileSearch> Win32Files::FindFirst(const char* pattern, FoundFile* first) {
    WIN32_FIND_DATAA data;
    ScopedFind search(FindFirstFileA(pattern, &data));
    if (!search.valid()) {
        return nullptr;
    }
    StoreFound(data, first);
    return std::make_unique<Win32FileSearch>(std::move(search));
}

bool Win32Files::SetAttributes(const char* path, std::uint32_t attributes) {
    return SetFileAttributesA(path, attributes) != FALSE;
}

bool Win32Files::RemoveFile(const char* path) {
    return DeleteFileA(path) != FALSE;
}

bool Win32Files::RemoveFolder(const char* path) {
    return RemoveDirectoryA(path) != FALSE;
}

bool Win32Files::DeleteAtRestart(const char* path) {
    return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

std::uint32_t Win32Files::ShortPath(const char* path, char* shortPath, std::uint32_t size) {
    return GetShortPathNameA(path, shortPath, size);
}

FileRead Win32Files::ReadWholeFile(const char* path, std::uint32_t maxBytes, std::string* bytes) {
    const ScopedFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.valid()) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::Missing
                                                                              : FileRead::Failed;
    }
    DWORD high = 0;
    const DWORD size = GetFileSize(file.get(), &high);
    if ((size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || size > maxBytes) {
        return FileRead::Failed;
    }
    std::string content(size, '\0');
    DWORD read = 0;
    if (size > 0 && (!ReadFile(file.get(), &content[0], size, &read, nullptr) || read != size)) {
        return FileRead::Failed;
    }
    *bytes = std::move(content);
    return FileRead::Read;
}

bool Win32Files::WriteWholeFile(const char* path, const std::string& bytes) {
    return WriteWholeFileA(path, bytes);
}

bool Win32Files::RenameFile(const char* from, const char* to) {
    return MoveFileA(from, to) != FALSE;
}

}  // namespace drvsweep::win32
