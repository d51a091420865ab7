#include "platform/win32/win32_program_hand_over.h"

#include <string>

#include "platform/win32/administrators_only_security.h"
#include "platform/win32/bound_function.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

Wow64Answer Win32ProgramHandOver::ProcessWow64State() {
    const auto isWow64Process =
        BoundFunction<decltype(IsWow64Process)>(GetModuleHandleA("kernel32.dll"), "IsWow64Process");
    if (isWow64Process == nullptr) {
        return Wow64Answer::FunctionMissing;
    }
    BOOL wow64 = FALSE;
    if (!isWow64Process(GetCurrentProcess(), &wow64)) {
        return Wow64Answer::CallFailed;
    }
    return wow64 ? Wow64Answer::Wow64 : Wow64Answer::NotWow64;
}

bool Win32ProgramHandOver::CarriedProgram(ProgramImage* image) {
    const HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(programResourceId_),
                                         MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (resource == nullptr) {
        return false;
    }
    const HGLOBAL loaded = LoadResource(nullptr, resource);
    const void* bytes = loaded == nullptr ? nullptr : LockResource(loaded);
    if (bytes == nullptr) {
        return false;
    }
    image->bytes = static_cast<const std::uint8_t*>(bytes);
    image->size = SizeofResource(nullptr, resource);
    return true;
}

bool Win32ProgramHandOver::TemporaryFolder(PathText* folder) {
    const DWORD length = GetTempPathA(static_cast<DWORD>(folder->capacity()), folder->data());
    if (length == 0 || length >= folder->capacity()) {
        folder->clear();
        return false;
    }
    return true;
}

std::uint32_t Win32ProgramHandOver::ProcessNumber() {
    return GetCurrentProcessId();
}

FolderCreation Win32ProgramHandOver::CreateNewFolder(const char* path) {
    // The 9x family keeps no security on folders: there the folder is made as any other.
    const bool nt = (GetVersion() & 0x80000000u) == 0;
    AdministratorsOnlySecurity security;
    if (nt && security.attributes() == nullptr) {
        return FolderCreation::Failed;
    }
    if (CreateDirectoryA(path, nt ? security.attributes() : nullptr)) {
        return FolderCreation::Created;
    }
    return GetLastError() == ERROR_ALREADY_EXISTS ? FolderCreation::AlreadyExists
                                                  : FolderCreation::Failed;
}

bool Win32ProgramHandOver::WriteNewFile(const char* path, const ProgramImage& image) {
    ScopedFile file(
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return false;
    }
    std::size_t written = 0;
    while (written < image.size) {
        const std::size_t left = image.size - written;
        const DWORD chunk = left > 0x100000 ? 0x100000 : static_cast<DWORD>(left);
        DWORD done = 0;
        if (!WriteFile(file.get(), image.bytes + written, chunk, &done, nullptr) || done == 0) {
            return false;
        }
        written += done;
    }
    return true;
}

bool Win32ProgramHandOver::HoldFile(const char* path) {
    *held_.receive() =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    return held_.valid();
}

const char* Win32ProgramHandOver::OwnCommandLine() {
    return GetCommandLineA();
}

namespace {

// An inheritable copy of one of this program's standard handles, or null when it has none.
ScopedKernelHandle InheritableStandardHandle(DWORD which) {
    const HANDLE own = GetStdHandle(which);
    HANDLE copy = nullptr;
    if (own == nullptr || own == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), own, GetCurrentProcess(), &copy, 0, TRUE,
                         DUPLICATE_SAME_ACCESS)) {
        copy = nullptr;
    }
    return ScopedKernelHandle(copy);
}

}  // namespace

ChildRun Win32ProgramHandOver::RunAndWait(const char* program, const char* commandLine) {
    STARTUPINFOA own{};
    own.cb = sizeof own;
    GetStartupInfoA(&own);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (own.dwFlags & STARTF_USESHOWWINDOW) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = own.wShowWindow;
    }
    // The child writes its command-line report where this program would have: the standard
    // handles that a fleet tool gives as pipes or files are passed on. Without them, this
    // program attaches to the console of the program that started it, so that the child's own
    // attachment to its parent's console reaches that console.
    const ScopedKernelHandle input = InheritableStandardHandle(STD_INPUT_HANDLE);
    const ScopedKernelHandle output = InheritableStandardHandle(STD_OUTPUT_HANDLE);
    const ScopedKernelHandle error = InheritableStandardHandle(STD_ERROR_HANDLE);
    const bool passHandles = output.valid() || error.valid();
    if (passHandles) {
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdInput = input.get();
        startup.hStdOutput = output.get();
        startup.hStdError = error.get();
    } else if (const auto attach = BoundFunction<BOOL WINAPI(DWORD)>(
                   GetModuleHandleA("kernel32.dll"), "AttachConsole")) {
        attach(ATTACH_PARENT_PROCESS);
    }
    // CreateProcessA may write into the command line, so it gets a copy of its own.
    std::string line = commandLine;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program, line.data(), nullptr, nullptr, passHandles ? TRUE : FALSE, 0,
                        nullptr, nullptr, &startup, &process)) {
        return {};
    }
    const ScopedKernelHandle thread(process.hThread);
    const ScopedKernelHandle child(process.hProcess);
    ChildRun run{true, false, 0};
    DWORD exitCode = 0;
    if (WaitForSingleObject(child.get(), INFINITE) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(child.get(), &exitCode)) {
        run.exitCodeRead = true;
        run.exitCode = exitCode;
    }
    return run;
}

bool Win32ProgramHandOver::DeleteOneFile(const char* path) {
    return DeleteFileA(path) != FALSE;
}

bool Win32ProgramHandOver::RemoveFolder(const char* path) {
    return RemoveDirectoryA(path) != FALSE;
}

void Win32ProgramHandOver::Pause(std::uint32_t milliseconds) {
    Sleep(milliseconds);
}

}  // namespace drvsweep::win32
