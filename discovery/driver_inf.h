#pragma once

#include <vector>

#include "discovery/maker_package.h"
#include "platform/fixed_text.h"
#include "platform/platform.h"

namespace drvsweep {

// Searches the system's OEM INF files for one whose models sections list hardwareId (case
// ignored, containment). Returns 1 with the INF's full path in *infPath, or 0 with *infPath
// untouched. The working directory is the caller's again on every way out. Every call reads
// the INF folder afresh, until the first INF that lists the device.
int FindDriverInf(Platform& platform, const char* hardwareId, PathText* infPath);

// Looks in the INF folder (the one the search reads) for the file `name`, case ignored, among
// the files that open as INF files. Returns 1 with its full path, as listed, in *infPath, or 0
// with *infPath untouched. Reads the folder afresh, with the working directory kept as above.
int FindInfInFolder(Platform& platform, const char* name, PathText* infPath);

// Reads the scanner's TWAIN data source folder, the name below %windir%\twain_32, from the
// INF's [DestinationDirs] section. *folder is set only on kFolder.
TwainFolderRead ReadTwainFolder(Platform& platform, const char* infPath, PathText* folder);

// The same reading of an INF that is open already.
TwainFolderRead ReadTwainFolderOf(InfFile& inf, const CodePage& codePage, PathText* folder);

// How a bus scan finds a device's INF: with the contracts of FindDriverInf and FindInfInFolder
// above, either by reading the folder each time or from what an earlier lookup of the same scan
// has read.
class DriverInfLookup {
public:
    virtual ~DriverInfLookup() = default;
    virtual int FindDriverInf(const char* hardwareId, PathText* infPath) = 0;
    virtual int FindInfInFolder(const char* name, PathText* infPath) = 0;
    // Every INF of the folder that lists a hardware ID of the maker, in listing order, whether
    // or not a device of the machine uses it.
    virtual std::vector<MakerPackage> MakerPackages() = 0;
    // ReadTwainFolder of an INF, which a lookup may answer from what it has read.
    virtual TwainFolderRead ReadTwainFolder(const char* infPath, PathText* folder) = 0;
};

// Every lookup reads the INF folder afresh.
class UncachedInfLookup : public DriverInfLookup {
public:
    explicit UncachedInfLookup(Platform& platform) : platform_(platform) {}
    int FindDriverInf(const char* hardwareId, PathText* infPath) override {
        return drvsweep::FindDriverInf(platform_, hardwareId, infPath);
    }
    int FindInfInFolder(const char* name, PathText* infPath) override {
        return drvsweep::FindInfInFolder(platform_, name, infPath);
    }
    // Reads the folder afresh, in one pass of its own.
    std::vector<MakerPackage> MakerPackages() override;
    TwainFolderRead ReadTwainFolder(const char* infPath, PathText* folder) override {
        return drvsweep::ReadTwainFolder(platform_, infPath, folder);
    }

private:
    Platform& platform_;
};

}  // namespace drvsweep
