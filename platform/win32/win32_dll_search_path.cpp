#include "platform/win32/win32_dll_search_path.h"

#include "platform/win32/bound_function.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32, which MinGW declares only for Windows 8 and later.
constexpr DWORD kSearchSystem32 = 0x00000800;

using SetDefaultDllDirectoriesCall = BOOL WINAPI(DWORD);
using SetDllDirectoryCall = BOOL WINAPI(LPCSTR);

}  // namespace

ExportCall Win32DllSearchPath::SearchSystemFolderOnly() {
    const auto setDefault = BoundFunction<SetDefaultDllDirectoriesCall>(
        GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (setDefault == nullptr) {
        return ExportCall::Missing;
    }
    return setDefault(kSearchSystem32) ? ExportCall::Done : ExportCall::Failed;
}

ExportCall Win32DllSearchPath::LeaveCurrentFolderOut() {
    const auto setDirectory =
        BoundFunction<SetDllDirectoryCall>(GetModuleHandleA("kernel32.dll"), "SetDllDirectoryA");
    if (setDirectory == nullptr) {
        return ExportCall::Missing;
    }
    return setDirectory("") ? ExportCall::Done : ExportCall::Failed;
}

}  // namespace drvsweep::win32
