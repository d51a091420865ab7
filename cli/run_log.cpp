#include "cli/run_log.h"

#include <cstdio>
#include <initializer_list>

#include "platform/file_system.h"
#include "platform/text_reads.h"
#include "platform/win32_codes.h"

namespace drvsweep::cli {

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

std::string TwoDigits(int value, int width = 2) {
    char text[8];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

std::string Sanitised(const std::string& message) {
    std::string clean;
    for (const char c : message) {
        clean += c == '\r' || c == '\n' ? ' ' : c;
    }
    for (std::size_t at = clean.find("]LOG]!>"); at != std::string::npos;
         at = clean.find("]LOG]!>", at)) {
        clean.replace(at, 7, "] LOG]!>");
    }
    return clean;
}

std::string Attribute(const char* name, const std::string& value) {
    std::string clean;
    for (const char c : value) {
        clean += c == '"' || c == '\r' || c == '\n' ? '\'' : c;
    }
    return std::string(name) + "=\"" + clean + "\"";
}

}  // namespace

std::string CmTraceLine(const std::string& message, LogType type, const UtcTime& time,
                        const std::string& context, std::uint32_t thread) {
    const std::string clock = TwoDigits(time.hour) + ":" + TwoDigits(time.minute) + ":" +
                              TwoDigits(time.second) + "." + TwoDigits(time.millisecond, 3) +
                              "+000";
    const std::string date =
        TwoDigits(time.month) + "-" + TwoDigits(time.day) + "-" + TwoDigits(time.year, 4);
    return "<![LOG[" + Sanitised(message) + "]LOG]!><" + Attribute("time", clock) + " " +
           Attribute("date", date) + " component=\"DrvSweep\" " + Attribute("context", context) +
           " type=\"" + std::to_string(static_cast<int>(type)) + "\" thread=\"" +
           std::to_string(thread) + "\" file=\"\">\r\n";
}

std::string DefaultLogPath(Platform& system) {
    PathText windows;
    if (!ReadWindowsFolder(system.files, system.version.AnsiCodePage(), &windows)) {
        return std::string();
    }
    const char* tail = CurrentFamily(system.version) == Family::Nt
                           ? "\\Logs\\DrvSweep\\DrvSweep.log"
                           : "\\DrvSweep.log";
    return std::string(windows.c_str()) + tail;
}

RunLog::RunLog(CommandLinePlatform& platform, std::string path)
    : platform_(platform), path_(std::move(path)), user_(platform.facts.UserName()) {}

bool RunLog::IsLink(const std::string& folder) {
    FoundFile found;
    return platform_.system.files.FindFirst(folder.c_str(), &found) != nullptr &&
           (found.attributes & kFileAttributeReparsePoint) != 0;
}

void RunLog::Open(bool makeDefaultFolders) {
    if (!makeDefaultFolders || CurrentFamily(platform_.system.version) != Family::Nt) {
        return;
    }
    PathText windows;
    if (!ReadWindowsFolder(platform_.system.files, platform_.system.version.AnsiCodePage(),
                           &windows)) {
        return;
    }
    // The log is written with the administrator's rights: a folder that a user could have made
    // a junction or link would have it written wherever that user chose.
    const std::string logs = std::string(windows.c_str()) + "\\Logs";
    for (const std::string& folder : {logs, logs + "\\DrvSweep"}) {
        platform_.outputFiles.MakeAdministratorsFolder(folder.c_str());
        if (IsLink(folder)) {
            platform_.console.WriteError("DrvSweep: the log folder " + folder +
                                         " is a junction or symbolic link; no log is written.\r\n");
            path_.clear();
            return;
        }
    }
}

void RunLog::RotateIfFull(std::size_t adding) {
    OutputFiles& files = platform_.outputFiles;
    const std::int64_t size = files.FileSize(path_.c_str());
    if (size < 0 || size + static_cast<std::int64_t>(adding) <= kLogRotateBytes) {
        return;
    }
    const auto older = [this](int n) { return path_ + "." + std::to_string(n); };
    files.RemoveOutputFile(older(kLogFilesKept - 1).c_str());
    for (int n = kLogFilesKept - 2; n >= 1; --n) {
        files.MoveReplacing(older(n).c_str(), older(n + 1).c_str());
    }
    files.MoveReplacing(path_.c_str(), older(1).c_str());
}

void RunLog::Write(LogType type, const std::string& message) {
    if (path_.empty()) {
        healthy_ = false;
        return;
    }
    std::string line =
        CmTraceLine(message, type, platform_.facts.UtcNow(), user_, platform_.facts.ThreadId());
    RotateIfFull(line.size());
    if (platform_.outputFiles.FileSize(path_.c_str()) <= 0) {
        line = kUtf8Mark + line;
    }
    if (!platform_.outputFiles.AppendToFile(path_.c_str(), line)) {
        healthy_ = false;
    }
}

}  // namespace drvsweep::cli
