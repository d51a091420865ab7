#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace drvsweep {

// An INF file's bytes, read once and prepared for InfBytesMayName: in every reading the Setup
// API may give them that holds the [Version] section's name (the ANSI code page; UTF-16LE, with
// or without a byte order mark; UTF-8 after its byte order mark), with the
// joins its parser makes (quotes dropped, a line ended by a backslash joined to the next) and
// what its %string% and %directory id% references could put together.
class InfBytes {
public:
    // `windowsFolder`: the machine's Windows folder, which the Setup API's directory ids of the
    // system's folders (%10%, %11%, %17%, ...) stand for or lie below.
    InfBytes(const std::string& bytes, const char* windowsFolder);

private:
    friend bool InfBytesMayName(const InfBytes& bytes, const char* token);

    // One reading, upper-cased, with the parser's joins made: ASCII characters as themselves,
    // kWild for a character that the conversion to the ANSI code page may turn into an ASCII
    // one or drop, kOther for one that it cannot.
    struct Reading {
        std::string symbols;
        // The characters found right outside a %reference%, by their byte value.
        std::vector<bool> besideReference = std::vector<bool>(256, false);
        // Something that may put any text together: a word with an odd number of '%', two
        // references side by side, a directory id of no system folder, a layout file named.
        bool mayNameAnything = false;
        // Whether the symbols hold a wildcard; without one a plain search finds the token.
        bool wild = false;
        // A directory id of a system folder is referred to.
        bool systemFolderReference = false;
    };

    void AddReading(const std::string& decoded);
    // The references of the word [begin, end) of the reading's text, whose '%' are at
    // `percents`.
    static void AddReferences(const std::string& text, std::size_t begin, std::size_t end,
                              const std::vector<std::size_t>& percents, Reading* reading);
    static void MarkBeside(char c, Reading* reading);

    std::vector<Reading> readings_;
    // The upper-cased paths that the system folders' directory ids stand for, each ended by a
    // NUL.
    std::string systemFolders_;
};

// Whether the INF may name `token` (ASCII case ignored): false only when no line text, key or
// field that the Setup API reads from these bytes, opened as a Windows 4 style INF, can hold it. A
// token that cannot be judged this way (empty, longer than 63 characters, or holding a blank, a
// character outside printable ASCII or one of " % , ; = [ ]) always may be named.
bool InfBytesMayName(const InfBytes& bytes, const char* token);

}  // namespace drvsweep
