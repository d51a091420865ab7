#include "cli/command_runner.h"

#include <memory>
#include <string>
#include <vector>

#include "cli/backup_commands.h"
#include "cli/changing_run.h"
#include "cli/command_line.h"
#include "cli/exit_codes.h"
#include "cli/run_log.h"
#include "cli/run_report.h"
#include "cli/utf_text.h"
#include "discovery/inf_index.h"
#include "discovery/scanner_table.h"
#include "platform/iso_time.h"
#include "removal/backup_place.h"
#include "removal/device_nodes_nt.h"
#include "removal/item_probe.h"
#include "removal/removal_plan.h"
#include "removal/restore_point.h"
#include "removal/scanner_removal.h"
#include "removal/scanner_row.h"
#include "removal/system_restart.h"
#include "removal/vendor_uninstaller.h"
#include "res/version.h"

namespace drvsweep::cli {

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr char kNoDesktopNote[] =
    "its uninstaller is interactive and no one could see its window (no interactive desktop)";

// One run of /list or /remove over the machine.
class Run {
public:
    Run(CommandLinePlatform& platform, const CommandLine& line)
        : platform_(platform), system_(platform.system), line_(line) {}

    int List() {
        ScanInstalledScanners(system_, *table_, index_);
        RunReport report = NewReport("list");
        for (std::int32_t i = 0; i <= table_->lastIndex; ++i) {
            const ScannerRecord& scanner = table_->rows[i];
            report.scanners.push_back(Describe(scanner, planner_.Plan(scanner)));
        }
        report.exitCode = report.scanners.empty() ? kExitDone : kExitScannersFound;
        return Finish(report);
    }

    int Remove(RunLog& log) {
        log_ = &log;
        RunReport report = NewReport("remove");
        report.whatIf = line_.whatIf;
        report.logPath = log.path();
        ScanInstalledScanners(system_, *table_, index_);
        log.Write(LogType::Info, "Scanners found: " + std::to_string(table_->lastIndex + 1));
        const std::vector<ScannerRecord> targets = Targets();
        const bool acting = !line_.whatIf && !targets.empty();
        if (acting) {
            PrepareWayBack();
        }
        std::vector<RemovedScanner> removals;
        for (const ScannerRecord& scanner : targets) {
            RemovedScanner removal;
            removal.report = RemoveOne(scanner, &removal.stillFound);
            removals.push_back(removal);
        }
        if (acting) {
            LogRestorePoint(restorePoint_.End());
            ConfirmResults(removals);
        }
        for (const RemovedScanner& removal : removals) {
            report.scanners.push_back(removal.report);
        }
        report.scanners.insert(report.scanners.end(), notFound_.begin(), notFound_.end());
        for (const ScannerReport& scanner : report.scanners) {
            report.removed += scanner.result == ScannerResult::Removed ? 1 : 0;
            report.pendingRestart += scanner.result == ScannerResult::PendingRestart ? 1 : 0;
            report.remaining += scanner.result == ScannerResult::Remaining ? 1 : 0;
        }
        // Only what Windows said finishes at the restart, or what is set to go then, asks for
        // one: a removal that finished now leaves nothing for a restart to do.
        const bool restartNeeded = restartNeeded_ || report.pendingRestart > 0;
        report.exitCode = report.remaining > 0 ? kExitFailed
                          : restartNeeded      ? kExitRestartNeeded
                                               : kExitDone;
        report.restart = report.exitCode == kExitRestartNeeded ? "required" : "none";
        Restart(report);
        const std::string summary = SummaryLine(report);
        log.Write(report.exitCode == kExitFailed ? LogType::Error : LogType::Info,
                  "Summary: " + summary.substr(0, summary.size() - 2));
        return Finish(report);
    }

private:
    // One scanner's removal: its report, and whether the presence test still found it after.
    struct RemovedScanner {
        ScannerReport report;
        bool stillFound = false;
    };

