#pragma once

#include <string>
#include <vector>

#include "platform/registry.h"

namespace drvsweep::testing {

// The names of the key's subkeys in enumeration order, or {"open <code>"} when the key does
// not open.
std::vector<std::string> SubkeyNames(Registry& registry, const std::string& path);

}  // namespace drvsweep::testing
