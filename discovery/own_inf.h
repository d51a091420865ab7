#pragma once

#include "discovery/driver_inf.h"
#include "platform/fixed_text.h"
#include "platform/platform.h"
#include "platform/text_reads.h"

namespace drvsweep {

// Whether `name` is a bare INF file name, "<stem>.inf" in any case: no folder, drive or stream
// part, so that it can only name a file of the folder it is looked for in. A double-byte
// character whose second byte is a backslash counts as a separator here, which only ever
// refuses.
bool IsBareInfName(const CodePage& codePage, const char* name);

// Whether `name` is a bare INF file name that begins with "oem" in any case, as the name of
// every OEM INF Windows installs does.
bool IsBareOemInfName(const CodePage& codePage, const char* name);

// The INF Windows installed a device instance from, on the NT family: the instance key's
// "Driver" value names its driver key below SYSTEM\CurrentControlSet\Control\Class\, whose
// "InfPath" names the INF. kRead with the INF's full path in *infPath when that is a bare OEM
// INF name of a file the lookup finds in the INF folder; kFailed when a registry read failed
// (a value or key that is not there is no failure); otherwise (the 9x family included)
// kNotThere. *infPath is untouched but on kRead.
RegistryRead FindOwnInf(Platform& platform, RegistryKey& instanceKey, DriverInfLookup& lookup,
                        PathText* infPath);

}  // namespace drvsweep
