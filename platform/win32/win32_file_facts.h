#pragma once

#include "platform/file_facts.h"

namespace drvsweep::win32 {

// File facts through calls bound at run time: SfcIsFileProtected (sfc.dll) and the version
// resource calls of version.dll, each DLL loaded from the system folder for the call and freed
// after it.
class Win32FileFacts : public FileFacts {
public:
    FactAnswer IsProtectedSystemFile(const char* path) override;
    FactAnswer CompanyName(const char* path, std::string* company) override;
};

}  // namespace drvsweep::win32
