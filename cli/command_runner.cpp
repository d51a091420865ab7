#include "cli/command_runner.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/exit_codes.h"
#include "cli/run_log.h"
#include "cli/run_report.h"
#include "cli/utf_text.h"
#include "discovery/scanner_table.h"
#include "removal/builtin_removal.h"
#include "removal/device_nodes_nt.h"
#include "removal/removal_plan.h"
#include "removal/removal_walk.h"
#include "removal/scanner_row.h"
#include "removal/system_restart.h"
#include "removal/vendor_uninstaller.h"
#include "res/version.h"

namespace drvsweep::cli {

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

std::string IsoTime(const UtcTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

// One run of /list or /remove over the machine.
class Run {
public:
    Run(CommandLinePlatform& platform, const CommandLine& line)
        : platform_(platform), system_(platform.system), line_(line) {}

    int List() {
        ScanInstalledScanners(system_, *table_);
        RunReport report = NewReport("list");
        for (std::int32_t i = 0; i <= table_->lastIndex; ++i) {
            const ScannerRecord& scanner = table_->rows[i];
            std::vector<KeptPackage> kept;
            const std::vector<PlanItem> plan = PlanBuiltInRemoval(system_, scanner, &kept);
            report.scanners.push_back(Describe(scanner, plan, kept));
        }
        report.exitCode = report.scanners.empty() ? kExitDone : kExitScannersFound;
        return Finish(report);
    }

    int Remove(RunLog& log) {
        log_ = &log;
        RunReport report = NewReport("remove");
        report.whatIf = line_.whatIf;
        report.logPath = log.path();
        ScanInstalledScanners(system_, *table_);
        log.Write(LogType::Info, "Scanners found: " + std::to_string(table_->lastIndex + 1));
        const std::vector<ScannerRecord> targets = Targets();
        bool removalRan = false;
        std::vector<ScannerRemoval> removals;
        for (const ScannerRecord& scanner : targets) {
            removals.push_back({scanner.devicePath, RemoveOne(scanner, &removalRan)});
        }
        if (!line_.whatIf && !targets.empty()) {
            ConfirmResults(removals);
        }
        for (const ScannerRemoval& removal : removals) {
            report.scanners.push_back(removal.report);
        }
        report.scanners.insert(report.scanners.end(), notFound_.begin(), notFound_.end());
        for (const ScannerReport& scanner : report.scanners) {
            report.removed += scanner.result == ScannerResult::Removed ? 1 : 0;
            report.pendingRestart += scanner.result == ScannerResult::PendingRestart ? 1 : 0;
            report.remaining += scanner.result == ScannerResult::Remaining ? 1 : 0;
        }
        report.exitCode = report.remaining > 0 ? kExitFailed : kExitDone;
        report.restart = "none";
        Restart(report, removalRan);
        const std::string summary = SummaryLine(report);
        log.Write(report.exitCode == kExitFailed ? LogType::Error : LogType::Info,
                  "Summary: " + summary.substr(0, summary.size() - 2));
        return Finish(report);
    }

private:
    // One scanner's removal: its devicePath as the scan found it, and its report.
    struct ScannerRemoval {
        PathText devicePath;
        ScannerReport report;
    };

    RunReport NewReport(const char* command) {
        RunReport report;
        report.command = command;
        report.toolVersion = DRVSWEEP_VERSION_TEXT;
        report.computerName = Utf8(platform_.facts.ComputerName().c_str());
        report.timeUtc = IsoTime(platform_.facts.UtcNow());
        return report;
    }

    std::string Utf8(const char* ansi) { return Utf16ToUtf8(platform_.facts.AnsiToUtf16(ansi)); }

    ScannerReport Describe(const ScannerRecord& scanner, const std::vector<PlanItem>& plan,
                           const std::vector<KeptPackage>& kept) {
        ScannerReport report;
        report.devicePath = Utf8(scanner.devicePath.c_str());
        report.bus = scanner.busKind == kBusPcCard ? "pcCard" : "usb";
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
        if (FindRegisteredUninstaller(system_, scanner.devicePath.c_str(), &keyName, &command) ==
            kUninstallerFound) {
            report.uninstallKey = Utf8(keyName.c_str());
            report.uninstallCommand = Utf8(command.c_str());
        }
        for (const PlanItem& item : plan) {
            for (const PathText& path : PlanItemPathsThere(system_, item)) {
                report.plan.push_back({PlanItemKindName(item.kind), Utf8(path.c_str()), ""});
            }
        }
        for (const KeptPackage& package : kept) {
            report.kept.push_back({PlanItemKindName(PlanItemKind::DriverPackage),
                                   Utf8(package.infPath.c_str()), KeptReason(package)});
        }
        return report;
    }

    std::string KeptReason(const KeptPackage& package) {
        return package.usedBy.empty()
                   ? "the devices that use it cannot be told"
                   : "used by another maker's device, driver key " + Utf8(package.usedBy.c_str());
    }

    // A row per path of every item the removal left, and per item that goes at the restart:
    // its paths still there, or the item itself where Windows finishes its removal then.
    void AddLeft(const RemovalOutcome& outcome, ScannerReport* report) {
        for (const ItemResult& result : outcome.items) {
            const char* kind = PlanItemKindName(result.item.kind);
            if (result.outcome == ItemOutcome::StillThere) {
                for (const PathText& path : result.pathsThere) {
                    report->remaining.push_back({kind, Utf8(path.c_str()), "still present"});
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
            const std::int32_t row = FindScannerRow(*table_, devicePath.c_str());
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

    ScannerReport RemoveOne(const ScannerRecord& scanner, bool* removalRan) {
        std::vector<KeptPackage> kept;
        const std::vector<PlanItem> plan = PlanBuiltInRemoval(system_, scanner, &kept);
        ScannerReport report = Describe(scanner, plan, kept);
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
        bool vendorRan = false;
        // A driver package without a device goes built in, as in the window.
        if (line_.vendor && scanner.packageOnly == 0 &&
            RunVendorUninstaller(scanner, report.devicePath)) {
            vendorRan = true;
            *removalRan = true;
            if (!IsStillFound(scanner.devicePath.c_str())) {
                report.method = RemovalMethod::Vendor;
                AddLeft(CheckRemovalPlan(system_, plan), &report);
                return report;
            }
            log_->Write(LogType::Warning,
                        "Still installed after its uninstaller: " + report.devicePath);
        }
        log_->Write(LogType::Info, "Removing " + report.devicePath + " (" + report.description +
                                       ") with the built-in removal");
        // Planned afresh, as the window's removal is: what the maker's uninstaller took is no
        // longer there to act on.
        AddLeft(UninstallBuiltIn(system_, scanner), &report);
        *removalRan = true;
        report.method = vendorRan ? RemovalMethod::VendorThenBuiltIn : RemovalMethod::BuiltIn;
        return report;
    }

    // Starts the maker's registered uninstaller in a job and waits for it and every process it
    // starts, ending them past the timeout. False when no uninstaller could be started.
    bool RunVendorUninstaller(const ScannerRecord& scanner, const std::string& devicePath) {
        CommandLineText commandLine;
        UninstallerCommand command;
        if (FindUninstallerCommand(system_, scanner.devicePath.c_str(), &commandLine, &command) !=
            kUninstallerFound) {
            return false;
        }
        const std::string program = Utf8(command.program.c_str());
        const std::unique_ptr<ProgramJob> job =
            platform_.jobs.StartInJob(command.program.c_str(), command.parameters.c_str());
        if (job == nullptr) {
            log_->Write(LogType::Warning, "The registered uninstaller did not start: " + program);
            return false;
        }
        log_->Write(LogType::Info, "Started the registered uninstaller of " + devicePath + ": " +
                                       Utf8(commandLine.c_str()));
        const std::uint32_t timeout =
            static_cast<std::uint32_t>(line_.vendorTimeoutSeconds) * 1000u;
        if (job->WaitForAll(timeout)) {
            log_->Write(LogType::Info, "The registered uninstaller ended");
        } else {
            job->EndAll();
            log_->Write(LogType::Warning, "The registered uninstaller still ran after " +
                                              std::to_string(line_.vendorTimeoutSeconds) +
                                              " s and was ended");
        }
        return true;
    }

    bool IsStillFound(const char* devicePath) {
        ScanInstalledScanners(system_, *table_);
        return FindScannerRow(*table_, devicePath) >= 0;
    }

    // Scans again: a scanner that the scan still finds although its removal left no item, and
    // left nothing to the restart, is remaining too. Then each scanner's result is settled and
    // logged.
    void ConfirmResults(std::vector<ScannerRemoval>& removals) {
        ScanInstalledScanners(system_, *table_);
        for (ScannerRemoval& removal : removals) {
            ScannerReport& scanner = removal.report;
            if (scanner.remaining.empty() && scanner.pendingRestart.empty() &&
                FindScannerRow(*table_, removal.devicePath.c_str()) >= 0) {
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

    void Restart(RunReport& report, bool removalRan) {
        if (line_.whatIf) {
            return;
        }
        const bool wanted = line_.restart == RestartChoice::Always ||
                            (line_.restart == RestartChoice::IfNeeded && removalRan);
        if (wanted) {
            log_->Write(LogType::Info, "Restarting the computer");
            if (RestartSystem(system_, RestartMode::LetProgramsSave)) {
                report.restart = "started";
                if (report.exitCode != kExitFailed) {
                    report.exitCode = kExitRestartStarted;
                }
                return;
            }
            log_->Write(LogType::Error, "The restart was refused");
        }
        if (removalRan) {
            report.restart = "required";
            if (report.exitCode != kExitFailed) {
                report.exitCode = kExitRestartNeeded;
            }
        }
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
    std::vector<ScannerReport> notFound_;
    RunLog* log_ = nullptr;
};

std::string JoinedArguments(const std::vector<std::string>& arguments) {
    std::string joined;
    for (const std::string& argument : arguments) {
        joined += (joined.empty() ? "" : " ") + argument;
    }
    return joined;
}

int RunRemove(CommandLinePlatform& platform, const CommandLine& line,
              const std::vector<std::string>& arguments) {
    Platform& system = platform.system;
    const Family family = CurrentFamily(system.version);
    if (!line.whatIf && family == Family::Nt &&
        platform.facts.IsAdministrator() == AdminState::No) {
        platform.console.WriteError(
            "DrvSweep: /remove needs administrator rights; run it elevated or as SYSTEM.\r\n");
        return kExitNotAdministrator;
    }
    if (!platform.facts.TakeRunLock()) {
        platform.console.WriteError("DrvSweep: another DrvSweep is running.\r\n");
        return kExitAnotherRun;
    }
    const bool defaultLog = line.logFile.empty();
    RunLog log(platform, defaultLog ? DefaultLogPath(system) : line.logFile);
    log.Open(defaultLog);
    log.Write(LogType::Info, std::string("DrvSweep ") + DRVSWEEP_VERSION_TEXT);
    log.Write(LogType::Info, "Command line: " + JoinedArguments(arguments));
    log.Write(LogType::Info,
              "User: " + platform.facts.UserName() + " on " + platform.facts.ComputerName());
    log.Write(LogType::Info, std::string("Family: ") + (family == Family::Nt ? "NT" : "9x") +
                                 ", program " + std::to_string(platform.facts.ProgramBits()) +
                                 "-bit" + (line.whatIf ? ", preview only (/whatif)" : ""));
    return Run(platform, line).Remove(log);
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
        case Action::Remove:
            break;
    }
    return RunRemove(platform, line, split);
}

}  // namespace drvsweep::cli
