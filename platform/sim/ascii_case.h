#pragma once

#include <string>

namespace drvsweep::sim {

// Case-insensitive orders of ANSI names, ASCII letters folded, other bytes compared as they
// are. Wine keeps registry subkeys in lower-case order and lists folders in upper-case order,
// which differ for the characters between 'Z' and 'a' ("[x" comes before "A" in the registry
// but after "Z" in a folder listing); each tree uses the order Wine shows for it.
struct LowerCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

struct UpperCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

bool EqualIgnoringCase(const std::string& a, const std::string& b);

}  // namespace drvsweep::sim
