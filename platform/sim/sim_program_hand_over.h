#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/program_hand_over.h"
#include "platform/sim/sim_faults.h"

namespace drvsweep::sim {

struct ProgramRun {
    std::string program;
    std::string commandLine;
    std::string image;  // the program file's bytes when it was started
    bool held = false;  // whether the program file was held open when it was started
};

// The hand-over services of a simulated machine: folders and files of their own (paths
// compared as written), programs that "run" by being recorded and ending with a set exit code.
// It starts as a 32-bit Windows (NotWow64) whose program carries nothing, with the temporary
// folder "C:\Users\user\Temp\", process number 0x1a4 and the command line "\"C:\DrvSweep.exe\"".
//
// Faults, with the path as argument unless said: "IsWow64Process" (empty; the answer is then
// CallFailed), "GetTempPathA" (empty), "ConvertStringSecurityDescriptorToSecurityDescriptorA"
// (the folder's descriptor cannot be built), "CreateDirectoryA", "CreateFileA" (asked when
// writing, nothing written, and again when holding), "WriteFile" (half the bytes written),
// "CreateProcessA", "GetExitCodeProcess", "DeleteFileA" and "RemoveDirectoryA".
class SimProgramHandOver : public ProgramHandOver {
public:
    explicit SimProgramHandOver(SimFaults& faults) : faults_(faults) {}

    Wow64Answer ProcessWow64State() override;
    bool CarriedProgram(ProgramImage* image) override;
    bool TemporaryFolder(PathText* folder) override;
    std::uint32_t ProcessNumber() override { return processNumber_; }
    // Creates any folder whose parent is the temporary folder or a folder made before, and
    // records it as secured (administrators and SYSTEM only).
    FolderCreation CreateNewFolder(const char* path) override;
    // Writes into an existing folder only.
    bool WriteNewFile(const char* path, const ProgramImage& image) override;
    // Holds an existing file: while held it cannot be deleted, nor opened for writing.
    bool HoldFile(const char* path) override;
    void ReleaseHeldFile() override { held_.clear(); }
    const char* OwnCommandLine() override { return commandLine_.c_str(); }
    // Starts only a file that exists, as CreateProcessA does.
    ChildRun RunAndWait(const char* program, const char* commandLine) override;
    bool DeleteOneFile(const char* path) override;
    // Refuses a folder that still holds a file.
    bool RemoveFolder(const char* path) override;
    void Pause(std::uint32_t milliseconds) override { pauses_.push_back(milliseconds); }

    void SetWow64Answer(Wow64Answer answer) { wow64_ = answer; }
    void SetCarriedProgram(std::optional<std::string> image) { carried_ = std::move(image); }
    void SetTemporaryFolder(std::string folder) { temporary_ = std::move(folder); }
    void SetCommandLine(std::string commandLine) { commandLine_ = std::move(commandLine); }
    void SetChildExitCode(std::uint32_t exitCode) { childExitCode_ = exitCode; }
    // A folder some other program made: CreateNewFolder answers AlreadyExists for it.
    void AddForeignFolder(const std::string& path) { folders_.insert(path); }

    // Another program's CreateFileA(GENERIC_WRITE, OPEN_EXISTING) of a file: refused while
    // the file is held, as the sharing of the held handle refuses it.
    bool AnotherPartyCanWrite(const std::string& path) const {
        return files_.count(path) != 0 && held_ != path;
    }

    const std::set<std::string>& folders() const { return folders_; }
    // The folders CreateNewFolder made with their administrators-only descriptor.
    const std::set<std::string>& securedFolders() const { return securedFolders_; }
    const std::map<std::string, std::string>& files() const { return files_; }
    const std::vector<ProgramRun>& runs() const { return runs_; }
    const std::vector<std::uint32_t>& pauses() const { return pauses_; }

private:
    bool Fails(const char* call, const std::string& argument);
    static std::string ParentOf(const std::string& path);

    SimFaults& faults_;
    Wow64Answer wow64_ = Wow64Answer::NotWow64;
    std::optional<std::string> carried_;
    std::string temporary_ = "C:\\Users\\user\\Temp\\";
    std::uint32_t processNumber_ = 0x1a4;
    std::string commandLine_ = "\"C:\\DrvSweep.exe\"";
    std::uint32_t childExitCode_ = 0;
    std::set<std::string> folders_;
    std::set<std::string> securedFolders_;
    std::string held_;
    std::map<std::string, std::string> files_;
    std::vector<ProgramRun> runs_;
    std::vector<std::uint32_t> pauses_;
};

}  // namespace drvsweep::sim
