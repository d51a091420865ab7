#include "platform/sim/code_page.h"

#include <iconv.h>

#include <vector>

namespace drvsweep::sim {

namespace {

// Code page 1252 at 0x80 to 0x9F, as in Windows' table.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

char16_t AnsiToUtf16Unit(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
}

char Utf16UnitToAnsi(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
        return static_cast<char>(unit);
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == unit) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

std::string Utf16LeToAnsi(const std::string& bytes) {
    std::string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto low = static_cast<unsigned char>(bytes[i]);
        const auto high = static_cast<unsigned char>(bytes[i + 1]);
        text.push_back(Utf16UnitToAnsi(static_cast<char16_t>(low | (high << 8))));
    }
    return text;
}

bool HostNameToAnsi(const std::string& name, std::uint32_t codePage, std::string* ansi) {
    const std::string target = "CP" + std::to_string(codePage);
    const iconv_t converter = iconv_open(target.c_str(), "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    // Two bytes a character at most, and never more bytes than UTF-8 takes.
    std::string in = name;
    std::vector<char> out(name.size() + 1);
    char* inNext = in.data();
    std::size_t inLeft = in.size();
    char* outNext = out.data();
    std::size_t outLeft = out.size();
    const bool converted =
        iconv(converter, &inNext, &inLeft, &outNext, &outLeft) != static_cast<std::size_t>(-1) &&
        inLeft == 0;
    iconv_close(converter);
    if (converted) {
        ansi->assign(out.data(), static_cast<std::size_t>(outNext - out.data()));
    }
    return converted;
}

}  // namespace drvsweep::sim
