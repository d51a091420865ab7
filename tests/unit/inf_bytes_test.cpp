#include "discovery/inf_bytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "discovery/models_lines.h"
#include "platform/sim/sim_windows.h"

namespace drvsweep {
namespace {

constexpr char kHead[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n%Mfg%=Models\r\n[Models]\r\n";

// The text as UTF-16LE, each byte of `text` one character, except that "\xEF\xBC" followed by
// a byte b stands for the full-width form U+FF00+b and "\xE6\x89" followed by b for U+6200+b.
std::string Utf16(const std::string& text, bool byteOrderMark) {
    std::string bytes = byteOrderMark ? "\xFF\xFE" : "";
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned unit = static_cast<unsigned char>(text[i]);
        if ((unit == 0xEF || unit == 0xE6) && i + 2 < text.size()) {
            unit = (unit == 0xEF ? 0xFF00u : 0x6200u) + static_cast<unsigned char>(text[i + 2]);
            i += 2;
        }
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

// Whether a models line, as the simulated Setup API reads it, holds the token (case ignored).
bool SetupApiModelsLinesHold(const std::string& bytes, const char* token) {
    sim::SimWindows machine;
    machine.files().AddFile("C:\\windows\\inf\\case.inf", bytes);
    std::unique_ptr<InfFile> inf = machine.platform().inf.OpenWin4("C:\\windows\\inf\\case.inf");
    PathText upper;
    if (!inf || !ModelsPattern(machine.platform().version.AnsiCodePage(), token, &upper)) {
        return false;
    }
    const CodePage codePage = machine.platform().version.AnsiCodePage();
    return VisitModelsSections(*inf, [&](const PathText& section) {
        return VisitModelsLines(*inf, codePage, section.c_str(),
                                [&](const PathText& text, const InfLine&) {
                                    return std::strstr(text.c_str(), upper.c_str()) != nullptr;
                                });
    });
}

struct Case {
    const char* name;
    std::string bytes;
    const char* token;
    bool mayName;
    const char* windowsFolder = "C:\\WINDOWS";
};

// Never false where the Setup API's models lines hold the token; false where nothing in the
// bytes can put it together.
TEST(InfBytesMayName, FindsEveryTokenTheSetupApiCanReadAndPassesOverTheRest) {
    const std::string head = kHead;
    const std::string longToken(64, 'A');
    const Case cases[] = {
        {"in another case", head + "%D%=I,usb\\vid_0c6e&pid_0001\r\n", "VID_0C6E", true},
        {"another maker", head + "%D%=I,USB\\VID_04B8&PID_0001\r\n[Strings]\r\nD=\"Scanner\"\r\n",
         "VID_0C6E", false},
        {"from [Strings]", head + "%D%=I,USB\\%Id%\r\n[Strings]\r\nId=\"vid_0c6e&PID_1\"\r\n",
         "VID_0C6E", true},
        {"a value after text", head + "%D%=I,USB\\VID_%V%&PID_1\r\n[Strings]\r\nV=\"0C6E\"\r\n",
         "VID_0C6E", true},
        {"a value before text", head + "%D%=I,USB\\%V%_0C6E\r\n[Strings]\r\nV=\"VID\"\r\n",
         "VID_0C6E", true},
        {"two values side by side", head + "%D%=I,%A%%B%\r\n[Strings]\r\nA=QUO\r\nB=RIN\r\n",
         "QUORIN", true},
        {"values in fields of their own",
         head + "%D% = I, \"%A%\" ,%B%\r\n[Strings]\r\nA=QUO\r\nB=RIN\r\nMfg=\"%Other%\"\r\n",
         "QUORIN", false},
        {"an escaped percent", head + "%D%=I,QUO%%RIN\r\n", "QUORIN", false},
        {"a continued line", head + "%D%=I,USB\\VID_0C\\\r\n   6E&PID_1\r\n", "VID_0C6E", true},
        {"continued after a comment", head + "%D%=I,USB\\VID_0C \\ ; note\r\n6E\r\n", "VID_0C6E",
         true},
        {"a backslash that stays", head + "%D%=I,USB\\VID_0C\\6E\r\n", "VID_0C6E", false},
        {"quotes", head + "%D%=I,\"USB\\VID_\"0C6E\r\n", "VID_0C6E", true},
        {"a system folder", head + "%D%=I,%11%\\VID_04B8\r\n", "VID_0C6E", false},
        {"a system folder's name", head + "%D%=I,%11%\\VID_04B8\r\n", "system32", true},
        {"a Windows folder of the token", head + "%D%=I,%10%\r\n", "QUORIN", true, "C:\\QUORIN"},
        {"the user's profile", head + "%D%=I,%53%\r\n", "QUORIN", true},
        {"the INF's own folder", head + "%D%=I,%1%\\X\r\n", "QUORIN", true},
        {"a lone percent", "; 5% more\r\n" + head + "%D%=I,USB\\VID_04B8\r\n", "QUORIN", true},
        {"a layout file", head + "%D%=I,X\r\n[Version]\r\nLayoutFile=layout.inf\r\n", "QUORIN",
         true},
        {"no [Version] section", "[Manufacturer]\r\nQ=Models\r\n[Models]\r\nX=I,VID_0C6E\r\n",
         "VID_0C6E", false},
        {"UTF-16LE", Utf16(head + "%D%=I,USB\\VID_0c6e\r\n", true), "VID_0C6E", true},
        {"UTF-16LE, no mark", Utf16(head + "%D%=I,USB\\VID_0C6E\r\n", false), "VID_0C6E", true},
        {"UTF-16LE, another maker",
         Utf16(head + "%D%=I,USB\\VID_04B8\r\n[Strings]\r\nD=\"Scanner\"\r\n", true), "VID_0C6E",
         false},
        {"UTF-16LE, full-width letters",
         Utf16(head + "%D%=I,\xEF\xBC\x31\xEF\xBC\x35\xEF\xBC\x2F\xEF\xBC\x32\xEF\xBC\x29"
                      "\xEF\xBC\x2E\r\n",
               true),
         "QUORIN", true},
        {"UTF-16LE, ideographs",
         Utf16(head + "%D%=I,USB\\VID_04B8\r\n[Strings]\r\nD=\"\xE6\x89\x2B\xE6\x89\x2B"
                      "\xE6\x89\x2B\xE6\x89\x2B\xE6\x89\x2B\xE6\x89\x2B\"\r\n",
               true),
         "QUORIN", false},
        {"UTF-8, characters beyond ASCII",
         "\xEF\xBB\xBF" + head + "%D%=I,\xC3\x9C\xC3\x9C\xC3\x9C\xC3\x9C\xC3\x9C\xC3\x9C\r\n",
         "QUORIN", true},
        {"an empty token", head + "%D%=I,X\r\n", "", true},
        {"a token with a blank", head + "%D%=I,X\r\n", "A B", true},
        {"a token of 64 characters", head + "%D%=I,X\r\n", longToken.c_str(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const InfBytes bytes(c.bytes, c.windowsFolder);
        EXPECT_EQ(InfBytesMayName(bytes, c.token), c.mayName);
        if (SetupApiModelsLinesHold(c.bytes, c.token)) {
            EXPECT_TRUE(InfBytesMayName(bytes, c.token));
        }
    }
}

}  // namespace
}  // namespace drvsweep
