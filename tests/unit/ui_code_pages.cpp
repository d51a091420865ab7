#include "tests/unit/ui_code_pages.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <vector>

namespace drvsweep::testing {

std::string ConvertText(const std::string& text, const char* from, const char* to) {
    const iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        ADD_FAILURE() << "iconv cannot convert from " << from << " to " << to;
        return std::string();
    }
    std::vector<char> input(text.begin(), text.end());
    std::vector<char> output(text.size() * 4 + 4);
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0) {
        ADD_FAILURE() << "\"" << text << "\" does not convert from " << from << " to " << to;
        return std::string();
    }
    return std::string(output.data(), output.size() - outLeft);
}

}  // namespace drvsweep::testing
