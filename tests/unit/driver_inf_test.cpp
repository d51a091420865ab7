#include "discovery/driver_inf.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_windows.h"

namespace drvsweep {
namespace {

std::string Inf(const std::string& manufacturerLine, const std::string& models,
                const std::string& destinationDirs = "Tw=10,twain_32\\Sample") {
    return "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n" + manufacturerLine +
           "\r\n[Models]\r\n" + models + "\r\n[DestinationDirs]\r\n" + destinationDirs +
           "\r\n[Strings]\r\nMfg=\"Quorin\"\r\n";
}

class DriverInfTest : public ::testing::Test {
protected:
    void SetUp() override {
        machine.files().AddFolder("C:\\work");
        ASSERT_TRUE(machine.files().SetCurrentFolder("C:\\work"));
        ASSERT_TRUE(sentinel.assign("untouched"));
    }

    void AddInf(const std::string& name, const std::string& text) {
        machine.files().AddFile("C:\\windows\\inf\\" + name, text);
    }

    // Runs the lookup and checks what must hold on every way out of it.
    int Find(const char* hardwareId) {
        found = sentinel;
        const int result = FindDriverInf(machine.platform(), hardwareId, &found);
        EXPECT_EQ(machine.files().currentFolder(), "C:\\work");
        EXPECT_EQ(machine.openHandles(), 0);
        if (result == 0) {
            EXPECT_EQ(found, sentinel) << "a failed lookup leaves the output alone";
        }
        return result;
    }

