#include "platform/multibyte_text.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/code_page.h"
#include "platform/sim/sim_version.h"

namespace drvsweep {
namespace {

// The code pages as the simulated machine reports them, the way the logic gets them.
CodePage CodePageOf(std::uint32_t id) {
    sim::SimFaults faults;
    sim::SimVersion version(faults);
    EXPECT_TRUE(version.SetAnsiCodePage(id));
    return version.AnsiCodePage();
}

// Characters whose second byte looks like a backslash or a letter: Big5 功 A5 5C, 許 B3 5C,
// 兀 A4 61, 乙 A4 41, 弋 A4 7C; GBK 乗 81 5C, 筡 B9 5C, 乤 81 61, 丄 81 41.
TEST(MultibyteText, LeadBytesOfTheDoubleByteCodePages) {
    for (const std::uint32_t id : {936u, 950u}) {
        SCOPED_TRACE(id);
        const CodePage codePage = CodePageOf(id);
        EXPECT_EQ(codePage.id(), id);
        EXPECT_FALSE(codePage.IsLeadByte(0x80));
        EXPECT_TRUE(codePage.IsLeadByte(0x81));
        EXPECT_TRUE(codePage.IsLeadByte(0xA5));
        EXPECT_TRUE(codePage.IsLeadByte(0xFE));
        EXPECT_FALSE(codePage.IsLeadByte(0xFF));
        EXPECT_FALSE(codePage.IsLeadByte('\\'));
        EXPECT_FALSE(codePage.IsLeadByte('a'));
    }
    const CodePage western = CodePageOf(1252);
    for (unsigned byte = 0; byte < 256; ++byte) {
        EXPECT_FALSE(western.IsLeadByte(static_cast<unsigned char>(byte))) << byte;
    }
    sim::SimFaults faults;
    EXPECT_FALSE(sim::SimVersion(faults).SetAnsiCodePage(932));
}

TEST(MultibyteText, NextCharStepsOverWholeCharacters) {
    const CodePage big5 = CodePageOf(950);
    const char text[] =
        "a\xa5\x5c"
        "b\xa5";  // a 功 b and a lead byte with nothing after it
    EXPECT_EQ(NextChar(big5, text), text + 1);
    EXPECT_EQ(NextChar(big5, text + 1), text + 3);
    EXPECT_EQ(NextChar(big5, text + 3), text + 4);
    EXPECT_EQ(NextChar(big5, text + 4), text + 5);  // the lone lead byte, then the terminator
    EXPECT_EQ(NextChar(big5, text + 5), text + 5);
    EXPECT_EQ(NextChar(CodePageOf(1252), text + 1), text + 2);
}

TEST(MultibyteText, BackslashesAreFoundOnlyAsCharactersOfTheirOwn) {
    const struct {
        std::uint32_t codePage;
        const char* text;
        int firstBackslash;  // -1: none
        bool endsWithBackslash;
        std::size_t withoutTrailing;
    } cases[] = {
        {950, "Maker\\\xa5\x5c", 5, false, 8},      // Maker\功
        {950, "\xa5\x5c\\Model", 2, false, 8},      // 功\Model
        {950, "\xb3\x5c\xa5\x5c", -1, false, 4},    // 許功
        {950, "C:\\\xa5\x5c\\\\", 2, true, 5},      // C:\功 and two backslashes
        {950, "\xa5", -1, false, 1},                // a lone lead byte
        {936, "twain_32\\\x81\x5c", 8, false, 11},  // twain_32\乗
        {936, "\xb9\x5c\\", 2, true, 2},            // 筡 and a backslash
        {1252, "Maker\\\xa5\x5c", 5, true, 7},      // single-byte: 0x5C is a backslash
        {1252, "\\\\", 0, true, 0},
        {950, "", -1, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.codePage) + " " + c.text);
        const CodePage codePage = CodePageOf(c.codePage);
        const char* found = FindFirstBackslash(codePage, c.text);
        EXPECT_EQ(found == nullptr ? -1 : static_cast<int>(found - c.text), c.firstBackslash);
        EXPECT_EQ(EndsWithBackslash(codePage, c.text), c.endsWithBackslash);
        EXPECT_EQ(LengthWithoutTrailingBackslashes(codePage, c.text), c.withoutTrailing);
    }
}

TEST(MultibyteText, UpperCasingLeavesSecondBytesAlone) {
    const struct {
        std::uint32_t codePage;
        const char* text;
        const char* upper;
    } cases[] = {
        {950, "usb\\vid_\xa4\x61x", "USB\\VID_\xa4\x61X"},  // 兀 stays 兀, not 乙 (A4 41)
        {950, "\xa4\x7cz", "\xa4\x7cZ"},                    // 弋
        {936, "\x81\x61pid", "\x81\x61PID"},                // 乤 stays 乤, not 丄 (81 41)
        {936,
         "a\xb9\x5c"
         "b",
         "A\xb9\x5c"
         "B"},
        {1252, "vid_0c6e\xe9", "VID_0C6E\xe9"},  // only ASCII letters change
        {950, "\xa4", "\xa4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.codePage) + " " + c.text);
        std::string text = c.text;
        UpperCaseAscii(CodePageOf(c.codePage), text.data());
        EXPECT_EQ(text, c.upper);
    }
}

// Big5 丕 A5 41 and 仟 A5 61 are two characters whose second bytes look like 'A' and 'a': in
// code page 950 the fold keeps them apart, while in code page 1252 A5 is a character of its own
// and the letter after it folds.
TEST(MultibyteText, TheCaseFoldComparesTwoByteCharactersWhole) {
    const struct {
        std::uint32_t codePage;
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        {950, "oem\xa5\x41.inf", "OEM\xa5\x61.INF", false},
        {950, "oem\xa5\x41.inf", "OEM\xa5\x41.INF", true},
        {936, "\x81\x61pid", "\x81\x41PID", false},  // 乤 and 丄
        {1252, "oem\xa5\x41.inf", "OEM\xa5\x61.INF", true},
        {950, "\xa5", "\xa5\x41", false},  // a lone lead byte, then a whole character
        {950, "usb\\vid", "USB\\VI", false},
        {950, "", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.codePage) + " " + c.a + " " + c.b);
        const CodePage codePage = CodePageOf(c.codePage);
        EXPECT_EQ(EqualsIgnoringCase(codePage, c.a, c.b), c.equal);
        EXPECT_EQ(EqualsIgnoringCase(codePage, c.b, c.a), c.equal);
    }
    const CodePage big5 = CodePageOf(950);
    EXPECT_TRUE(StartsWithIgnoringCase(big5, "10,Twain_32\\x", "10,TWAIN_32"));
    EXPECT_FALSE(StartsWithIgnoringCase(big5, "\xa5\x61x", "\xa5\x41"));
    EXPECT_TRUE(StartsWithIgnoringCase(CodePageOf(1252), "\xa5\x61x", "\xa5\x41"));
    EXPECT_FALSE(StartsWithIgnoringCase(big5, "\xa5\x41", "\xa5"));  // ends within a character
    EXPECT_FALSE(StartsWithIgnoringCase(big5, "oe", "oem"));
}

// The simulation's conversions, which its INF reader and file tree rely on.
TEST(SimCodePage, DoubleByteTextConvertsByCharacter) {
    EXPECT_EQ(sim::AnsiToUtf16(950, "Maker\\\xa5\x5c"), u"Maker\\功");
    EXPECT_EQ(sim::AnsiToUtf16(936, "\x81\x5c\xb9\xa6"), u"乗功");
    EXPECT_EQ(sim::AnsiToUtf16(950, "a\xa5"), u"a?");  // a lead byte with nothing after it
    EXPECT_EQ(sim::Utf16ToAnsi(950, u"功关"), "\xa5\x5c?");
    EXPECT_EQ(sim::Utf16ToAnsi(936, u"功关"), "\xb9\xa6\xb9\xd8");
    EXPECT_EQ(sim::Utf16ToAnsi(1252, u"K\u00e9功"), "K\xe9?");
    std::string name;
    ASSERT_TRUE(sim::HostNameToAnsi("功.ds", 950, &name));
    EXPECT_EQ(name, "\xa5\x5c.ds");
    EXPECT_FALSE(sim::HostNameToAnsi("功", 1252, &name));
}

}  // namespace
}  // namespace drvsweep
