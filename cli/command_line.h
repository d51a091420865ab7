#pragma once

#include <string>
#include <vector>

namespace drvsweep::cli {

enum class Action { Help, Version, List, Remove, Restore, Backups };
enum class ReportFormat { Text, Csv, Json };
enum class RestartChoice { Never, IfNeeded, Always };

constexpr int kDefaultVendorTimeoutSeconds = 600;
constexpr int kLongestVendorTimeoutSeconds = 86400;

// A command line as understood.
struct CommandLine {
    Action action = Action::Help;
    ReportFormat format = ReportFormat::Text;
    std::string outFile;
    std::string logFile;
    bool removeAll = false;
    std::vector<std::string> devicePaths;
    bool whatIf = false;
    bool quiet = false;
    bool vendor = false;
    int vendorTimeoutSeconds = kDefaultVendorTimeoutSeconds;
    RestartChoice restart = RestartChoice::Never;
    // /nobackup: the built-in removal writes no backup first.
    bool noBackup = false;
    // /backupdir: the folder of backups instead of the default one.
    std::string backupFolder;
    // /norestorepoint: no System Restore point before the first removal.
    bool noRestorePoint = false;
    // /restore: the backup's folder, or "last" for the newest of the folder of backups.
    std::string restoreFrom;
};

// Splits the arguments part of a Windows command line (the program's name already taken off)
// the way the C runtime builds argv: blanks and tabs separate, double quotes group, and
// backslashes are literal except before a quote, where 2n of them give n and the quote groups,
// while 2n + 1 give n and a literal quote.
std::vector<std::string> SplitArguments(const char* arguments);

// Understands the arguments. False with *error saying what is wrong (in English, for the
// standard error) when they cannot be understood; *commandLine is then unspecified.
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine* commandLine,
                      std::string* error);

// The usage text, ending in a line break.
const char* UsageText();

}  // namespace drvsweep::cli
