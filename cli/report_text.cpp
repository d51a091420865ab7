#include "cli/run_report.h"

namespace drvsweep::cli {

namespace {

void Field(std::string& out, const char* name, const std::string& value) {
    out += "  ";
    out += name;
    out += ": ";
    out += value;
    out += "\r\n";
}

void Items(std::string& out, const char* name, const std::vector<ReportItem>& items) {
    for (const ReportItem& item : items) {
        Field(out, name, ItemText(item));
    }
}

}  // namespace

std::string FormatText(const RunReport& report) {
    std::string out;
    for (const ScannerReport& scanner : report.scanners) {
        out += "scanner " + scanner.devicePath + "\r\n";
        if (scanner.result != ScannerResult::NotFound) {
            Field(out, "bus", scanner.bus);
            Field(out, "description", scanner.description);
            Field(out, "infPath", scanner.infPath);
            Field(out, "twainFolder", scanner.twainFolder);
            Field(out, "driverDll", scanner.driverDll);
            Field(out, "kernelDriver", scanner.kernelDriver);
            Field(out, "attached", scanner.attached);
            Field(out, "uninstallKey", scanner.uninstallKey);
            Field(out, "uninstallCommand", scanner.uninstallCommand);
            Items(out, "plan", scanner.plan);
            Items(out, "kept", scanner.kept);
        }
        if (scanner.result != ScannerResult::Listed) {
            Field(out, "method", MethodWord(scanner.method));
            if (!scanner.uninstallerNote.empty()) {
                Field(out, "uninstallerNote", scanner.uninstallerNote);
            }
            Field(out, "result", ResultWord(scanner.result));
            Items(out, "pendingRestart", scanner.pendingRestart);
            Items(out, "remaining", scanner.remaining);
            if (!scanner.backup.empty()) {
                Field(out, "backup", scanner.backup);
            }
            if (!scanner.backupFailure.empty()) {
                Field(out, "backupFailure", scanner.backupFailure);
            }
        }
    }
    if (report.command == "list") {
        out += "scanners=" + std::to_string(report.scanners.size()) +
               " exitCode=" + std::to_string(report.exitCode) + "\r\n";
    } else {
        out += SummaryLine(report);
    }
    return out;
}

std::string ItemText(const ReportItem& item) {
    return item.kind + " " + item.path + (item.reason.empty() ? "" : " (" + item.reason + ")");
}

const char* MethodWord(RemovalMethod method) {
    switch (method) {
        case RemovalMethod::Listed:
            break;
        case RemovalMethod::None:
            return "none";
        case RemovalMethod::BuiltIn:
            return "builtIn";
        case RemovalMethod::Vendor:
            return "vendor";
        case RemovalMethod::VendorThenBuiltIn:
            return "vendorThenBuiltIn";
    }
    return "";
}

const char* ResultWord(ScannerResult result) {
    switch (result) {
        case ScannerResult::Listed:
            break;
        case ScannerResult::Removed:
            return "removed";
        case ScannerResult::PendingRestart:
            return "pendingRestart";
        case ScannerResult::Remaining:
            return "remaining";
        case ScannerResult::Planned:
            return "planned";
        case ScannerResult::NotFound:
            return "notFound";
    }
    return "";
}

std::string SummaryLine(const RunReport& report) {
    return "result=" + std::to_string(report.exitCode) +
           " removed=" + std::to_string(report.removed) +
           " pendingRestart=" + std::to_string(report.pendingRestart) +
           " remaining=" + std::to_string(report.remaining) + " restart=" + report.restart +
           " log=" + report.logPath + "\r\n";
}

std::string FormatReport(const RunReport& report, ReportFormat format) {
    switch (format) {
        case ReportFormat::Csv:
            return FormatCsv(report);
        case ReportFormat::Json:
            return FormatJson(report);
        case ReportFormat::Text:
            break;
    }
    return FormatText(report);
}

}  // namespace drvsweep::cli
