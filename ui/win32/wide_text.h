#pragma once

#include <string>

#include "platform/dialog_host.h"

namespace drvsweep::win32 {

// The text's parts converted from their code pages to UTF-16 (MultiByteToWideChar) and joined,
// for the wide window functions. A part in a code page that the system cannot convert is read
// in the ANSI code page instead, which shows its bytes as stored.
std::wstring ToWide(const DisplayText& text);

}  // namespace drvsweep::win32
