#pragma once

#include <memory>

#include "platform/inf_files.h"

namespace drvsweep::win32 {

// The Setup API's INF reader: Windows 4 style INF files opened with SetupOpenInfFileA and
// closed with SetupCloseInfFile when the InfFile goes.
class Win32InfFiles : public InfFiles {
public:
    Win32InfFiles() = default;

    std::unique_ptr<InfFile> OpenWin4(const char* path) override;
};

}  // namespace drvsweep::win32
