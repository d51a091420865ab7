#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>

namespace drvsweep {

// The system's ANSI code page: the one that registry, file and INF texts arrive in, and which
// of its bytes begin a two-byte character. In the double-byte code pages 936 (GBK) and 950
// (Big5) the second byte of a character may be a backslash (Big5 A5 5C is 功) or an ASCII
// letter (Big5 A4 61 is 兀), so a byte that looks like one must not be taken for it. A
// single-byte code page (1252 and the like) has no lead bytes.
class CodePage {
public:
    CodePage() = default;
    explicit CodePage(std::uint32_t id) : id_(id) {}

    std::uint32_t id() const { return id_; }

    // Marks first to last, both included, as lead bytes (a range of GetCPInfo's LeadByte).
    void AddLeadByteRange(unsigned char first, unsigned char last) {
        for (unsigned byte = first; byte <= last; ++byte) {
            leadBytes_.set(byte);
        }
    }
    bool IsLeadByte(unsigned char byte) const { return leadBytes_.test(byte); }

private:
    std::uint32_t id_ = 1252;
    std::bitset<256> leadBytes_;
};

// The character after the one at `c`, as CharNextExA steps: a lead byte takes the byte after
// it along unless that is the terminator; at the terminator it stays.
const char* NextChar(const CodePage& codePage, const char* c);

// The first backslash that is a character of its own, or nullptr.
const char* FindFirstBackslash(const CodePage& codePage, const char* text);

// Whether the last character of the text is a backslash.
bool EndsWithBackslash(const CodePage& codePage, const char* text);

// The length of the text without the backslashes it ends in.
std::size_t LengthWithoutTrailingBackslashes(const CodePage& codePage, const char* text);

// Upper-cases the ASCII letters that are characters of their own; the second byte of a
// two-byte character stays as it is, whatever it looks like.
void UpperCaseAscii(const CodePage& codePage, char* text);

// Whether a and b are the same text once folded as UpperCaseAscii folds: the one case-blind
// comparison of paths and names. Two two-byte characters are the same only when both their
// bytes are: Big5 A5 41 and A5 61 are two characters, not one in two cases.
bool EqualsIgnoringCase(const CodePage& codePage, const char* a, const char* b);

// Whether the first characters of text are those of prefix, folded as EqualsIgnoringCase folds;
// a prefix that ends within a two-byte character of text does not match.
bool StartsWithIgnoringCase(const CodePage& codePage, const char* text, const char* prefix);

// The part of a path after its last backslash: the file name of a full path or an InfPath
// value, the path itself when it has none.
const char* FileNamePart(const char* path);

}  // namespace drvsweep
