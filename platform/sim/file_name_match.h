#pragma once

#include <string>

namespace drvsweep::sim {

// The short name Wine makes up for a name that is not a legal 8.3 name (first four characters,
// '~', three characters of a hash of the name, the first three of the extension, upper case:
// "oem5.infx" is "OEM5~IZ0.INF"), or "" for a name that is its own short name.
std::string ShortFileName(const std::string& name);

// Whether a folder entry matches a FindFirstFileA pattern as Wine matches it: '*' stands for
// any run of characters and '?' for one, case is ignored, '.' and '*' left over at the end of
// the pattern match nothing ("*.*" matches "noext"), and a name also matches through its short
// name ("*.inf" finds "oem5.infx").
bool MatchesFilePattern(const std::string& name, const std::string& pattern);

}  // namespace drvsweep::sim