    // The run's way back, before its first removal: a System Restore point (unless
    // /norestorepoint) and the folder of backups (unless /nobackup).
    void PrepareWayBack() {
        if (line_.noRestorePoint) {
            log_->Write(LogType::Info, "No restore point: /norestorepoint was given");
        } else {
            LogRestorePoint(restorePoint_.Begin());
        }
        backup_.toolVersion = DRVSWEEP_VERSION_TEXT;
        if (line_.noBackup) {
            backup_.make = false;
            log_->Write(LogType::Warning,
                        "No backup: /nobackup was given; what is removed "
                        "cannot be put back by DrvSweep");
            return;
        }
        if (PrepareBackupRoot(system_, line_.backupFolder, &backup_.root, &backup_.rootFailure)) {
            log_->Write(LogType::Info, "Backups go to " + Utf8(backup_.root.c_str()));
        } else {
            backup_.root.clear();
            log_->Write(LogType::Error,
                        "No backup can be written: " + Utf8(backup_.rootFailure.c_str()));
        }
    }

    void LogRestorePoint(const RestorePointNote& note) {
        if (!note.text.empty()) {
            log_->Write(note.made ? LogType::Info : LogType::Warning, note.text);
        }
    }

    RunReport NewReport(const char* command) {
        RunReport report;
        report.command = command;
        report.toolVersion = DRVSWEEP_VERSION_TEXT;
        report.computerName = Utf8(platform_.facts.ComputerName().c_str());
        report.timeUtc = IsoTimeText(platform_.facts.UtcNow());
        return report;
    }

    // How this run may start the maker's uninstallers: with /vendor; quiet ones first with
    // /quiet; interactive ones only where someone could see them.
    UninstallerUse Use() {
        UninstallerUse use;
        use.start = line_.vendor;
        use.unattended = line_.quiet;
        use.desktopVisible = platform_.facts.HasVisibleWindowStation();
        return use;
    }

    std::string Utf8(const char* ansi) { return Utf16ToUtf8(platform_.facts.AnsiToUtf16(ansi)); }

    ScannerReport Describe(const ScannerRecord& scanner, const RemovalPlan& plan) {
        ScannerReport report;
        report.devicePath = Utf8(scanner.devicePath.c_str());
        report.bus = scanner.busKind == BusKind::PcCard ? "pcCard" : "usb";
        report.description = Utf8(scanner.description.c_str());
        report.infPath = Utf8(scanner.infPath.c_str());
        report.twainFolder = Utf8(scanner.twainFolder.c_str());
        report.driverDll = Utf8(scanner.driverDll.c_str());
        report.kernelDriver = Utf8(scanner.kernelDriver.c_str());
        switch (DeviceAttachment(system_, scanner.devicePath.c_str())) {
            case Attachment::Attached:
                report.attached = "yes";
                break;
            case Attachment::NotAttached:
                report.attached = "no";
                break;
            case Attachment::Unknown:
                report.attached = "unknown";
                break;
        }
        PathText keyName;
        CommandLineText command;
        if (FindRegisteredUninstaller(system_, scanner.devicePath.c_str(), &keyName, &command,
                                      ValueFor(Use())) == UninstallerStatus::Found) {
            report.uninstallKey = Utf8(keyName.c_str());
            report.uninstallCommand = Utf8(command.c_str());
        }
        for (const PlanItem& item : plan.items) {
            for (const PathText& path : PlanItemPathsThere(system_, item)) {
                report.plan.push_back({PlanItemKindName(item.kind), Utf8(path.c_str()), ""});
            }
        }
        for (const KeptPackage& package : plan.kept) {
            report.kept.push_back({PlanItemKindName(PlanItemKind::DriverPackage),
                                   Utf8(package.infPath.c_str()), KeptReason(package)});
        }
        for (const KeptFile& file : plan.keptFiles) {
            report.kept.push_back(
                {PlanItemKindName(PlanItemKind::DriverFile), Utf8(file.path.c_str()), file.reason});
        }
        return report;
    }

    std::string KeptReason(const KeptPackage& package) {
        return !package.leftOutBecause.empty()
                   ? package.leftOutBecause
                   : "used by another maker's device, driver key " + Utf8(package.usedBy.c_str());
    }

