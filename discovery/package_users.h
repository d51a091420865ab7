#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "discovery/bus_kind.h"
#include "platform/fixed_text.h"
#include "platform/platform.h"

namespace drvsweep {

// Which INF files the installed devices of other makers use, so that the removal never takes a
// driver package from under them. On the NT family a device uses the INF that its driver key
// below SYSTEM\CurrentControlSet\Control\Class\ names as "InfPath"; a device is the maker's
// when its key below the USB or PC Card tree is one the scans list (IsMakersDeviceKey), its
// instance's class may be a scanner's (ReadDeviceClass) and its "Driver" value names that driver
// key. Any other driver key counts as another maker's device: one that a device of another maker
// names, and one that no device the removal can see names (ownership that cannot be told is never
// the maker's). The 9x family has no such driver keys, and no INF counts as used there.
class PackageUsers {
public:
    // Reads every driver key and the maker's devices' "Driver" values once.
    explicit PackageUsers(Platform& platform);

    // Whether a device that is not the maker's uses the INF at infPath. INF names are compared
    // by their last part, case ignored: the file name an "InfPath" gives, whether bare or a
    // path. True with the driver key ("{class}\NNNN") in *driverKey when one does; true with
    // *driverKey empty when the driver keys could not all be read, so that no INF's users can
    // be told.
    bool IsUsedByOthers(const char* infPath, PathText* driverKey) const;

private:
    void ReadMakersDriverKeys(Platform& platform, BusKind busKind);
    void ReadDriverKeys(Platform& platform, const char* classRoot);
    void ReadDriverKey(Platform& platform, const char* classRoot, const PathText& classKey,
                       const PathText& subkey);

    CodePage codePage_;
    // Upper-cased driver key names that the maker's devices name.
    std::set<std::string> makersDriverKeys_;
    // Per driver key of another maker's device: the upper-cased last part of its InfPath and the
    // driver key's name.
    std::vector<std::pair<std::string, PathText>> othersInfs_;
    bool complete_ = true;
};

}  // namespace drvsweep
