#pragma once

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

}  // namespace drvsweep::win32
