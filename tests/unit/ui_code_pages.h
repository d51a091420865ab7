#pragma once

#include <string>

namespace drvsweep::testing {

// Text converted between code pages with glibc's iconv ("GBK", "BIG5", "UTF-8", ...). Fails
// the current test and returns empty when the text does not convert whole.
std::string ConvertText(const std::string& text, const char* from, const char* to);

}  // namespace drvsweep::testing
