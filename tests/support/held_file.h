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

}  // namespace drvsweep::testing
