#pragma once

#include <string>
#include <vector>

#include "cli/command_line.h"

namespace drvsweep::cli {

// One item of a built-in removal as reported: its kind (PlanItemKindName) and path, and for
// an item still there after a removal, why, where known.
struct ReportItem {
    std::string kind;
    std::string path;
    std::string reason;
};

// The item as one line: "kind path", and " (reason)" when it has one.
std::string ItemText(const ReportItem& item);

// How a scanner was removed; Listed in a /list report, which has no removal fields.
enum class RemovalMethod { Listed, None, BuiltIn, Vendor, VendorThenBuiltIn };

// What a /remove run made of a scanner; Listed in a /list report. PendingRestart: nothing
// remains, and some of it goes when the computer restarts.
enum class ScannerResult { Listed, Removed, PendingRestart, Remaining, Planned, NotFound };

// The words reports use: "none", "builtIn", "vendor", "vendorThenBuiltIn"; "removed",
// "pendingRestart", "remaining", "planned", "notFound"; the empty text for Listed.
const char* MethodWord(RemovalMethod method);
const char* ResultWord(ScannerResult result);

// One scanner as a report shows it; every text is UTF-8. The removal fields stay empty in a
// /list report.
struct ScannerReport {
    std::string devicePath;
    std::string bus;  // "usb" or "pcCard"
    std::string description;
    std::string infPath;
    std::string twainFolder;
    std::string driverDll;
    std::string kernelDriver;
    std::string attached;  // "yes", "no", or "unknown" (9x family, or the system cannot tell)
    std::string uninstallKey;
    std::string uninstallCommand;
    std::vector<ReportItem> plan;
    // The scanner's driver packages that the removal leaves alone, each with why.
    std::vector<ReportItem> kept;
    RemovalMethod method = RemovalMethod::Listed;
    // Why the maker's registered uninstaller was not started although /vendor asked for it;
    // empty otherwise.
    std::string uninstallerNote;
    ScannerResult result = ScannerResult::Listed;
    std::vector<ReportItem> pendingRestart;
    std::vector<ReportItem> remaining;
    // The folder of the backup written before the built-in removal, or why none could be
    // written (nothing was removed then); both empty when no backup was asked for.
    std::string backup;
    std::string backupFailure;
};

// The whole run as a report shows it.
struct RunReport {
    std::string command;  // "list" or "remove"
    std::string toolVersion;
    std::string computerName;
    std::string timeUtc;  // ISO 8601, "2026-12-08T23:20:13Z"
    bool whatIf = false;
    int exitCode = 0;
    int removed = 0;
    int pendingRestart = 0;
    int remaining = 0;
    std::string restart;  // "none", "required", "started"
    std::string logPath;
    std::vector<ScannerReport> scanners;
};

// The report in the format asked for, as UTF-8 text. Text and CSV end every line with CRLF.
std::string FormatText(const RunReport& report);
std::string FormatCsv(const RunReport& report);
std::string FormatJson(const RunReport& report);
std::string FormatReport(const RunReport& report, ReportFormat format);

// The one line a /quiet run prints:
// "result=3010 removed=2 pendingRestart=0 remaining=0 restart=required log=...".
std::string SummaryLine(const RunReport& report);

}  // namespace drvsweep::cli
