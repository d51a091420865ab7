#pragma once

#include "platform/fixed_text.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

// An export looked up at run time, for functions that not every Windows the program runs on
// has: null when the module is null or lacks the export. Function is the function's own type,
// for example decltype(IsWow64Process), which keeps its calling convention; naming a function
// in decltype creates no import.
template <typename Function>
Function* BoundFunction(HMODULE module, const char* name) {
    if (module == nullptr) {
        return nullptr;
    }
    // GetProcAddress returns a generic function pointer; the cast through void (*)() is the one
    // that GCC accepts between unrelated function types.
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// A DLL of the system folder, loaded by its full path: a bare name would let a DLL of that name
// beside the program, in a download folder, be loaded instead. Null where the system has none.
// The module stays loaded for the rest of the process.
inline HMODULE LoadSystemLibrary(const char* fileName) {
    PathText path;
    const UINT length = GetSystemDirectoryA(path.data(), static_cast<UINT>(path.capacity()));
    if (length == 0 || length >= path.capacity() || !path.appendAll("\\", fileName)) {
        return nullptr;
    }
    return LoadLibraryA(path.c_str());
}

}  // namespace drvsweep::win32
