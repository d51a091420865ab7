#pragma once

#include <cstdint>
#include <memory>

namespace drvsweep {

// A position in an INF file, laid out like the Setup API's INFCONTEXT so that the real
// backend can hand it over unchanged.
struct InfLine {
    void* inf = nullptr;
    void* currentInf = nullptr;
    std::uint32_t section = 0;
    std::uint32_t line = 0;
};

// One INF file opened as a Windows 4 style INF; destroying it closes it (SetupCloseInfFile).
class InfFile {
public:
    virtual ~InfFile() = default;

    // SetupGetLineCountA: the number of lines of the section, below 1 when it is missing.
    virtual long LineCount(const char* section) = 0;

    // SetupFindFirstLineA with no key: the section's first line into *line.
    virtual bool FindFirstLine(const char* section, InfLine* line) = 0;

    // SetupFindNextLine with the same context in and out.
    virtual bool FindNextLine(InfLine* line) = 0;

    // SetupGetLineTextA from a context: the part right of "=", its fields joined by commas,
    // NUL-terminated into text[0, size). False when it does not fit or cannot be read;
    // `text` is not trusted after a failure.
    virtual bool LineText(const InfLine& line, char* text, std::uint32_t size) = 0;

    // SetupGetFieldCount: the number of value fields of the line (the key not counted), 0 when
    // it cannot be read.
    virtual std::uint32_t FieldCount(const InfLine& line) = 0;

    // SetupGetStringFieldA: field `index` of the line (0 is its key, 1 the first value field)
    // with its strings substituted, NUL-terminated into text[0, size). False when the field is
    // missing, does not fit or cannot be read; `text` is not trusted after a failure.
    virtual bool StringField(const InfLine& line, std::uint32_t index, char* text,
                             std::uint32_t size) = 0;
};

class InfFiles {
public:
    virtual ~InfFiles() = default;

    // SetupOpenInfFileA(path, no class, INF_STYLE_WIN4, no error line). Null where the
    // Setup API answers INVALID_HANDLE_VALUE.
    virtual std::unique_ptr<InfFile> OpenWin4(const char* path) = 0;
};

}  // namespace drvsweep