    sim::SimWindows machine;
    PathText sentinel;
    PathText found;
};

TEST_F(DriverInfTest, TheHardwareIdIsFoundByContainmentWithCaseIgnored) {
    AddInf("oem1.inf", Inf("%Mfg%=Models", "%D%=Install,usb\\vid_0c6e&pid_0001&rev_0100"));
    EXPECT_EQ(Find("USB\\VID_0C6E&PID_0001"), 1);
    EXPECT_STREQ(found.c_str(), "C:\\windows\\inf\\oem1.inf");
    EXPECT_EQ(Find("USB\\Vid_0c6e&Pid_0001"), 1);
    EXPECT_EQ(Find("USB\\VID_0C6E&PID_0002"), 0);
}

TEST_F(DriverInfTest, TheFirstInfInTheListingWins) {
    AddInf("oem2.inf", Inf("%Mfg%=Models", "%D%=Install,USB\\VID_0C6E&PID_0001"));
    AddInf("oem10.inf", Inf("%Mfg%=Models", "%D%=Install,USB\\VID_0C6E&PID_0001"));
    EXPECT_EQ(Find("USB\\VID_0C6E&PID_0001"), 1);
    EXPECT_STREQ(found.c_str(), "C:\\windows\\inf\\oem10.inf");
}

TEST_F(DriverInfTest, OnlyTheFamilysFolderAndPatternAreSearched) {
    AddInf("mydriver.inf", Inf("%Mfg%=Models", "%D%=Install,USB\\VID_0C6E&PID_0001"));
    AddInf("other\\oem1.inf", Inf("%Mfg%=Models", "%D%=Install,USB\\VID_0C6E&PID_0002"));
    AddInf("other\\scanner.inf", Inf("%Mfg%=Models", "%D%=Install,USB\\VID_0C6E&PID_0003"));
    machine.files().AddFolder("C:\\windows\\inf\\oemfolder.inf");
    EXPECT_EQ(Find("USB\\VID_0C6E&PID_0001"), 0);
    EXPECT_EQ(Find("USB\\VID_0C6E&PID_0002"), 0);

    machine.SetFamily(Family::Win9x);
    EXPECT_EQ(Find("USB\\VID_0C6E&PID_0001"), 0);
    EXPECT_EQ(Find("USB\\VID_0C6E&PID_0003"), 1);
    EXPECT_STREQ(found.c_str(), "C:\\windows\\inf\\other\\scanner.inf");
}

// A [Manufacturer] line's first field names the undecorated models section and every further
// field a decorated one, whatever the architecture; all of them are searched.
TEST_F(DriverInfTest, EveryModelsSectionALineNamesIsSearched) {
    AddInf("oem1.inf",
           "[Version]\r\nSignature=$Windows NT$\r\n[Manufacturer]\r\n"
           "%Mfg% = Quorin, NTx86, NTamd64.10.0...16299, NTarm64\r\nOther=Missing\r\n"
           "%Mfg%=Second\r\nThird,,NTia64\r\n\"%Mfg%\"\r\n"
           "[Quorin]\r\nD=I,USB\\VID_0C6E&PID_0001\r\n"
           "[Quorin.NTx86]\r\nD=I,USB\\VID_0C6E&PID_0002\r\n"
           "[quorin.ntamd64.10.0...16299]\r\nD=I,USB\\VID_0C6E&PID_0003\r\n"
           "[Quorin.NTarm64]\r\nD=I,USB\\VID_0C6E&PID_0004\r\n"
           "[second]\r\nD=I,USB\\VID_0C6E&PID_0005\r\n"
           "[Third.NTia64]\r\nD=I,USB\\VID_0C6E&PID_0006\r\n"
           "[Quorin, Inc.]\r\nD=I,USB\\VID_0C6E&PID_0007\r\n"
           "[Quorin.NTamd64]\r\nD=I,USB\\VID_0C6E&PID_0008\r\n"
           "[Strings]\r\nMfg=\"Quorin, Inc.\"\r\n");
    for (const char* id :
         {"USB\\VID_0C6E&PID_0001", "USB\\VID_0C6E&PID_0002", "USB\\VID_0C6E&PID_0003",
          "USB\\VID_0C6E&PID_0004", "USB\\VID_0C6E&PID_0005", "USB\\VID_0C6E&PID_0006",
          "USB\\VID_0C6E&PID_0007"}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(Find(id), 1);
    }
    EXPECT_EQ(Find("USB\\VID_0C6E&PID_0008"), 0)
        << "only the decoration as written names a section";

    // A line whose fields cannot be counted or read names nothing, and the walk goes on.
    for (const char* call : {"SetupGetFieldCount", "SetupGetStringFieldA"}) {
        SCOPED_TRACE(call);
        machine.faults().Clear();
        machine.faults().Add({call, "", 5, 0, 1});
        EXPECT_EQ(Find("USB\\VID_0C6E&PID_0001"), 0);
        EXPECT_EQ(Find("USB\\VID_0C6E&PID_0005"), 1);
    }
}

TEST_F(DriverInfTest, AnInfThatDoesNotOpenIsPassedOver) {
    AddInf("oem1.inf", "[Manufacturer]\r\nQ=Models\r\n[Models]\r\nD=I,USB\\VID_0C6E&PID_0001\r\n");
    AddInf("oem2.inf", Inf("%Mfg%=Models", "%D%=Install,USB\\VID_0C6E&PID_0001"));
    EXPECT_EQ(Find("USB\\VID_0C6E&PID_0001"), 1);
    EXPECT_STREQ(found.c_str(), "C:\\windows\\inf\\oem2.inf");

    machine.faults().Add({"SetupOpenInfFileA", "oem2.inf"});
    EXPECT_EQ(Find("USB\\VID_0C6E&PID_0001"), 0);
}

TEST_F(DriverInfTest, EveryFailingCallEndsInTheCallersFolder) {
    AddInf("oem1.inf", Inf("%Mfg%=Models", "%D%=Install,USB\\VID_0C6E&PID_0001"));
    for (const char* call : {"GetWindowsDirectoryA", "SetCurrentDirectoryA", "FindFirstFileA",
                             "SetupGetLineCountA", "SetupFindFirstLineA", "SetupGetLineTextA"}) {
        SCOPED_TRACE(call);
        machine.faults().Clear();
        machine.faults().Add({call, ""});
        EXPECT_EQ(Find("USB\\VID_0C6E&PID_0001"), 0);
    }
}

TEST_F(DriverInfTest, AWorkingFolderThatCannotBeSavedIsNeverChanged) {
    AddInf("oem1.inf", Inf("%Mfg%=Models", "%D%=Install,USB\\VID_0C6E&PID_0001"));
    machine.faults().Add({"GetCurrentDirectoryA", ""});
    const std::size_t before = machine.faults().calls().size();
    EXPECT_EQ(Find("USB\\VID_0C6E&PID_0001"), 0);
    const std::vector<std::string>& calls = machine.faults().calls();
    for (std::size_t i = before; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].rfind("SetCurrentDirectoryA", 0), std::string::npos) << calls[i];
    }
}

TEST_F(DriverInfTest, AWindowsFolderWithNoRoomForTheInfFolderFindsNothing) {
    const std::string deep = "C:\\" + std::string(250, 'w');
    machine.files().SetWindowsFolder(deep);
    machine.files().AddFile(deep + "\\inf\\oem1.inf",
                            Inf("%Mfg%=Models", "%D%=Install,USB\\VID_0C6E&PID_0001"));
    EXPECT_EQ(Find("USB\\VID_0C6E&PID_0001"), 0);
    EXPECT_EQ(Find(std::string(260, 'U').c_str()), 0);
}

TEST_F(DriverInfTest, InfFilesThatAreNotInfTextFindNothing) {
    AddInf("oem1.inf", "");
    AddInf("oem2.inf", std::string("\x00\x01\x02\xff\xfe\x00\x00", 7) + std::string(5000, '\x90'));
    AddInf("oem3.inf",
           Inf("%Mfg%=Models", "%D%=Install," + std::string(400, 'X') + "USB\\VID_0C6E&PID_0001"));
    std::string huge =
        "[Version]\r\nSignature=$Windows NT$\r\n[Manufacturer]\r\nQ=Models\r\n"
        "[Models]\r\n";
    for (int i = 0; i < 20000; ++i) {
        huge += "D" + std::to_string(i) + "=I,USB\\VID_04A9&PID_" + std::to_string(i) + "\r\n";
    }
    AddInf("oem4.inf", huge);
    EXPECT_EQ(Find("USB\\VID_0C6E&PID_0001"), 0);
}

