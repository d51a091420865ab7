#pragma once

#include "platform/fixed_text.h"
#include "platform/platform.h"

namespace drvsweep {

// Searches the system's OEM INF files for one whose models sections list hardwareId (case
// ignored, containment). Returns 1 with the INF's full path in *infPath, or 0 with *infPath
// untouched. The working directory is the caller's again on every way out. Every call reads
// the INF folder afresh, until the first INF that lists the device.
int FindDriverInf(Platform& platform, const char* hardwareId, PathText* infPath);

// Reads the scanner's TWAIN data source folder, the name below %windir%\twain_32, from the
// INF's [DestinationDirs] section. Returns 1 with *folder set only when that name is one the
// removal may safely delete; otherwise 0 with *folder untouched.
int ReadTwainFolder(Platform& platform, const char* infPath, PathText* folder);

// How a bus scan finds a device's INF: with the contract of FindDriverInf above, either by
// the search itself or from what an earlier lookup of the same scan has read.
class DriverInfLookup {
public:
    virtual ~DriverInfLookup() = default;
    virtual int FindDriverInf(const char* hardwareId, PathText* infPath) = 0;
};

// Every lookup is the search above, reading the INF folder afresh.
class UncachedInfLookup : public DriverInfLookup {
public:
    explicit UncachedInfLookup(Platform& platform) : platform_(platform) {}
    int FindDriverInf(const char* hardwareId, PathText* infPath) override {
        return drvsweep::FindDriverInf(platform_, hardwareId, infPath);
    }

private:
    Platform& platform_;
};

}  // namespace drvsweep
