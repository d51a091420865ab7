#pragma once

#include <string>
#include <vector>

#include "platform/multibyte_text.h"

namespace drvsweep {

// The [rename] section of WININIT.INI, which the 9x family works through when it starts, before
// any program can hold a file: a line "NUL=<short path>" deletes that entry. The section holds
// many lines with the same key, which the profile-string calls cannot write or read, so the text
// is handled here, in the system's code page. Section names and keys compare without case;
// blanks around them and around the value are passed over; lines end in CR LF or LF.

// The paths of the section's NUL= lines, in order, as written.
std::vector<std::string> WininitDeletions(const CodePage& codePage, const std::string& text);

// The text with the line "NUL=<shortPath>" (ending in CR LF) after the last non-blank line of
// the first [rename] section, or with the section added at the end when there is none; every
// other byte stays as it was. The text comes back unchanged when the section already holds a
// NUL= line for that path.
std::string AddWininitDeletion(const CodePage& codePage, const std::string& text,
                               const std::string& shortPath);

}  // namespace drvsweep
