#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/fixed_text.h"

namespace drvsweep {

// What IsWow64Process answers about the own process, or that kernel32 has no such function
// (98, ME, 2000 and XP before SP2 have none) or that the call failed.
enum class Wow64Answer { FunctionMissing, CallFailed, NotWow64, Wow64 };

// The bytes of a program carried as a resource, borrowed from the loaded image.
struct ProgramImage {
    const std::uint8_t* bytes = nullptr;
    std::size_t size = 0;
};

enum class FolderCreation { Created, AlreadyExists, Failed };

// How a started program ended: whether it started at all and, when it did, its exit code,
// if that could be read.
struct ChildRun {
    bool started = false;
    bool exitCodeRead = false;
    std::uint32_t exitCode = 0;
};

// What the x86 program needs to hand its run over to the x86-64 program it carries: the
// process's WOW64 state, the carried program, a folder of its own in the user's temporary
// folder, and starting and waiting for a program.
class ProgramHandOver {
public:
    virtual ~ProgramHandOver() = default;

    // IsWow64Process(GetCurrentProcess()), looked up in kernel32 at run time.
    virtual Wow64Answer ProcessWow64State() = 0;

    // The program resource (RCDATA): false when the program carries none.
    virtual bool CarriedProgram(ProgramImage* image) = 0;

    // GetTempPathA: the user's temporary folder, ending in a backslash; false when it cannot
    // be read or does not fit.
    virtual bool TemporaryFolder(PathText* folder) = 0;

    // A number that differs between processes running at the same time (the process id), for
    // folder names.
    virtual std::uint32_t ProcessNumber() = 0;

    // CreateDirectoryA with a security descriptor of its own: owner Administrators and a
    // protected DACL (nothing inherited) that gives full control to Administrators and SYSTEM,
    // inherited by what the folder holds, and nothing to anyone else. Failed, with nothing
    // created, when the descriptor cannot be built; a folder that exists already is never
    // taken over.
    virtual FolderCreation CreateNewFolder(const char* path) = 0;

    // CreateFileA(CREATE_NEW) and WriteFile of every byte: false when the file existed or
    // could not be written whole.
    virtual bool WriteNewFile(const char* path, const ProgramImage& image) = 0;

    // CreateFileA(GENERIC_READ, FILE_SHARE_READ): opens the file again and keeps it open until
    // ReleaseHeldFile, so that nobody can write, replace or delete it while it can still be
    // started. False when it cannot be opened. One file is held at a time.
    virtual bool HoldFile(const char* path) = 0;
    virtual void ReleaseHeldFile() = 0;

    // GetCommandLineA: the own command line, program name first.
    virtual const char* OwnCommandLine() = 0;

    // CreateProcessA(program, commandLine) in the own working directory and with the own
    // window show state, then WaitForSingleObject until it ends and GetExitCodeProcess.
    virtual ChildRun RunAndWait(const char* program, const char* commandLine) = 0;

    // DeleteFileA, RemoveDirectoryA and Sleep.
    virtual bool DeleteOneFile(const char* path) = 0;
    virtual bool RemoveFolder(const char* path) = 0;
    virtual void Pause(std::uint32_t milliseconds) = 0;
};

}  // namespace drvsweep
