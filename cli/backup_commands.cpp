#include "cli/backup_commands.h"

#include <memory>

#include "cli/changing_run.h"
#include "cli/exit_codes.h"
#include "cli/json_object.h"
#include "cli/utf_text.h"
#include "removal/backup_check.h"
#include "removal/backup_place.h"
#include "removal/backup_restore.h"
#include "res/version.h"

namespace drvsweep::cli {

namespace {

const char* OutcomeWord(RestoreOutcome outcome) {
    switch (outcome) {
        case RestoreOutcome::PutBack:
            return "putBack";
        case RestoreOutcome::AlreadyThere:
            return "alreadyThere";
        case RestoreOutcome::LeftAsIs:
            return "leftAsIs";
        case RestoreOutcome::Failed:
            break;
    }
    return "failed";
}

// Writes the report to /out or the standard output; a report that cannot be written fails the
// run.
int Deliver(CommandLinePlatform& platform, const CommandLine& line, const std::string& text,
            int exitCode) {
    if (line.outFile.empty()) {
        platform.console.WriteOutput(text);
        return exitCode;
    }
    if (!platform.outputFiles.WriteWholeFile(line.outFile.c_str(), text)) {
        platform.console.WriteError("DrvSweep: cannot write " + line.outFile + "\r\n");
        return kExitFailed;
    }
    return exitCode;
}

class Texts {
public:
    explicit Texts(CommandLinePlatform& platform) : platform_(platform) {}
    std::string Utf8(const std::string& ansi) {
        return Utf16ToUtf8(platform_.facts.AnsiToUtf16(ansi.c_str()));
    }

private:
    CommandLinePlatform& platform_;
};

// The folder /restore names: "last" the newest backup of the folder of backups.
bool RestoreFolder(CommandLinePlatform& platform, const CommandLine& line, std::string* folder,
                   std::string* failure) {
    if (line.restoreFrom != "last" && line.restoreFrom != "LAST" && line.restoreFrom != "Last") {
        *folder = line.restoreFrom;
        while (folder->size() > 3 && folder->back() == '\\') {
            folder->pop_back();
        }
        return true;
    }
    const std::string root =
        line.backupFolder.empty() ? DefaultBackupRoot(platform.system) : line.backupFolder;
    const std::vector<std::string> backups = CompleteBackups(platform.system, root);
    if (backups.empty()) {
        *failure = "no backup is in " + root;
        return false;
    }
    *folder = backups.front();
    return true;
}

std::string RestoreText(const RestoreResult& result, const std::string& folder, Texts& texts,
                        int exitCode, const std::string& logPath) {
    std::string out = "Backup: " + texts.Utf8(folder) + "\r\n";
    if (result.refused) {
        out += "Refused: " + texts.Utf8(result.refusal) + "\r\n";
    } else {
        out += "Scanner: " + texts.Utf8(result.description) + " (" + texts.Utf8(result.devicePath) +
               ")\r\n";
        for (const RestoredItem& item : result.items) {
            out += "  " + std::string(OutcomeWord(item.outcome)) + " " + item.kind + " " +
                   texts.Utf8(item.path) +
                   (item.note.empty() ? "" : " (" + texts.Utf8(item.note) + ")") + "\r\n";
        }
    }
    return out + "result=" + std::to_string(exitCode) + " log=" + logPath + "\r\n";
}

std::string RestoreJson(CommandLinePlatform& platform, const RestoreResult& result,
                        const std::string& folder, Texts& texts, int exitCode,
                        const std::string& logPath) {
    std::string items = "[";
    for (const RestoredItem& item : result.items) {
        JsonObject object;
        object.Text("kind", item.kind)
            .Text("path", texts.Utf8(item.path))
            .Text("outcome", OutcomeWord(item.outcome))
            .Text("note", texts.Utf8(item.note));
        items += (items.size() > 1 ? "," : "") + object.Close();
    }
    JsonObject object;
    object.Number("schemaVersion", 1)
        .Text("tool", "DrvSweep")
        .Text("toolVersion", DRVSWEEP_VERSION_TEXT)
        .Text("computerName", texts.Utf8(platform.facts.ComputerName()))
        .Text("command", "restore")
        .Number("exitCode", exitCode)
        .Text("backup", texts.Utf8(folder))
        .Text("refused", texts.Utf8(result.refusal))
        .Text("devicePath", texts.Utf8(result.devicePath))
        .Text("description", texts.Utf8(result.description))
        .Text("logPath", logPath)
        .Raw("items", items + "]");
    return object.Close() + "\r\n";
}

}  // namespace

int RunRestore(CommandLinePlatform& platform, const CommandLine& line,
               const std::vector<std::string>& arguments) {
    int exitCode = kExitDone;
    const std::unique_ptr<RunLog> log =
        StartChangingRun(platform, line, arguments, "/restore", false, &exitCode);
    if (log == nullptr) {
        return exitCode;
    }
    Texts texts(platform);
    std::string folder;
    RestoreResult result;
    if (!RestoreFolder(platform, line, &folder, &result.refusal)) {
        result.refused = true;
    } else {
        log->Write(LogType::Info, "Restoring the backup " + texts.Utf8(folder));
        result = RestoreBackup(platform.system, folder);
    }
    if (result.refused) {
        log->Write(LogType::Error,
                   "Backup refused, nothing put back: " + texts.Utf8(result.refusal));
        platform.console.WriteError("DrvSweep: " + texts.Utf8(result.refusal) + "\r\n");
    }
    for (const RestoredItem& item : result.items) {
        const bool bad =
            item.outcome == RestoreOutcome::LeftAsIs || item.outcome == RestoreOutcome::Failed;
        log->Write(bad ? LogType::Error : LogType::Info,
                   std::string(OutcomeWord(item.outcome)) + ": " + item.kind + " " +
                       texts.Utf8(item.path) +
                       (item.note.empty() ? "" : " (" + texts.Utf8(item.note) + ")"));
    }
    exitCode = !result.complete()     ? kExitFailed
               : result.restartNeeded ? kExitRestartNeeded
                                      : kExitDone;
    log->Write(exitCode == kExitFailed ? LogType::Error : LogType::Info,
               "Restore result: " + std::to_string(exitCode));
    const std::string report =
        line.quiet ? "result=" + std::to_string(exitCode) + " log=" + log->path() + "\r\n"
        : line.format == ReportFormat::Json
            ? RestoreJson(platform, result, folder, texts, exitCode, log->path())
            : RestoreText(result, folder, texts, exitCode, log->path());
    return Deliver(platform, line, report, exitCode);
}

int RunBackups(CommandLinePlatform& platform, const CommandLine& line) {
    Texts texts(platform);
    const std::string root =
        line.backupFolder.empty() ? DefaultBackupRoot(platform.system) : line.backupFolder;
    std::string text = "Backups in " + texts.Utf8(root) + "\r\n";
    std::string json = "[";
    for (const std::string& folder : CompleteBackups(platform.system, root)) {
        CheckedBackup backup;
        std::string failure;
        const bool sound = ReadCheckedBackup(platform.system, folder, &backup, &failure);
        std::uint64_t bytes = 0;
        for (const BackupFile& file : backup.manifest.files) {
            bytes += file.size;
        }
        const BackupManifest& m = backup.manifest;
        text += texts.Utf8(folder) + "\r\n  time: " + m.created +
                "\r\n  scanner: " + texts.Utf8(m.description) + " (" + texts.Utf8(m.devicePath) +
                ")\r\n  size: " + std::to_string(bytes) + " bytes\r\n" +
                (sound ? "" : "  damaged: " + texts.Utf8(failure) + "\r\n");
        JsonObject object;
        object.Text("folder", texts.Utf8(folder))
            .Text("timeUtc", m.created)
            .Text("devicePath", texts.Utf8(m.devicePath))
            .Text("description", texts.Utf8(m.description))
            .Number("bytes", static_cast<long>(bytes))
            .Text("damaged", sound ? std::string() : texts.Utf8(failure));
        json += (json.size() > 1 ? "," : "") + object.Close();
    }
    JsonObject report;
    report.Number("schemaVersion", 1)
        .Text("tool", "DrvSweep")
        .Text("toolVersion", DRVSWEEP_VERSION_TEXT)
        .Text("command", "backups")
        .Text("folder", texts.Utf8(root))
        .Raw("backups", json + "]");
    return Deliver(platform, line,
                   line.format == ReportFormat::Json ? report.Close() + "\r\n" : text, kExitDone);
}

}  // namespace drvsweep::cli
