#pragma once

#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

// The security of a folder that only administrators can write: owner Administrators and a
// protected DACL (nothing inherited from the parent) giving full control to Administrators and
// SYSTEM, inherited by files and folders below, and nothing to anyone else. The functions are
// looked up at run time, since the x86 program also loads on 98 SE, whose advapi32 lacks them.
class AdministratorsOnlySecurity {
public:
    AdministratorsOnlySecurity();
    ~AdministratorsOnlySecurity();
    AdministratorsOnlySecurity(const AdministratorsOnlySecurity&) = delete;
    AdministratorsOnlySecurity& operator=(const AdministratorsOnlySecurity&) = delete;

    // For CreateDirectoryA; null when the descriptor could not be built (9x, NT 4).
    SECURITY_ATTRIBUTES* attributes() {
        return attributes_.lpSecurityDescriptor == nullptr ? nullptr : &attributes_;
    }

private:
    SECURITY_ATTRIBUTES attributes_{};
};

// CreateDirectoryA with that security: true also when the folder is already there, whatever
// protects it; false, with nothing made, when the descriptor cannot be built.
bool MakeAdministratorsOnlyFolder(const char* path);

}  // namespace drvsweep::win32
