#include "platform/sim/sim_run_facts.h"

#include <iconv.h>

#include <cstring>
#include <vector>

namespace drvsweep::sim {

namespace {

const char* CodePageName(std::uint16_t language) {
    switch (language) {
        case 2052:
            return "GBK";
        case 1028:
        case 3076:
            return "BIG5";
        default:
            return "CP1252";
    }
}

}  // namespace

std::u16string SimRunFacts::AnsiToUtf16(const char* bytes) {
    const iconv_t converter = iconv_open("UTF-16LE", CodePageName(version_.DefaultLanguage()));
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return std::u16string();
    }
    std::vector<char> input(bytes, bytes + std::strlen(bytes));
    std::vector<char> output(input.size() * 4 + 4);
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    // A byte that the code page does not define stops the conversion there, as
    // MultiByteToWideChar would answer with a default character: what came before is kept.
    iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    std::u16string text;
    for (std::size_t i = 0; i + 1 < output.size() - outLeft; i += 2) {
        text += static_cast<char16_t>(static_cast<unsigned char>(output[i]) |
                                      (static_cast<unsigned char>(output[i + 1]) << 8));
    }
    return text;
}

}  // namespace drvsweep::sim
