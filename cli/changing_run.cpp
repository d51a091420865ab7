#include "cli/changing_run.h"

#include "cli/exit_codes.h"
#include "res/version.h"

namespace drvsweep::cli {

namespace {

std::string JoinedArguments(const std::vector<std::string>& arguments) {
    std::string joined;
    for (const std::string& argument : arguments) {
        joined += (joined.empty() ? "" : " ") + argument;
    }
    return joined;
}

}  // namespace

std::unique_ptr<RunLog> StartChangingRun(CommandLinePlatform& platform, const CommandLine& line,
                                         const std::vector<std::string>& arguments,
                                         const char* command, bool preview, int* exitCode) {
    Platform& system = platform.system;
    const Family family = CurrentFamily(system.version);
    if (!preview && family == Family::Nt && platform.facts.IsAdministrator() == AdminState::No) {
        platform.console.WriteError(std::string("DrvSweep: ") + command +
                                    " needs administrator rights; run it elevated or as "
                                    "SYSTEM.\r\n");
        *exitCode = kExitNotAdministrator;
        return nullptr;
    }
    const RunLockState lock = system.runLock.Take();
    if (lock == RunLockState::HeldElsewhere) {
        platform.console.WriteError("DrvSweep: another DrvSweep is running.\r\n");
        *exitCode = kExitAnotherRun;
        return nullptr;
    }
    const bool defaultLog = line.logFile.empty();
    auto log =
        std::make_unique<RunLog>(platform, defaultLog ? DefaultLogPath(system) : line.logFile);
    log->Open(defaultLog);
    log->Write(LogType::Info, std::string("DrvSweep ") + DRVSWEEP_VERSION_TEXT);
    log->Write(LogType::Info, "Command line: " + JoinedArguments(arguments));
    log->Write(LogType::Info,
               "User: " + platform.facts.UserName() + " on " + platform.facts.ComputerName());
    log->Write(LogType::Info, std::string("Family: ") + (family == Family::Nt ? "NT" : "9x") +
                                  ", program " + std::to_string(platform.facts.ProgramBits()) +
                                  "-bit" + (preview ? ", preview only (/whatif)" : ""));
    // A lock that could not be made at all is no other run's: the run goes on without it.
    if (lock == RunLockState::Unavailable) {
        log->Write(LogType::Warning, "The run lock could not be made; running without it");
    }
    return log;
}

}  // namespace drvsweep::cli
