#include "cli/run_report.h"
#include "cli/utf_text.h"

namespace drvsweep::cli {

namespace {

// Items joined into one field, separated by "; ".
std::string JoinItems(const std::vector<ReportItem>& items) {
    std::string joined;
    for (const ReportItem& item : items) {
        if (!joined.empty()) {
            joined += "; ";
        }
        joined += ItemText(item);
    }
    return joined;
}

void Row(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        out += CsvField(fields[i]);
    }
    out += "\r\n";
}

}  // namespace

std::string FormatCsv(const RunReport& report) {
    std::string out;
    Row(out, {"devicePath", "bus", "description", "infPath", "twainFolder", "driverDll",
              "kernelDriver", "attached", "uninstallKey", "uninstallCommand", "plan", "method",
              "result", "pendingRestart", "remaining", "kept", "uninstallerNote"});
    for (const ScannerReport& s : report.scanners) {
        Row(out, {s.devicePath, s.bus, s.description, s.infPath, s.twainFolder, s.driverDll,
                  s.kernelDriver, s.attached, s.uninstallKey, s.uninstallCommand, JoinItems(s.plan),
                  MethodWord(s.method), ResultWord(s.result), JoinItems(s.pendingRestart),
                  JoinItems(s.remaining), JoinItems(s.kept), s.uninstallerNote});
    }
    return out;
}

}  // namespace drvsweep::cli
