#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace drvsweep {

// The system's conversions between its ANSI code page and UTF-16, as the .reg text needs them.
class AnsiConversion {
public:
    virtual ~AnsiConversion() = default;
    virtual bool AnsiToUtf16(const std::string& ansi, std::u16string* utf16) = 0;
    virtual bool Utf16ToAnsi(const std::u16string& utf16, std::string* ansi) = 0;
};

// One value: its name ("" for the default value), type and bytes exactly as RegQueryValueExA
// gives them (texts in the ANSI code page with their terminating NULs).
struct RegTextValue {
    std::string name;
    std::uint32_t type = 0;
    std::string bytes;
};

// One key below HKEY_LOCAL_MACHINE, by the path a .reg file gives it, with its values.
struct RegTextKey {
    std::string path;
    std::vector<RegTextValue> values;
};

// REGEDIT4 (the 9x family's regedit: ANSI text) or version 5 (the NT family's: UTF-16LE with a
// byte-order mark, texts of hex(1), hex(2) and hex(7) values in UTF-16LE too).
enum class RegTextFormat { Regedit4, Regedit5 };

// The keys as a file regedit imports: "name"="text" for a text that reads back the same,
// dword: for a four-byte REG_DWORD, hex: for REG_BINARY, hex(N): for everything else, long hex
// lists going on in lines of regedit's width. False, rather than a file that would be imported
// otherwise, when a key path or value name cannot stand in one line, or a text of the keys
// cannot be converted exactly both ways (version 5).
bool WriteRegText(AnsiConversion& conversion, RegTextFormat format,
                  const std::vector<RegTextKey>& keys, std::string* fileBytes);

// Reads such a file back, values byte for byte as written (the format told by the byte-order
// mark). Refused with *error naming the line: anything below another root than
// HKEY_LOCAL_MACHINE, a deletion ("[-key]", "name"=-), a value outside a key, a line that is no
// key, value or comment, a CR without LF or a NUL, a text that does not convert exactly, a
// value over 1 MB, a file over 16 MB.
bool ReadRegText(AnsiConversion& conversion, const std::string& fileBytes,
                 std::vector<RegTextKey>* keys, std::string* error);

}  // namespace drvsweep