    // A row per path of every item the removal left, and per item that goes at the restart:
    // its paths still there, or the item itself where Windows finishes its removal then.
    void AddLeft(const RemovalOutcome& outcome, const std::string& why, ScannerReport* report) {
        for (const ItemResult& result : outcome.items) {
            const char* kind = PlanItemKindName(result.item.kind);
            if (result.outcome == ItemOutcome::StillThere) {
                const std::string reason = !why.empty() ? why
                                           : result.windowsError == 0
                                               ? std::string("still present")
                                               : "still present, Windows answered error " +
                                                     std::to_string(result.windowsError);
                for (const PathText& path : result.pathsThere) {
                    report->remaining.push_back({kind, Utf8(path.c_str()), reason});
                }
            } else if (result.outcome == ItemOutcome::DeletedAtRestart) {
                for (const PathText& path : result.pathsThere.empty()
                                                ? std::vector<PathText>{result.item.path}
                                                : result.pathsThere) {
                    report->pendingRestart.push_back(
                        {kind, Utf8(path.c_str()), "goes when the computer restarts"});
                }
            }
        }
    }

    // The scanners named, in table order; a named devicePath that no scanner has is reported
    // as not found.
    std::vector<ScannerRecord> Targets() {
        std::vector<bool> named(static_cast<std::size_t>(table_->lastIndex + 1), line_.removeAll);
        for (const std::string& devicePath : line_.devicePaths) {
            const std::int32_t row =
                FindScannerRow(system_.version.AnsiCodePage(), *table_, devicePath.c_str());
            if (row >= 0) {
                named[static_cast<std::size_t>(row)] = true;
                continue;
            }
            ScannerReport missing;
            missing.devicePath = Utf8(devicePath.c_str());
            missing.method = RemovalMethod::None;
            missing.result = ScannerResult::NotFound;
            log_->Write(LogType::Warning, "Not installed: " + missing.devicePath);
            notFound_.push_back(missing);
        }
        std::vector<ScannerRecord> targets;
        for (std::size_t i = 0; i < named.size(); ++i) {
            if (named[i]) {
                targets.push_back(table_->rows[i]);
            }
        }
        return targets;
    }

    ScannerReport RemoveOne(const ScannerRecord& scanner, bool* stillFound) {
        const RemovalPlan plan = planner_.Plan(scanner);
        ScannerReport report = Describe(scanner, plan);
        for (const ReportItem& item : report.kept) {
            log_->Write(LogType::Warning, "Not removed: " + ItemText(item));
        }
        if (line_.whatIf) {
            report.method = RemovalMethod::BuiltIn;
            report.result = ScannerResult::Planned;
            for (const ReportItem& item : report.plan) {
                log_->Write(LogType::Info, "Would delete " + item.kind + " " + item.path);
            }
            return report;
        }
        WaitingSteps steps(*this, report);
        const ScannerRemovalResult result =
            RemoveScanner(system_, scanner, plan, steps, Use(), backup_);
        std::string why;
        if (result.backup.written) {
            report.backup = Utf8(result.backup.folder.c_str());
            log_->Write(LogType::Info, "Backup of " + report.devicePath + ": " + report.backup);
        } else if (result.stoppedByBackup) {
            why = "not removed: the backup failed";
            const std::string cause = Utf8(result.backup.failure.c_str());
            report.backupFailure = cause;
            log_->Write(LogType::Error, "Nothing removed of " + report.devicePath +
                                            ": the backup failed: " + cause);
            platform_.console.WriteError("DrvSweep: nothing removed of " + report.devicePath +
                                         ": the backup failed: " + cause + "\r\n");
        }
        restartNeeded_ = restartNeeded_ || result.outcome.restartReason() != RestartReason::None;
        report.method = MethodOf(result.method);
        if (result.uninstaller == UninstallerStatus::NoDesktop) {
            report.uninstallerNote = kNoDesktopNote;
        }
        AddLeft(result.outcome, why, &report);
        // A package of the scanner's own that the plan left out is still installed.
        for (const KeptPackage& package : plan.kept) {
            if (!package.leftOutBecause.empty()) {
                report.remaining.push_back({PlanItemKindName(PlanItemKind::DriverPackage),
                                            Utf8(package.infPath.c_str()), package.leftOutBecause});
            }
        }
        *stillFound = result.scannerPresent;
        return report;
    }

