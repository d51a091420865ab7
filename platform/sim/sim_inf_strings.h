#pragma once

#include "platform/sim/sim_inf_encoding.h"
#include "platform/sim/sim_inf_parser.h"

namespace drvsweep::sim {

// A field's text with its %name% references replaced as the Setup API replaces them when it
// hands out text: from the file's [Strings] section (names in any case, values used as they
// stand, without a second round), else from the directory id the name spells as a decimal
// number, else left as written. "%%" gives "%". A directory id followed by a backslash loses
// its own trailing backslash. The result is cut at 4097 characters.
//
// Directory ids follow Wine 8.0 on a 64-bit machine whose %windir% is C:\windows: 0, -1 and
// 65535 are empty, 1 is `infFolder`, the known system ids name their folders, other ids below
// 16384 name C:\windows\system32\unknown, and ids from 32768 on stay as written. Ids that name
// a user's folders (53 and 16384 to 16447) stay as written here, since the simulated machine
// has no user profile.
WideText SubstituteInfStrings(const ParsedInf& inf, const WideText& field,
                              const WideText& infFolder);

}  // namespace drvsweep::sim
