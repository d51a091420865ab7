#include "platform/sim/ascii_case.h"

#include <algorithm>

namespace drvsweep::sim {

namespace {

unsigned char Lower(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

unsigned char Upper(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

template <typename Fold>
bool FoldedLess(const std::string& a, const std::string& b, Fold fold) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [fold](char x, char y) { return fold(x) < fold(y); });
}

}  // namespace

bool LowerCaseLess::operator()(const std::string& a, const std::string& b) const {
    return FoldedLess(a, b, Lower);
}

bool UpperCaseLess::operator()(const std::string& a, const std::string& b) const {
    return FoldedLess(a, b, Upper);
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

}  // namespace drvsweep::sim