    static RemovalMethod MethodOf(drvsweep::RemovalMethod method) {
        switch (method) {
            case drvsweep::RemovalMethod::Vendor:
                return RemovalMethod::Vendor;
            case drvsweep::RemovalMethod::VendorThenBuiltIn:
                return RemovalMethod::VendorThenBuiltIn;
            case drvsweep::RemovalMethod::BuiltIn:
                break;
        }
        return RemovalMethod::BuiltIn;
    }

    // The command line's steps of a removal: the maker's uninstaller runs in a job that is
    // waited for, every process it starts with it, and ended past the timeout, unless it is
    // Windows Installer, which is waited for until it ends; each step is logged.
    class WaitingSteps : public RemovalSteps {
    public:
        WaitingSteps(Run& run, const ScannerReport& report) : run_(run), report_(report) {}

        UninstallerStatus RunUninstaller(const CommandLineText& commandLine,
                                         const UninstallerCommand& command) override {
            RunLog& log = *run_.log_;
            const std::string program = run_.Utf8(command.program.c_str());
            const std::unique_ptr<ProgramJob> job =
                run_.platform_.jobs.StartInJob(command.program.c_str(), command.parameters.c_str());
            if (job == nullptr) {
                log.Write(LogType::Warning, "The registered uninstaller did not start: " + program);
                return UninstallerStatus::Refused;
            }
            log.Write(LogType::Info, "Started the registered uninstaller of " + report_.devicePath +
                                         ": " + run_.Utf8(commandLine.c_str()));
            if (RunsWindowsInstaller(commandLine.c_str())) {
                if (job->WaitForAll(kWaitForever)) {
                    log.Write(LogType::Info,
                              "The registered uninstaller (Windows Installer) ended");
                } else {
                    log.Write(LogType::Warning,
                              "The registered uninstaller (Windows Installer) "
                              "could not be waited for and was left running");
                }
                return UninstallerStatus::Started;
            }
            const int seconds = run_.line_.vendorTimeoutSeconds;
            if (job->WaitForAll(static_cast<std::uint32_t>(seconds) * 1000u)) {
                log.Write(LogType::Info, "The registered uninstaller ended");
            } else {
                job->EndAll();
                log.Write(LogType::Warning, "The registered uninstaller still ran after " +
                                                std::to_string(seconds) + " s and was ended");
            }
            return UninstallerStatus::Started;
        }

        void BeforeBuiltIn(UninstallerStatus uninstaller) override {
            RunLog& log = *run_.log_;
            if (uninstaller == UninstallerStatus::Started) {
                log.Write(LogType::Warning,
                          "Still installed after its uninstaller: " + report_.devicePath);
            } else if (uninstaller == UninstallerStatus::NoDesktop) {
                log.Write(LogType::Warning, "Not started the registered uninstaller of " +
                                                report_.devicePath + ": " + kNoDesktopNote);
            }
            log.Write(LogType::Info, "Removing " + report_.devicePath + " (" + report_.description +
                                         ") with the built-in removal");
        }

    private:
        Run& run_;
        const ScannerReport& report_;
    };

    // A scanner that the presence test still finds although its removal left no item, and
    // left nothing to the restart, is remaining too. Then each scanner's result is settled and
    // logged.
    void ConfirmResults(std::vector<RemovedScanner>& removals) {
        for (RemovedScanner& removal : removals) {
            ScannerReport& scanner = removal.report;
            if (scanner.remaining.empty() && scanner.pendingRestart.empty() && removal.stillFound) {
                scanner.remaining.push_back(
                    {"scanner", scanner.devicePath, "still found by the scan"});
            }
            scanner.result = !scanner.remaining.empty()        ? ScannerResult::Remaining
                             : !scanner.pendingRestart.empty() ? ScannerResult::PendingRestart
                                                               : ScannerResult::Removed;
            for (const ReportItem& item : scanner.pendingRestart) {
                log_->Write(LogType::Warning, "Deleted at the restart: " + ItemText(item));
            }
            for (const ReportItem& item : scanner.remaining) {
                log_->Write(LogType::Error, "Still there: " + ItemText(item));
            }
            log_->Write(scanner.remaining.empty() ? LogType::Info : LogType::Error,
                        "Result for " + scanner.devicePath + ": " + ResultWord(scanner.result));
        }
    }

