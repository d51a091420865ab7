#pragma once

#include "platform/clock.h"
#include "platform/device_instances.h"
#include "platform/driver_packages.h"
#include "platform/file_facts.h"
#include "platform/file_system.h"
#include "platform/inf_files.h"
#include "platform/programs_power.h"
#include "platform/registry.h"
#include "platform/run_lock.h"
#include "platform/system_restore.h"
#include "platform/version_info.h"

namespace drvsweep {

// The operating system as the logic sees it, grouped as Windows groups its services. It is
// passed explicitly to every operation, so that a test can build a machine of its own.
struct Platform {
    VersionInfo& version;
    Registry& registry;
    InfFiles& inf;
    FileSystem& files;
    DeviceInstances& devices;
    ProgramsAndPower& programs;
    DriverPackages& packages;
    FileFacts& fileFacts;
    RunLock& runLock;
    SystemRestore& systemRestore;
    Clock& clock;
};

}  // namespace drvsweep
