#pragma once

#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

// The function `name` of `module`, looked up at run time so that the program still loads on
// systems that lack it; null where the module or the function is missing. A module that is
// not loaded yet is loaded and stays loaded for the rest of the process.
template <typename Function>
Function* BoundFunction(const char* module, const char* name) {
    HMODULE handle = GetModuleHandleA(module);
    if (handle == nullptr) {
        handle = LoadLibraryA(module);
    }
    if (handle == nullptr) {
        return nullptr;
    }
    // Through the generic function type, which every function pointer may be cast to and from.
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
}

}  // namespace drvsweep::win32
