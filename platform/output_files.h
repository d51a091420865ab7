#pragma once

#include <cstdint>
#include <string>

namespace drvsweep {

// The files a command-line run writes: its report (/out) and its log. Paths are ANSI, as the
// command line gives them.
class OutputFiles {
public:
    virtual ~OutputFiles() = default;

    // Creates or empties the file and writes the bytes.
    virtual bool WriteWholeFile(const char* path, const std::string& bytes) = 0;

    // Appends the bytes at the end of the file, creating it when it is missing; the file is
    // opened and closed around each call, so that what was written stays if the run is killed.
    virtual bool AppendToFile(const char* path, const std::string& bytes) = 0;

    // The file's size in bytes, or -1 when it does not exist or cannot be read.
    virtual std::int64_t FileSize(const char* path) = 0;

    // Moves a file over any file of the target name; deletes a file.
    virtual bool MoveReplacing(const char* from, const char* to) = 0;
    virtual bool RemoveOutputFile(const char* path) = 0;

    // CreateDirectoryA with a security descriptor of its own: owner Administrators and a
    // protected DACL giving full control to Administrators and SYSTEM alone, inherited by what
    // the folder holds. True also when the folder is already there, whatever protects it; false,
    // with nothing made, when the descriptor cannot be built (the 9x family has none).
    virtual bool MakeAdministratorsFolder(const char* path) = 0;
};

}  // namespace drvsweep
