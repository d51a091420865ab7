#pragma once

#include <string>

#include "platform/win32/windows_api.h"
// sddl.h needs the Windows types above.
#include <sddl.h>

namespace drvsweep::testing {

// A SID as its string form ("S-1-5-32-544"), "?" when it cannot be converted.
inline std::string SidText(PSID sid) {
    char* text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text)) {
        return "?";
    }
    std::string copy = text;
    LocalFree(text);
    return copy;
}

}  // namespace drvsweep::testing
