#include "cli/json_object.h"
#include "cli/run_report.h"
#include "cli/utf_text.h"

namespace drvsweep::cli {

namespace {

std::string Items(const std::vector<ReportItem>& items, bool withReason) {
    std::string out = "[";
    for (const ReportItem& item : items) {
        JsonObject object;
        object.Text("kind", item.kind).Text("path", item.path);
        if (withReason) {
            object.Text("reason", item.reason);
        }
        out += (out.size() > 1 ? "," : "") + object.Close();
    }
    return out + "]";
}

std::string Scanner(const ScannerReport& s, bool removal) {
    JsonObject object;
    object.Text("devicePath", s.devicePath)
        .Text("bus", s.bus)
        .Text("description", s.description)
        .Text("infPath", s.infPath)
        .Text("twainFolder", s.twainFolder)
        .Text("driverDll", s.driverDll)
        .Text("kernelDriver", s.kernelDriver)
        .Text("attached", s.attached)
        .Text("uninstallKey", s.uninstallKey)
        .Text("uninstallCommand", s.uninstallCommand)
        .Raw("plan", Items(s.plan, false))
        .Raw("kept", Items(s.kept, true));
    if (removal) {
        object.Text("method", MethodWord(s.method))
            .Text("uninstallerNote", s.uninstallerNote)
            .Text("result", ResultWord(s.result))
            .Raw("pendingRestart", Items(s.pendingRestart, true))
            .Raw("remaining", Items(s.remaining, true))
            .Text("backup", s.backup)
            .Text("backupFailure", s.backupFailure);
    }
    return object.Close();
}

}  // namespace

std::string FormatJson(const RunReport& report) {
    const bool removal = report.command == "remove";
    std::string scanners = "[";
    for (const ScannerReport& scanner : report.scanners) {
        scanners += (scanners.size() > 1 ? "," : "") + Scanner(scanner, removal);
    }
    scanners += "]";
    JsonObject object;
    object.Number("schemaVersion", 1)
        .Text("tool", "DrvSweep")
        .Text("toolVersion", report.toolVersion)
        .Text("computerName", report.computerName)
        .Text("timeUtc", report.timeUtc)
        .Text("command", report.command)
        .Number("exitCode", report.exitCode);
    if (removal) {
        object.Boolean("whatIf", report.whatIf)
            .Number("removed", report.removed)
            .Number("pendingRestart", report.pendingRestart)
            .Number("remaining", report.remaining)
            .Text("restart", report.restart)
            .Text("logPath", report.logPath);
    }
    return object.Raw("scanners", scanners).Close() + "\r\n";
}

}  // namespace drvsweep::cli
