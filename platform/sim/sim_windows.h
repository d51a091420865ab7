#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_devices.h"
#include "platform/sim/sim_driver_packages.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_file_facts.h"
#include "platform/sim/sim_file_tree.h"
#include "platform/sim/sim_inf.h"
#include "platform/sim/sim_programs.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_run_lock.h"
#include "platform/sim/sim_system_restore.h"
#include "platform/sim/sim_version.h"

namespace drvsweep::sim {

// One whole simulated machine: version and language, registry, files, INF reader, devices,
// programs and power, driver packages, the run lock, System Restore and the clock, all failing
// where the shared faults say. It starts as a 32-bit Windows XP (NT family) in language 1033 with
// an empty registry, no devices, no driver packages and the folders C:\ and C:\windows, the
// working directory being C:\.
class SimWindows {
public:
    SimWindows();
    SimWindows(const SimWindows&) = delete;
    SimWindows& operator=(const SimWindows&) = delete;

    Platform& platform() { return platform_; }

    // The version word Wine gives for the family (see SimVersion), and a 32-bit release of it
    // for the driver package calls: Windows XP or Windows 98.
    void SetFamily(Family family);
    // The release, with what depends on it: the driver package calls, the application data
    // folder of all users (none on the 9x family, "All Users\Application Data" on 2000 and XP,
    // C:\ProgramData from Vista on) and whether System Restore is there (from XP on).
    void SetRelease(SimRelease release, bool is64Bit);
    void SetVersion(std::uint32_t version) { version_.SetVersion(version); }
    void SetDefaultLanguage(std::uint16_t language) { version_.SetLanguage(language); }

    SimFaults& faults() { return faults_; }
    SimVersion& version() { return version_; }
    SimRegistry& registry() { return registry_; }
    SimFileTree& files() { return files_; }
    SimInfFiles& inf() { return inf_; }
    SimDevices& devices() { return devices_; }
    SimPrograms& programs() { return programs_; }
    SimDriverPackages& packages() { return packages_; }
    SimFileFacts& fileFacts() { return fileFacts_; }
    SimRunLock& runLock() { return runLock_; }
    SimSystemRestore& systemRestore() { return systemRestore_; }
    SimClock& clock() { return clock_; }

    // What Windows deletes when the computer restarts, in order: on the NT family the paths of
    // PendingFileRenameOperations that have no new name ("\\??\\" taken off), on the 9x family
    // the NUL= lines of the [rename] section of WININIT.INI in the Windows folder.
    std::vector<std::string> PendingDeletions() const;

    // Handles open now: registry keys, INF files, file searches, device information sets and
    // process tokens. Zero once every operation has closed what it opened.
    int openHandles() const;

private:
    SimFaults faults_;
    SimVersion version_;
    SimRegistry registry_;
    SimFileTree files_;
    SimInfFiles inf_;
    SimDevices devices_;
    SimPrograms programs_;
    SimDriverPackages packages_;
    SimFileFacts fileFacts_;
    SimRunLock runLock_{faults_};
    SimSystemRestore systemRestore_{faults_};
    SimClock clock_;
    Platform platform_;
};

}  // namespace drvsweep::sim
