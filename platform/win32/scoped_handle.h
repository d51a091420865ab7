#pragma once

#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

// Owns one Win32 handle and closes it when it goes out of scope. Traits name the value that
// means "no handle" (it differs between handle kinds) and the call that closes one.
template <typename Handle, typename Traits>
class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle_(handle) {}
    ~ScopedHandle() { reset(); }

    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.handle_) {
        other.handle_ = Traits::Invalid();
    }
    ScopedHandle& operator=(ScopedHandle&&) = delete;

    Handle get() const { return handle_; }
    bool valid() const { return handle_ != Traits::Invalid(); }

    // Closes any handle held and gives the address for a call that returns a new one
    // through an out argument.
    Handle* receive() {
        reset();
        return &handle_;
    }

    void reset() {
        if (valid()) {
            Traits::Close(handle_);
        }
        handle_ = Traits::Invalid();
    }

private:
    Handle handle_ = Traits::Invalid();
};

struct RegistryKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY key) { RegCloseKey(key); }
};

struct FindTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE search) { FindClose(search); }
};

// Files opened with CreateFileA, for which failure leaves INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE file) { CloseHandle(file); }
};

// Kernel object handles such as access tokens, for which failure leaves a null handle.
struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};

// A DLL loaded for one use, freed when that use is over.
struct LibraryTraits {
    static HMODULE Invalid() { return nullptr; }
    static void Close(HMODULE module) { FreeLibrary(module); }
};

using ScopedKey = ScopedHandle<HKEY, RegistryKeyTraits>;
using ScopedFind = ScopedHandle<HANDLE, FindTraits>;
using ScopedFile = ScopedHandle<HANDLE, FileHandleTraits>;
using ScopedKernelHandle = ScopedHandle<HANDLE, KernelHandleTraits>;
using ScopedLibrary = ScopedHandle<HMODULE, LibraryTraits>;

}  // namespace drvsweep::win32
