#pragma once

#include <cstdint>
#include <string>

#include "cli/command_line_platform.h"

namespace drvsweep::cli {

enum class LogType { Info = 1, Warning = 2, Error = 3 };

// A log file size past which the log is rotated, and the files kept (the current one and the
// older ones named FILE.1 to FILE.4, FILE.1 the newest).
constexpr std::int64_t kLogRotateBytes = 10 * 1024 * 1024;
constexpr int kLogFilesKept = 5;

// One line in the CMTrace format that Intune and Configuration Manager admins read:
// <![LOG[message]LOG]!><time="HH:MM:SS.mmm+000" date="MM-DD-YYYY" component="DrvSweep"
// context="user" type="1|2|3" thread="id" file="">, ended by CRLF. The time is UTC (offset
// +000). Line breaks in the message become blanks and "]LOG]!>" is broken up, so that a text
// from the system can never end the message early or start a line of its own.
std::string CmTraceLine(const std::string& message, LogType type, const UtcTime& time,
                        const std::string& context, std::uint32_t thread);

// The default log: %windir%\Logs\DrvSweep\DrvSweep.log, or %windir%\DrvSweep.log on the 9x
// family; empty when the Windows folder cannot be read.
std::string DefaultLogPath(Platform& system);

// The log of one run, appended to line by line (each line is opened, written and closed, so a
// killed run keeps what it did). A new file starts with the UTF-8 byte-order mark. A log that
// cannot be written loses its lines; the run goes on.
class RunLog {
public:
    RunLog(CommandLinePlatform& platform, std::string path);

    // Makes the default log's folders, administrators-only, when path is the default one; when
    // one of them is a junction or symbolic link, says so on the error stream and writes no log.
    void Open(bool makeDefaultFolders);

    void Write(LogType type, const std::string& message);
    const std::string& path() const { return path_; }
    // Whether every line so far reached the file.
    bool healthy() const { return healthy_; }

private:
    bool IsLink(const std::string& folder);
    void RotateIfFull(std::size_t adding);

    CommandLinePlatform& platform_;
    std::string path_;
    std::string user_;
    bool healthy_ = true;
};

}  // namespace drvsweep::cli
