#pragma once

#include <cstdint>

#include "platform/program_hand_over.h"
#include "platform/win32/scoped_handle.h"

namespace drvsweep::win32 {

// The hand-over services of the real Windows, in the ANSI functions that every Windows of
// the x86 program exports. The carried program is the RCDATA resource of the given id in the
// program's own image.
class Win32ProgramHandOver : public ProgramHandOver {
public:
    explicit Win32ProgramHandOver(std::uint16_t programResourceId)
        : programResourceId_(programResourceId) {}

    Wow64Answer ProcessWow64State() override;
    bool CarriedProgram(ProgramImage* image) override;
    bool TemporaryFolder(PathText* folder) override;
    std::uint32_t ProcessNumber() override;
    FolderCreation CreateNewFolder(const char* path) override;
    bool WriteNewFile(const char* path, const ProgramImage& image) override;
    bool HoldFile(const char* path) override;
    void ReleaseHeldFile() override { held_.reset(); }
    const char* OwnCommandLine() override;
    ChildRun RunAndWait(const char* program, const char* commandLine) override;
    bool DeleteOneFile(const char* path) override;
    bool RemoveFolder(const char* path) override;
    void Pause(std::uint32_t milliseconds) override;

private:
    std::uint16_t programResourceId_;
    ScopedFile held_;
};

}  // namespace drvsweep::win32
