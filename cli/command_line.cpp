#include "cli/command_line.h"

#include <cstddef>

namespace drvsweep::cli {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Switch names and words are ASCII: a byte of a two-byte character may fold here, but a text
// holding one never equals an ASCII word, so the fold of paths and names is not needed.
std::string LowerAscii(const std::string& text) {
    std::string lower = text;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

bool IsSwitch(const std::string& argument) {
    return !argument.empty() && (argument[0] == '/' || argument[0] == '-');
}

// A switch as written: its name without the leading character, and the value after ':' or '='
// when it has one.
struct SwitchText {
    std::string name;
    bool hasValue = false;
    std::string value;
};

SwitchText ReadSwitch(const std::string& argument) {
    SwitchText text;
    const std::size_t separator = argument.find_first_of(":=", 1);
    text.name = LowerAscii(
        argument.substr(1, separator == std::string::npos ? std::string::npos : separator - 1));
    if (separator != std::string::npos) {
        text.hasValue = true;
        text.value = argument.substr(separator + 1);
    }
    return text;
}

class Parser {
public:
    Parser(const std::vector<std::string>& arguments, CommandLine* commandLine, std::string* error)
        : arguments_(arguments), line_(*commandLine), error_(*error) {}

    bool Parse() {
        line_ = CommandLine();
        for (index_ = 0; index_ < arguments_.size(); ++index_) {
            const std::string& argument = arguments_[index_];
            if (!(IsSwitch(argument) ? TakeSwitch(ReadSwitch(argument), argument)
                                     : TakeTarget(argument))) {
                return false;
            }
        }
        if (help_) {
            line_ = CommandLine();
            line_.action = Action::Help;
            return true;
        }
        return Check();
    }

private:
    bool Fail(const std::string& message) {
        error_ = message;
        return false;
    }

    bool SetAction(Action action, const std::string& argument) {
        if (actionSeen_) {
            return Fail("only one of /list, /remove, /restore, /backups, /version may be given (" +
                        argument + ")");
        }
        actionSeen_ = true;
        line_.action = action;
        return true;
    }

    // Each switch may be given once: a second one could only contradict the first or be a slip.
    bool Once(const std::string& name) {
        for (const std::string& seen : seen_) {
            if (seen == name) {
                return Fail("/" + name + " is given twice");
            }
        }
        seen_.push_back(name);
        return true;
    }

    // The value after ':' or '=', else the next argument, which must not be a switch.
    bool TakeValue(const SwitchText& text, std::string* value) {
        if (text.hasValue) {
            *value = text.value;
        } else if (index_ + 1 < arguments_.size() && !IsSwitch(arguments_[index_ + 1])) {
            *value = arguments_[++index_];
        } else {
            return Fail("/" + text.name + " needs a value");
        }
        if (value->empty()) {
            return Fail("/" + text.name + " needs a value");
        }
        return true;
    }

    bool TakeFormat(const SwitchText& text) {
        std::string value;
        if (!TakeValue(text, &value)) {
            return false;
        }
        const std::string format = LowerAscii(value);
        if (format == "text") {
            line_.format = ReportFormat::Text;
        } else if (format == "csv") {
            line_.format = ReportFormat::Csv;
        } else if (format == "json") {
            line_.format = ReportFormat::Json;
        } else {
            return Fail("/format takes text, csv or json, not \"" + value + "\"");
        }
        return true;
    }

    bool TakeTimeout(const SwitchText& text) {
        std::string value;
        if (!TakeValue(text, &value)) {
            return false;
        }
        long seconds = 0;
        for (const char c : value) {
            if (c < '0' || c > '9' || seconds > kLongestVendorTimeoutSeconds) {
                seconds = -1;
                break;
            }
            seconds = seconds * 10 + (c - '0');
        }
        if (seconds < 1 || seconds > kLongestVendorTimeoutSeconds) {
            return Fail("/timeout takes a number of seconds from 1 to 86400, not \"" + value +
                        "\"");
        }
        line_.vendorTimeoutSeconds = static_cast<int>(seconds);
        timeoutSeen_ = true;
        return true;
    }

    bool TakeRestart(RestartChoice choice, const std::string& argument) {
        if (restartSeen_) {
            return Fail("only one of /norestart, /restart, /forcerestart may be given (" +
                        argument + ")");
        }
        restartSeen_ = true;
        line_.restart = choice;
        return true;
    }

    bool TakeSwitch(const SwitchText& text, const std::string& argument) {
        const std::string& name = text.name;
        const bool takesValue = name == "format" || name == "out" || name == "log" ||
                                name == "timeout" || name == "backupdir" || name == "restore";
        if (text.hasValue && !takesValue) {
            return Fail(argument + ": /" + name + " takes no value");
        }
        if (name == "?" || name == "help") {
            help_ = true;
            return true;
        }
        if (!Once(name == "q" || name == "s" || name == "silent" || name == "verysilent"
                      ? std::string("quiet")
                      : name)) {
            return false;
        }
        if (name == "list") {
            return SetAction(Action::List, argument);
        }
        if (name == "remove") {
            return SetAction(Action::Remove, argument);
        }
        if (name == "version") {
            return SetAction(Action::Version, argument);
        }
        if (name == "restore") {
            return SetAction(Action::Restore, argument) && TakeValue(text, &line_.restoreFrom);
        }
        if (name == "backups") {
            return SetAction(Action::Backups, argument);
        }
        if (name == "backupdir") {
            return TakeValue(text, &line_.backupFolder);
        }
        if (name == "format") {
            return TakeFormat(text);
        }
        if (name == "out") {
            return TakeValue(text, &line_.outFile);
        }
        if (name == "log") {
            return TakeValue(text, &line_.logFile);
        }
        if (name == "timeout") {
            return TakeTimeout(text);
        }
        if (name == "whatif") {
            line_.whatIf = true;
        } else if (name == "quiet" || name == "q" || name == "s" || name == "silent" ||
                   name == "verysilent") {
            line_.quiet = true;
        } else if (name == "vendor") {
            line_.vendor = true;
        } else if (name == "nobackup") {
            line_.noBackup = true;
        } else if (name == "norestorepoint") {
            line_.noRestorePoint = true;
        } else if (name == "norestart") {
            return TakeRestart(RestartChoice::Never, argument);
        } else if (name == "restart") {
            return TakeRestart(RestartChoice::IfNeeded, argument);
        } else if (name == "forcerestart") {
            return TakeRestart(RestartChoice::Always, argument);
        } else {
            return Fail("unknown switch " + argument);
        }
        return true;
    }

    // A word that is not a switch names what /remove removes, and must follow it.
    bool TakeTarget(const std::string& argument) {
        if (!actionSeen_ || line_.action != Action::Remove) {
            return Fail("\"" + argument + "\" is not a switch; only /remove takes scanners");
        }
        if (LowerAscii(argument) == "all") {
            if (line_.removeAll) {
                return Fail("all is given twice");
            }
            line_.removeAll = true;
        } else {
            line_.devicePaths.push_back(argument);
        }
        return true;
    }

    bool Check() {
        if (!actionSeen_) {
            return Fail("no command: give /list, /remove, /version or /?");
        }
        if (line_.action == Action::Remove) {
            if (!line_.removeAll && line_.devicePaths.empty()) {
                return Fail("/remove needs all or at least one devicePath");
            }
            if (line_.removeAll && !line_.devicePaths.empty()) {
                return Fail("/remove takes all or devicePaths, not both");
            }
            if (timeoutSeen_ && !line_.vendor) {
                return Fail("/timeout applies only with /vendor");
            }
            if (line_.noBackup && !line_.backupFolder.empty()) {
                return Fail("/nobackup and /backupdir do not go together");
            }
            return true;
        }
        if ((line_.action == Action::Restore || line_.action == Action::Backups) &&
            line_.format == ReportFormat::Csv) {
            return Fail(std::string("/format csv does not go with /") + ActionName());
        }
        // The other commands take only the switches their usage shows.
        for (const std::string& name : seen_) {
            if (!Allowed(name)) {
                return Fail("/" + name + " does not go with /" + ActionName());
            }
        }
        return true;
    }

    bool Allowed(const std::string& name) const {
        const bool report = name == "format" || name == "out";
        switch (line_.action) {
            case Action::List:
                return name == "list" || report;
            case Action::Restore:
                return name == "restore" || name == "backupdir" || name == "log" ||
                       name == "quiet" || report;
            case Action::Backups:
                return name == "backups" || name == "backupdir" || report;
            default:
                return name == "version";
        }
    }

    const char* ActionName() const {
        switch (line_.action) {
            case Action::List:
                return "list";
            case Action::Restore:
                return "restore";
            case Action::Backups:
                return "backups";
            default:
                return "version";
        }
    }

    const std::vector<std::string>& arguments_;
    CommandLine& line_;
    std::string& error_;
    std::size_t index_ = 0;
    std::vector<std::string> seen_;
    bool actionSeen_ = false;
    bool restartSeen_ = false;
    bool timeoutSeen_ = false;
    bool help_ = false;
};

}  // namespace

std::vector<std::string> SplitArguments(const char* arguments) {
    std::vector<std::string> split;
    const char* p = arguments;
    while (true) {
        while (IsBlank(*p)) {
            ++p;
        }
        if (*p == '\0') {
            return split;
        }
        std::string argument;
        bool quoted = false;
        while (*p != '\0' && (quoted || !IsBlank(*p))) {
            std::size_t backslashes = 0;
            while (*p == '\\') {
                ++backslashes;
                ++p;
            }
            if (*p == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument += '"';
                } else {
                    quoted = !quoted;
                }
                ++p;
            } else {
                argument.append(backslashes, '\\');
                if (*p != '\0' && (quoted || !IsBlank(*p))) {
                    argument += *p++;
                }
            }
        }
        split.push_back(argument);
    }
}

bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine* commandLine,
                      std::string* error) {
    return Parser(arguments, commandLine, error).Parse();
}

const char* UsageText() {
    return "Usage:\n"
           "  DrvSweep.exe /list [/format text|csv|json] [/out FILE]\n"
           "  DrvSweep.exe /remove all|DEVICEPATH [DEVICEPATH ...] [/whatif] [/quiet]\n"
           "               [/norestart | /restart | /forcerestart] [/vendor [/timeout SECONDS]]\n"
           "               [/log FILE] [/format text|csv|json] [/out FILE]\n"
           "               [/nobackup | /backupdir FOLDER] [/norestorepoint]\n"
           "  DrvSweep.exe /restore FOLDER|last [/backupdir FOLDER] [/log FILE] [/quiet]\n"
           "               [/format text|json] [/out FILE]\n"
           "  DrvSweep.exe /backups [/backupdir FOLDER] [/format text|json] [/out FILE]\n"
           "  DrvSweep.exe /? | /help | /version\n"
           "\n"
           "Switches begin with / or -; a value follows as the next argument or after : or =.\n"
           "/restart restarts only when the removal needs it (3010), /forcerestart after any\n"
           "run that ended with 0 or 3010; programs may save their work. /quiet prefers the\n"
           "maker's quiet uninstaller; where no one could see a window, an interactive one is\n"
           "not started.\n"
           "Before removing, DrvSweep makes a System Restore point and a backup of what it\n"
           "deletes (in %ProgramData%\\DrvSweep\\Backups; the newest ten are kept). /restore\n"
           "puts a backup back; /restore last the newest.\n"
           "Exit codes: 0 done, nothing left, no restart needed; 1 /list found scanners;\n"
           "3010 removed, a restart finishes the removal; 1641 removed, restart started; 1603\n"
           "something is still there or the run failed; 1639 bad command line; 740 not an\n"
           "administrator; 1618 another DrvSweep removes.\n";
}

}  // namespace drvsweep::cli