    // A restart follows only a run that ended well (0 or 3010): after a failed one the report
    // must reach the fleet tool, and what is left wants a look first. /restart restarts only
    // where a restart is needed; /forcerestart after any run that ended well.
    void Restart(RunReport& report) {
        const bool needed = report.exitCode == kExitRestartNeeded;
        const bool wanted = !line_.whatIf && (needed || report.exitCode == kExitDone) &&
                            (line_.restart == RestartChoice::Always ||
                             (line_.restart == RestartChoice::IfNeeded && needed));
        if (!wanted) {
            return;
        }
        log_->Write(LogType::Info, "Restarting the computer");
        if (RestartSystem(system_)) {
            report.restart = "started";
            report.exitCode = kExitRestartStarted;
            return;
        }
        log_->Write(LogType::Error, "The restart was refused; the computer was not restarted");
    }

    int Finish(const RunReport& report) {
        const std::string text =
            line_.quiet ? SummaryLine(report) : FormatReport(report, line_.format);
        if (line_.outFile.empty()) {
            platform_.console.WriteOutput(text);
            return report.exitCode;
        }
        const std::string bytes = line_.format == ReportFormat::Csv ? kUtf8Mark + text : text;
        if (!platform_.outputFiles.WriteWholeFile(line_.outFile.c_str(), bytes)) {
            platform_.console.WriteError("DrvSweep: cannot write " + line_.outFile + "\r\n");
            if (log_ != nullptr) {
                log_->Write(LogType::Error, "Cannot write the report to " + line_.outFile);
            }
            return kExitFailed;
        }
        return report.exitCode;
    }

    CommandLinePlatform& platform_;
    Platform& system_;
    const CommandLine& line_;
    // The table holds 260 rows of 1.5 KB: too large for the stack.
    std::unique_ptr<ScannerTable> table_ = std::make_unique<ScannerTable>();
    // One read of the INF folder for the run: the scan's, and every plan's.
    InfIndex index_{system_};
    RemovalPlanner planner_{system_, index_};
    std::vector<ScannerReport> notFound_;
    RunLog* log_ = nullptr;
    RunRestorePoint restorePoint_{system_};
    BackupChoice backup_;
    // Some removal of the run left something that only the restart finishes.
    bool restartNeeded_ = false;
};

int RunRemove(CommandLinePlatform& platform, const CommandLine& line,
              const std::vector<std::string>& arguments) {
    int exitCode = kExitDone;
    const std::unique_ptr<RunLog> log =
        StartChangingRun(platform, line, arguments, "/remove", line.whatIf, &exitCode);
    return log == nullptr ? exitCode : Run(platform, line).Remove(*log);
}

}  // namespace

int RunCommandLine(CommandLinePlatform& platform, const char* arguments) {
    platform.facts.SetSetupNonInteractive();
    const std::vector<std::string> split = SplitArguments(arguments);
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(split, &line, &error)) {
        platform.console.WriteError("DrvSweep: " + error + "\r\n\r\n" + UsageText());
        return kExitBadCommandLine;
    }
    switch (line.action) {
        case Action::Help:
            platform.console.WriteOutput(UsageText());
            return kExitDone;
        case Action::Version:
            platform.console.WriteOutput(std::string("DrvSweep ") + DRVSWEEP_VERSION_TEXT + "\r\n");
            return kExitDone;
        case Action::List:
            return Run(platform, line).List();
        case Action::Restore:
            return RunRestore(platform, line, split);
        case Action::Backups:
            return RunBackups(platform, line);
        case Action::Remove:
            break;
    }
    return RunRemove(platform, line, split);
}

}  // namespace drvsweep::cli
