#pragma once

#include "platform/dll_search_path.h"

namespace drvsweep::win32 {

// The DLL search calls of the real Windows, looked up in kernel32 at run time so that the x86
// program still loads on Windows 98 SE and 2000, which have neither.
class Win32DllSearchPath : public DllSearchPath {
public:
    ExportCall SearchSystemFolderOnly() override;
    ExportCall LeaveCurrentFolderOut() override;
};

}  // namespace drvsweep::win32
