#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "cli/command_runner.h"
#include "discovery/scanner_table.h"
#include "fuzz/fuzz_run.h"
#include "fuzz/step_checks.h"
#include "platform/sim/sim_console.h"
#include "platform/sim/sim_output_files.h"
#include "platform/sim/sim_process_jobs.h"
#include "platform/sim/sim_run_facts.h"

namespace drvsweep::fuzz {

namespace {

// The run's log goes to a file of its own in the root of drive C:, which the oracle takes off the
// machine before it compares; its backups go to a folder of their own, the one place where the
// run may create anything else.
constexpr const char* kLogPath = "C:\\drvsweep-fuzz.log";
constexpr const char* kBackupRoot = "C:\\DrvSweepBackups";

bool SameDevicePath(std::string a, std::string b) {
    const auto lower = [](std::string& text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    };
    lower(a);
    lower(b);
    return a == b;
}

}  // namespace

void DriveCommandLine(FuzzInput& input, FuzzMachine& machine) {
    Platform& platform = machine.windows.platform();
    // One table for every run, as in DriveBuiltInRemoval.
    static const auto table = std::make_unique<ScannerTable>();
    // The scanners the run may remove are the ones a scan finds with no fault striking: the
    // run's own scan, under the machine's faults, may find fewer but must never reach more.
    Checkpoint checkpoint = TakeCheckpoint(machine);
    machine.windows.faults().Clear();
    ScanInstalledScanners(platform, *table);
    checkpoint = CheckScan(machine, checkpoint, *table);

    // `/remove all`, or one scanner's devicePath in another letter case, or a devicePath that
    // no scanner has; with or without /whatif, which may delete nothing at all.
    std::string target = "all";
    const std::size_t choice = input.Below(static_cast<std::size_t>(table->lastIndex) + 3);
    if (choice == 1) {
        target = "USB\\VID_0C6E&PID_FFFF";
    } else if (choice >= 2) {
        target = table->rows[choice - 2].devicePath.c_str();
        std::transform(target.begin(), target.end(), target.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    }
    const bool whatIf = input.Flag();
    ScannerItems allowed;
    for (std::int32_t i = 0; i <= table->lastIndex && !whatIf; ++i) {
        if (target == "all" || SameDevicePath(target, table->rows[i].devicePath.c_str())) {
            Merge(ItemsOf(machine, table->rows[i]), &allowed);
        }
    }
    // The run's own scan may miss a device under the faults and list its package as a driver
    // without a device, under the device's own hardware ID.
    if (!whatIf) {
        Merge(MakerPackageItems(machine), &allowed);
        allowed.writableTrees.push_back(UpperAscii(kBackupRoot));
    }

    for (const sim::FaultRule& rule : machine.faults) {
        machine.windows.faults().Add(rule);
    }

    sim::SimConsole console;
    sim::SimOutputFiles outputFiles{machine.windows.faults(), machine.windows.files()};
    sim::SimRunFacts facts{machine.windows.version()};
    sim::SimProcessJobs jobs;
    cli::CommandLinePlatform cliPlatform{platform, console, outputFiles, facts, jobs};
    const std::string arguments = "/remove \"" + target + "\" /quiet /norestart /backupdir " +
                                  kBackupRoot + " /log " + kLogPath + (whatIf ? " /whatif" : "");
    cli::RunCommandLine(cliPlatform, arguments.c_str());
    machine.windows.files().Erase(kLogPath);
    CheckStep(machine, checkpoint, &allowed, "the command line " + arguments, nullptr);
}

}  // namespace drvsweep::fuzz
