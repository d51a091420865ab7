#include "platform/win32/win32_files.h"

#include <cstring>
#include <utility>

#include "platform/win32/administrators_only_security.h"
#include "platform/win32/bound_function.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/whole_file.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

namespace {

// From shlobj.h, which the lean Windows headers leave out.
constexpr int kCsidlCommonAppData = 0x23;
constexpr DWORD kShgfpTypeCurrent = 0;
using SHGetFolderPathCall = HRESULT WINAPI(HWND owner, int folder, HANDLE token, DWORD flags,
                                           LPSTR path);

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

bool Win32Files::MakeFolder(const char* path) {
    return CreateDirectoryA(path, nullptr) != FALSE;
}

bool Win32Files::MakeAdministratorsFolder(const char* path) {
    return MakeAdministratorsOnlyFolder(path);
}

// Windows 2000 and later have the call in shell32.dll; shfolder.dll brings it to older systems
// that got it with a redistributable.
std::uint32_t Win32Files::CommonAppDataFolder(char* path, std::uint32_t size) {
    auto getFolder =
        BoundFunction<SHGetFolderPathCall>(LoadSystemLibrary("shell32.dll"), "SHGetFolderPathA");
    if (getFolder == nullptr) {
        getFolder = BoundFunction<SHGetFolderPathCall>(LoadSystemLibrary("shfolder.dll"),
                                                       "SHGetFolderPathA");
    }
    PathText folder;
    if (getFolder == nullptr || getFolder(nullptr, kCsidlCommonAppData, nullptr, kShgfpTypeCurrent,
                                          folder.data()) != S_OK) {
        return 0;
    }
    folder.data()[folder.capacity() - 1] = '\0';
    const std::size_t length = folder.size();
    if (path == nullptr || length >= size) {
        return static_cast<std::uint32_t>(length + 1);
    }
    std::memcpy(path, folder.c_str(), length + 1);
    return static_cast<std::uint32_t>(length);
}

}  // namespace drvsweep::win32