class TwainFolderTest : public DriverInfTest {
protected:
    // The folder ReadTwainFolder gives for an INF whose [DestinationDirs] holds `lines`, or
    // "<none>" when it gives none.
    std::string FolderFor(const std::string& lines) {
        AddInf("oem1.inf", Inf("%Mfg%=Models", "D=I,USB\\VID_0C6E&PID_0001", lines));
        PathText folder = sentinel;
        const TwainFolderRead result =
            ReadTwainFolder(machine.platform(), "C:\\windows\\inf\\oem1.inf", &folder);
        EXPECT_EQ(machine.openHandles(), 0);
        if (result != TwainFolderRead::kFolder) {
            EXPECT_EQ(folder, sentinel);
            return result == TwainFolderRead::kNoTwainLine ? "<no line>" : "<none>";
        }
        return folder.c_str();
    }
};

TEST_F(TwainFolderTest, TheFolderIsWhatFollowsTheFirstBackslashOfTheTwainLine) {
    const struct {
        std::string lines;
        const char* folder;
    } cases[] = {
        {"SomeFiles = 10,twain_32\\Sample", "Sample"},
        {"DefaultDestDir = 11\r\nTw = 10,TWAIN_32\\Sample", "Sample"},
        {"Tw=10,twain_32\\Maker\\Model", "Maker\\Model"},
        {"Tw=10,twain_32\\First\r\nTw2=10,twain_32\\Second", "First"},
        {"Tw = 10 , \"twain_32\\Quoted Name\" ; comment", "Quoted Name"},
        {"Tw=10,Twain_32\\Neither", "<no line>"},
        {"DefaultDestDir=11", "<no line>"},
        {"", "<no line>"},
        {"Tw=10,twain_32", "<none>"},
        {"Tw=10,twain_32\\", "<none>"},
        {"Tw=10,twain_32\\..", "<none>"},
        {"Tw=10,twain_32\\..\\..\\system32", "<none>"},
        {"Tw=10,twain_32\\Maker\\..\\..", "<none>"},
        {"Tw=10,twain_32\\C:\\Windows", "<none>"},
        {"Tw=10,twain_32\\\\server\\share", "<none>"},
        {"Tw=10,twain_32\\Sample\\\r\n", "Sample"},  // a trailing backslash continues the line
        {"Tw=10,twain_32\\*", "<none>"},
        {"Tw=11,twain_32\\Sample", "<none>"},
        {"Tw=10,system32\\twain_32\\Sample", "<none>"},
        {"Tw=10,twain_32\\" + std::string(300, 'x') + "\r\nTw2=10,twain_32\\Later", "Later"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        EXPECT_EQ(FolderFor(c.lines), c.folder);
    }
}

// In Big5 and GBK the second byte of a character may be 0x5C: such a name ends the line
// without continuing it, and is no separator.
TEST_F(TwainFolderTest, ChineseFolderNamesAreWholeInTheirCodePage) {
    const struct {
        std::uint32_t codePage;
        std::string lines;
        const char* folder;
    } cases[] = {
        {950, "Tw=10,twain_32\\Maker\\\xa5\x5c", "Maker\\\xa5\x5c"},  // Maker\功
        {950, "Tw=10,twain_32\\\xb3\x5c\\Model", "\xb3\x5c\\Model"},  // 許\Model
        {950, "Tw=10,twain_32\\\xa4\x7c", "\xa4\x7c"},                // 弋
        {936, "Tw=10,twain_32\\\x81\x5c\r\nNext=11", "\x81\x5c"},     // 乗
        {1252, "Tw=10,twain_32\\Sample\\\r\n", "Sample"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        ASSERT_TRUE(machine.version().SetAnsiCodePage(c.codePage));
        EXPECT_EQ(FolderFor(c.lines), c.folder);
    }
}

// Upper-casing for the search changes ASCII letters only: Big5 兀 (A4 61) is not 乙 (A4 41).
TEST_F(DriverInfTest, UpperCasingKeepsChineseCharacters) {
    ASSERT_TRUE(machine.version().SetAnsiCodePage(950));
    AddInf("oem1.inf", Inf("%Mfg%=Models", "%D%=Install,usb\\vid_0c6e&pid_0001&\xa4\x41"));
    EXPECT_EQ(Find("USB\\VID_0C6E&PID_0001&\xa4\x61"), 0);
    EXPECT_EQ(Find("usb\\vid_0c6e&pid_0001&\xa4\x41"), 1);
}

TEST_F(TwainFolderTest, AnInfThatDoesNotOpenGivesNoFolder) {
    machine.faults().Add({"SetupOpenInfFileA", ""});
    EXPECT_EQ(FolderFor("Tw=10,twain_32\\Sample"), "<none>");
}

}  // namespace
}  // namespace drvsweep
