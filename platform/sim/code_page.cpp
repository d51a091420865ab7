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

// Converts `in` from one iconv encoding to another; false when a character has no form in the
// target or the input is no valid text of its encoding.
bool Convert(const char* to, const char* from, const std::string& in, std::string* out) {
    const iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    std::string input = in;
    std::vector<char> buffer(in.size() * 2 + 4);
    char* inNext = input.data();
    std::size_t inLeft = input.size();
    char* outNext = buffer.data();
    std::size_t outLeft = buffer.size();
    const bool converted =
        iconv(converter, &inNext, &inLeft, &outNext, &outLeft) != static_cast<std::size_t>(-1) &&
        inLeft == 0;
    iconv_close(converter);
    if (converted) {
        out->assign(buffer.data(), static_cast<std::size_t>(outNext - buffer.data()));
    }
    return converted;
}

std::string IconvName(std::uint32_t codePage) {
    return "CP" + std::to_string(codePage);
}

// A double-byte code page: 936 or 950, whose lead bytes are 0x81 to 0xFE.
bool IsLeadByteOf(std::uint32_t codePage, unsigned char byte) {
    return codePage != 1252 && byte >= 0x81 && byte <= 0xFE;
}

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

std::u16string AnsiToUtf16(std::uint32_t codePage, const std::string& text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (codePage == 1252 || byte < 0x80) {
            wide.push_back(AnsiToUtf16Unit(byte));
            continue;
        }
        const std::size_t length = IsLeadByteOf(codePage, byte) && i + 1 < text.size() ? 2 : 1;
        std::string units;
        if (Convert("UTF-16LE", IconvName(codePage).c_str(), text.substr(i, length), &units) &&
            units.size() == 2) {
            wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(units[0]) |
                                                 static_cast<unsigned char>(units[1]) << 8));
        } else {
            wide.push_back(u'?');
        }
        i += length - 1;
    }
    return wide;
}

std::string Utf16ToAnsi(std::uint32_t codePage, const std::u16string& text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (const char16_t unit : text) {
        if (codePage == 1252 || unit < 0x80) {
            narrow.push_back(Utf16UnitToAnsi(unit));
            continue;
        }
        const std::string units{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        std::string bytes;
        narrow += Convert(IconvName(codePage).c_str(), "UTF-16LE", units, &bytes) ? bytes : "?";
    }
    return narrow;
}

bool HostNameToAnsi(const std::string& name, std::uint32_t codePage, std::string* ansi) {
    return Convert(IconvName(codePage).c_str(), "UTF-8", name, ansi);
}

}  // namespace drvsweep::sim
