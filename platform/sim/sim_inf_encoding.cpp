#include "platform/sim/sim_inf_encoding.h"

#include <cstddef>
#include <cstdint>

#include "platform/sim/code_page.h"

namespace drvsweep::sim {
namespace {

constexpr char16_t kByteOrderMark = 0xFEFF;
constexpr char16_t kReplacement = 0xFFFD;

char16_t Utf16Unit(const std::string& bytes, std::size_t index) {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * index]) |
                                 static_cast<unsigned char>(bytes[2 * index + 1]) << 8);
}

// The guess RtlIsTextUnicode makes with every test enabled, on at most the first 256 units,
// as Wine 8.0 answers it (checked there on 3000 random and text-like buffers).
bool LooksLikeUtf16(const std::string& bytes) {
    std::size_t length = bytes.size();
    if (length < 2 || length % 2 != 0) {
        return false;
    }
    if (bytes[length - 1] == '\0') {
        --length;
    }
    const std::size_t units = std::min<std::size_t>(length / 2, 256);
    const char16_t first = Utf16Unit(bytes, 0);
    bool narrow = false;
    bool control = false;
    std::size_t below256 = 0;
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t unit = Utf16Unit(bytes, i);
        if (unit == 0 || unit == 0x0D00 || unit == 0x0A00 || unit == 0x0900 || unit == 0x2000) {
            return false;  // a NUL character, or controls with their bytes swapped
        }
        narrow = narrow || (unit & 0xFF) == 0 || (unit >> 8) == 0;
        control = control || unit == u'\r' || unit == u'\n' || unit == u'\t' || unit == u' ' ||
                  unit == 0x3000;
        below256 += unit <= 0xFF ? 1 : 0;
    }
    if (first == 0xFFFE) {
        return false;
    }
    return narrow || first == kByteOrderMark || below256 > units / 2 || control;
}

WideText DecodeUtf16(const std::string& bytes) {
    WideText text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size() / 2; ++i) {
        text.push_back(Utf16Unit(bytes, i));
    }
    if (!text.empty() && text[0] == kByteOrderMark) {
        text.erase(0, 1);
    }
    return text;
}

// Strict UTF-8: a byte that does not start a well-formed sequence becomes U+FFFD.
WideText DecodeUtf8(const std::string& bytes, std::size_t from) {
    WideText text;
    std::size_t i = from;
    while (i < bytes.size()) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead >= 0x80 && (lead < 0xC2 || lead > 0xF4)) {
            text.push_back(kReplacement);
            ++i;
            continue;
        }
        const std::size_t extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        const std::uint32_t minimum = extra == 0   ? 0
                                      : extra == 1 ? 0x80
                                      : extra == 2 ? 0x800
                                                   : 0x10000;
        std::uint32_t code = lead & (0x7Fu >> extra);
        bool wellFormed = i + extra < bytes.size();
        for (std::size_t k = 1; wellFormed && k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            wellFormed = (next & 0xC0) == 0x80;
            code = code << 6 | (next & 0x3F);
        }
        if (!wellFormed || code < minimum || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF)) {
            text.push_back(kReplacement);
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            text.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            text.push_back(static_cast<char16_t>(code));
        }
        i += extra + 1;
    }
    return text;
}

char16_t FoldCase(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c;
}

}  // namespace

WideText DecodeInfBytes(std::uint32_t codePage, const std::string& bytes) {
    if (LooksLikeUtf16(bytes)) {
        return DecodeUtf16(bytes);
    }
    if (bytes.size() > 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        return DecodeUtf8(bytes, 3);
    }
    return DecodeAnsi(codePage, bytes);
}

WideText DecodeAnsi(std::uint32_t codePage, const std::string& text) {
    return AnsiToUtf16(codePage, text);
}

std::string EncodeAnsi(std::uint32_t codePage, const WideText& text) {
    return Utf16ToAnsi(codePage, text);
}

bool IsInfSpace(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

bool EqualsIgnoringCase(const WideText& a, const WideText& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return FoldCase(x) == FoldCase(y); });
}

}  // namespace drvsweep::sim
