#pragma once

#include "platform/platform.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_devices.h"
#include "platform/win32/win32_driver_packages.h"
#include "platform/win32/win32_file_facts.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_inf.h"
#include "platform/win32/win32_programs.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_run_lock.h"
#include "platform/win32/win32_system_restore.h"
#include "platform/win32/win32_version.h"

namespace drvsweep::win32 {

// The real Windows the program runs on: one of each service, handed to the logic as a
// Platform. The Platform refers to the members, so the object stays where it was made.
class Win32Windows {
public:
    Win32Windows();
    Win32Windows(const Win32Windows&) = delete;
    Win32Windows& operator=(const Win32Windows&) = delete;

    Platform& platform() { return platform_; }

private:
    Win32Version version_;
    Win32Registry registry_;
    Win32InfFiles inf_;
    Win32Files files_;
    Win32Devices devices_;
    Win32Programs programs_;
    Win32DriverPackages packages_;
    Win32FileFacts fileFacts_;
    Win32RunLock runLock_;
    Win32SystemRestore systemRestore_;
    Win32Clock clock_;
    Platform platform_;
};

}  // namespace drvsweep::win32
