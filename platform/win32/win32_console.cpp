#include "platform/win32/win32_console.h"

#include <string>

#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

namespace {

constexpr DWORD kAttachParentProcess = static_cast<DWORD>(-1);

// The parent's console, attached once; its output handle, or null when there is none.
HANDLE ParentConsole() {
    static HANDLE console = [] {
        using AttachConsoleCall = BOOL(WINAPI*)(DWORD);
        const HMODULE kernel = GetModuleHandleA("kernel32.dll");
        const auto attach = reinterpret_cast<AttachConsoleCall>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "AttachConsole")));
        if (attach == nullptr || !attach(kAttachParentProcess)) {
            return static_cast<HANDLE>(nullptr);
        }
        const HANDLE output =
            CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, 0, nullptr);
        return output == INVALID_HANDLE_VALUE ? static_cast<HANDLE>(nullptr) : output;
    }();
    return console;
}

// WriteConsoleW is bound at run time: the 9x family's kernel32 need not have it, and there the
// console gets the bytes.
bool WriteToConsole(HANDLE console, const std::string& utf8) {
    using WriteConsoleCall = BOOL(WINAPI*)(HANDLE, const void*, DWORD, LPDWORD, LPVOID);
    const auto write = reinterpret_cast<WriteConsoleCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "WriteConsoleW")));
    if (write == nullptr) {
        return false;
    }
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (length <= 0) {
        return false;
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
    DWORD written = 0;
    return write(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != FALSE;
}

bool WriteTo(DWORD standardHandle, const std::string& utf8) {
    HANDLE handle = GetStdHandle(standardHandle);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        handle = ParentConsole();
    }
    if (handle == nullptr) {
        return false;
    }
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode) && WriteToConsole(handle, utf8)) {
        return true;
    }
    DWORD written = 0;
    return WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) &&
           written == utf8.size();
}

}  // namespace

bool Win32Console::WriteOutput(const std::string& utf8) {
    return WriteTo(STD_OUTPUT_HANDLE, utf8);
}

bool Win32Console::WriteError(const std::string& utf8) {
    return WriteTo(STD_ERROR_HANDLE, utf8);
}

}  // namespace drvsweep::win32
