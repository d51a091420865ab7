#pragma once

#include <string>

#include "platform/win32/scoped_handle.h"

namespace drvsweep::testing {

// A file_holder process (tests/wine/file_holder.cpp, named by DRVSWEEP_FILE_HOLDER) that holds
// a file open without delete sharing, as a scanning program holds its driver, and lets it go
// when this object goes.
class HeldFile {
public:
    HeldFile() = default;
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    ~HeldFile();

    // Starts the holder on the file; true once it holds it.
    bool Hold(const std::string& path);

private:
    win32::ScopedKernelHandle input_;
    win32::ScopedKernelHandle process_;
};

// A file of the system folder as the x86-64 program that does the removal names it. The x86
// test's system32 is syswow64 to it: there DrvSweep.exe hands the run over to the x86-64 program,
// and the file the test holds below system32 is the 32-bit copy.
inline std::string SystemFileOfTheRemoval(const std::string& name) {
    return (sizeof(void*) == 8 ? "C:\\windows\\system32\\" : "C:\\windows\\syswow64\\") + name;
}

}  // namespace drvsweep::testing
