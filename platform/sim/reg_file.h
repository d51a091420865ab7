#pragma once

#include <string>

#include "platform/sim/sim_registry.h"

namespace drvsweep::sim {

// Loads a .reg file as regedit imports it: a REGEDIT4 or "Windows Registry Editor Version
// 5.00" header, ANSI text or UTF-16LE after a BOM (turned into the ANSI code page), [KEY] and
// [-KEY] lines, "name"= and @= values as strings, dword:, hex: and hex(N): (a hex list may go
// on over lines ending in a backslash), "name"=- to delete a value, ; comments and blank lines.
// Under the Version 5.00 header the bytes of hex(1), hex(2) and hex(7) are UTF-16LE text; such
// text that does not end in a NUL is stored with one added, as regedit stores it.
//
// Where Wine's regedit passes over a bad line with a warning, this loader refuses the file:
// the whole text is checked first, and on a malformed line nothing is changed and *error names
// the line. The string escapes are \\, \", \n, \r and \0.
bool LoadRegText(const std::string& fileBytes, SimRegistry* registry, std::string* error);

// The same for a file of the host.
bool LoadRegFile(const std::string& hostPath, SimRegistry* registry, std::string* error);

}  // namespace drvsweep::sim
