#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "app/hand_over.h"
#include "app/hand_over_text.h"
#include "app/program_start.h"
#include "app/start_exit_codes.h"
#include "platform/sim/sim_program_hand_over.h"
#include "platform/sim/sim_run_facts.h"
#include "platform/sim/sim_version.h"
#include "tests/unit/ui_code_pages.h"
#include "ui/interface_strings.h"

namespace drvsweep {
namespace {

using sim::FaultRule;

constexpr const char* kFolder = "C:\\Users\\user\\Temp\\DrvSweep-000001a4-0";
constexpr const char* kProgram = "C:\\Users\\user\\Temp\\DrvSweep-000001a4-0\\DrvSweep64.exe";

struct ShownStop {
    std::string text;
    std::uint32_t textCodePage;
    std::string caption;
};

class RecordingNotice : public StartNotice {
public:
    void ShowStop(const DisplayText& text, const DisplayText& caption) override {
        shown.push_back({text.part(0).bytes, text.part(0).codePage, caption.part(0).bytes});
    }
    std::vector<ShownStop> shown;
};

// A 64-bit Windows whose x86 program carries its x86-64 one, unless a test says otherwise.
class HandOverTest : public ::testing::Test {
protected:
    void SetUp() override {
        os_.SetWow64Answer(Wow64Answer::Wow64);
        os_.SetCarriedProgram(std::string("MZ\x90\0x64 program", 15));
        os_.SetCommandLine("\"C:\\Tools\\DrvSweep.exe\"  /quiet \"a b\"");
    }

    // A start with the given arguments whose dialog, run here, answers 42 and whose command
    // line answers 43.
    int Start(const char* arguments = "") {
        return StartProgram(
            arguments, services_,
            [this] {
                ++commandLinesRun_;
                return 43;
            },
            [this] {
                ++ranHere_;
                return 42;
            });
    }

    void ExpectRefusedAndClean() {
        EXPECT_EQ(Start(), kExitDialogNotHandedOver);
        EXPECT_EQ(ranHere_, 0);
        EXPECT_EQ(notice_.shown.size(), 1u);
        EXPECT_TRUE(os_.files().empty());
        EXPECT_TRUE(os_.folders().empty());
    }

    sim::SimFaults faults_;
    sim::SimProgramHandOver os_{faults_};
    sim::SimVersion version_{faults_};
    sim::SimRunFacts facts_{version_};
    RecordingNotice notice_;
    StartServices services_{os_, facts_, version_, notice_};
    int ranHere_ = 0;
    int commandLinesRun_ = 0;
};

TEST_F(HandOverTest, A32BitWindowsRunsHereAndTouchesNothing) {
    for (const Wow64Answer answer : {Wow64Answer::NotWow64, Wow64Answer::FunctionMissing}) {
        SCOPED_TRACE(static_cast<int>(answer));
        os_.SetWow64Answer(answer);
        ranHere_ = 0;
        EXPECT_EQ(Start(), 42);
        EXPECT_EQ(ranHere_, 1);
        EXPECT_TRUE(notice_.shown.empty());
        EXPECT_TRUE(os_.folders().empty());
        EXPECT_TRUE(os_.runs().empty());
    }
}

TEST_F(HandOverTest, TheCarriedProgramRunsWithTheOwnArgumentsAndGoesAgain) {
    os_.SetChildExitCode(0xC0000005u);
    EXPECT_EQ(static_cast<std::uint32_t>(Start()), 0xC0000005u);
    EXPECT_EQ(ranHere_, 0);
    EXPECT_TRUE(notice_.shown.empty());
    ASSERT_EQ(os_.runs().size(), 1u);
    EXPECT_EQ(os_.runs()[0].program, kProgram);
    EXPECT_EQ(os_.runs()[0].commandLine, std::string("\"") + kProgram + "\" /quiet \"a b\"");
    EXPECT_EQ(os_.runs()[0].image, std::string("MZ\x90\0x64 program", 15));
    EXPECT_TRUE(os_.files().empty());
    EXPECT_TRUE(os_.folders().empty());
}

// Nobody but administrators can change the program between its writing and its start: its
// folder is administrators-only and the file is held open until the child has run.
TEST_F(HandOverTest, TheProgramRunsFromASecuredFolderWhileHeld) {
    EXPECT_EQ(Start(), 0);
    EXPECT_EQ(os_.securedFolders(), (std::set<std::string>{kFolder}));
    ASSERT_EQ(os_.runs().size(), 1u);
    EXPECT_TRUE(os_.runs()[0].held);
    EXPECT_TRUE(os_.files().empty());
    EXPECT_TRUE(os_.folders().empty());
}

TEST_F(HandOverTest, WithoutArgumentsTheChildGetsItsProgramNameAlone) {
    os_.SetCommandLine("C:\\DrvSweep.exe");
    EXPECT_EQ(Start(), 0);
    ASSERT_EQ(os_.runs().size(), 1u);
    EXPECT_EQ(os_.runs()[0].commandLine, std::string("\"") + kProgram + "\"");
}

TEST_F(HandOverTest, ATemporaryFolderWithoutItsBackslashStillHoldsTheCopy) {
    os_.SetTemporaryFolder("C:\\Temp");
    EXPECT_EQ(Start(), 0);
    ASSERT_EQ(os_.runs().size(), 1u);
    EXPECT_EQ(os_.runs()[0].program, "C:\\Temp\\DrvSweep-000001a4-0\\DrvSweep64.exe");
}

TEST_F(HandOverTest, AFolderThatExistsIsNeverTakenOver) {
    os_.AddForeignFolder(kFolder);
    EXPECT_EQ(Start(), 0);
    ASSERT_EQ(os_.runs().size(), 1u);
    EXPECT_EQ(os_.runs()[0].program, "C:\\Users\\user\\Temp\\DrvSweep-000001a4-1\\DrvSweep64.exe");
    EXPECT_EQ(os_.folders(), (std::set<std::string>{kFolder}));

    const std::string prefix = "C:\\Users\\user\\Temp\\DrvSweep-000001a4-";
    for (const char digit : std::string("0123456789abcdef")) {
        os_.AddForeignFolder(prefix + digit);
    }
    EXPECT_EQ(Start(), kExitDialogNotHandedOver);
    EXPECT_EQ(os_.runs().size(), 1u);
    EXPECT_EQ(os_.folders().size(), 16u);
}

TEST_F(HandOverTest, EveryFailureBeforeTheStartRefusesAndLeavesNothing) {
    const struct {
        const char* name;
        FaultRule fault;
    } cases[] = {
        {"IsWow64Process fails", {"IsWow64Process", "", 5}},
        {"no temporary folder", {"GetTempPathA", "", 5}},
        {"temporary folder not writable", {"CreateDirectoryA", "", 5}},
        {"program file cannot be made", {"CreateFileA", "", 5}},
        {"program file written in part", {"WriteFile", "", 112}},
        {"folder descriptor cannot be built",
         {"ConvertStringSecurityDescriptorToSecurityDescriptorA", "", 1338}},
        {"program file cannot be held", {"CreateFileA", "", 32, 1}},
        {"child does not start", {"CreateProcessA", "", 193}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        faults_.Clear();
        faults_.Add(c.fault);
        notice_.shown.clear();
        ExpectRefusedAndClean();
        EXPECT_TRUE(os_.runs().empty());
    }
}

TEST_F(HandOverTest, WithoutTheCarriedProgram64BitWindowsIsRefused) {
    os_.SetCarriedProgram(std::nullopt);
    ExpectRefusedAndClean();
    os_.SetCarriedProgram(std::string());
    notice_.shown.clear();
    ExpectRefusedAndClean();
    EXPECT_TRUE(os_.runs().empty());
}

// A command-line run may show no window: refused, it ends with 1603 (not 1, which means "a
// scanner was found" to /list), and the notice stays unused; run here, its own code passes.
TEST_F(HandOverTest, ACommandLineRunIsRefusedWithoutAWindow) {
    os_.SetCarriedProgram(std::nullopt);
    EXPECT_EQ(Start(" /list"), 1603);
    EXPECT_TRUE(notice_.shown.empty());
    EXPECT_EQ(commandLinesRun_, 0);
    os_.SetWow64Answer(Wow64Answer::NotWow64);
    EXPECT_EQ(Start(" /list"), 43);
    EXPECT_EQ(commandLinesRun_, 1);
    EXPECT_EQ(ranHere_, 0);
}

// In session 0 a start without arguments ends with 1459 before anything is handed over or
// run, so that not even a refused hand-over's message box waits for someone who cannot see it;
// a command line runs there as anywhere.
TEST_F(HandOverTest, ASession0StartWithoutArgumentsEndsWith1459BeforeTheHandOver) {
    facts_.visibleWindowStation = false;
    EXPECT_EQ(Start(" \t"), 1459);
    EXPECT_TRUE(os_.runs().empty());
    os_.SetCarriedProgram(std::nullopt);
    EXPECT_EQ(Start(), 1459);
    EXPECT_TRUE(notice_.shown.empty());
    EXPECT_EQ(ranHere_ + commandLinesRun_, 0);

    os_.SetWow64Answer(Wow64Answer::NotWow64);
    EXPECT_EQ(Start("/remove all"), 43);
    EXPECT_EQ(commandLinesRun_, 1);
}

TEST_F(HandOverTest, AProgramPathTooLongForItsBufferRemovesTheNewFolder) {
    // 230 + "DrvSweep-000001a4-0" fits in 259 characters, the program's name after it does not.
    os_.SetTemporaryFolder("C:\\" + std::string(226, 't') + "\\");
    ExpectRefusedAndClean();
    EXPECT_TRUE(os_.runs().empty());
}

TEST_F(HandOverTest, AChildWhoseExitCodeIsLostCountsAsRunAndIsCleanedUp) {
    faults_.Add({"GetExitCodeProcess", "", 6});
    EXPECT_EQ(Start(), kExitChildCodeLost);
    EXPECT_TRUE(notice_.shown.empty());
    EXPECT_EQ(os_.runs().size(), 1u);
    EXPECT_TRUE(os_.folders().empty());
}

TEST_F(HandOverTest, DeletingThePendingImageIsRetriedThenGivenUp) {
    faults_.Add({"DeleteFileA", "", 32, 0, 3});
    os_.SetChildExitCode(3);
    EXPECT_EQ(Start(), 3);
    EXPECT_EQ(os_.pauses(), (std::vector<std::uint32_t>{100, 100, 100}));
    EXPECT_TRUE(os_.files().empty());
    EXPECT_TRUE(os_.folders().empty());

    faults_.Clear();
    faults_.Add({"DeleteFileA", "", 32});
    EXPECT_EQ(Start(), 3);
    EXPECT_EQ(os_.pauses().size(), 3u + 20u);
    // The folder that still holds the file stays; the run's result does not change.
    EXPECT_EQ(os_.files().size(), 1u);
    EXPECT_EQ(os_.folders().size(), 1u);
}

TEST_F(HandOverTest, TheRefusalSpeaksTheSystemLanguage) {
    faults_.Add({"CreateDirectoryA", "", 5});
    const struct {
        std::uint16_t language;
        std::int32_t slot;
    } cases[] = {{2052, kSimplifiedChinese}, {1028, kTraditionalChinese}, {1033, kEnglish}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        version_.SetLanguage(c.language);
        notice_.shown.clear();
        EXPECT_EQ(Start(), kExitDialogNotHandedOver);
        ASSERT_EQ(notice_.shown.size(), 1u);
        InterfaceStrings strings;
        LoadInterfaceStrings(version_, strings);
        EXPECT_EQ(notice_.shown[0].text, HandOverFailureText(c.slot).bytes);
        EXPECT_EQ(notice_.shown[0].textCodePage, CodePageOfSlot(c.slot));
        EXPECT_EQ(notice_.shown[0].caption, InterfaceText(strings, StringRole::WindowTitle).bytes);
    }
}

TEST(HandOverText, EachLanguageDecodesToItsUnicodeText) {
    const char* const expected[kLanguageSlots] = {
        "无法启动 DrvSweep 的 64 位程序，本 64 位 Windows 需要由它卸装扫描仪驱动。未删除任何内容。",
        "無法啟動 DrvSweep 的 64 位元程式，本 64 位元 Windows "
        "需要由它卸裝掃描儀驅動。未刪除任何內容。",
        "DrvSweep could not start its 64-bit program, which this 64-bit Windows needs to remove "
        "scanner drivers. Nothing has been removed."};
    const char* const iconvNames[kLanguageSlots] = {"GBK", "BIG5", "ASCII"};
    for (std::int32_t slot = 0; slot < kLanguageSlots; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(testing::ConvertText(HandOverFailureText(slot).bytes, iconvNames[slot], "UTF-8"),
                  expected[slot]);
    }
}

TEST(ChooseFrontEnd, ArgumentsRunTheCommandLineAndBlanksAloneTheDialog) {
    sim::SimFaults faults;
    sim::SimVersion version{faults};
    sim::SimRunFacts facts{version};
    const struct {
        const char* arguments;
        FrontEndChoice visible;
        FrontEndChoice session0;
    } cases[] = {
        {"", FrontEndChoice::Dialog, FrontEndChoice::NoVisibleDesktop},
        {" \t\r\n", FrontEndChoice::Dialog, FrontEndChoice::NoVisibleDesktop},
        {" /list", FrontEndChoice::CommandLine, FrontEndChoice::CommandLine},
        {"x", FrontEndChoice::CommandLine, FrontEndChoice::CommandLine},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        EXPECT_EQ(HasArguments(c.arguments), c.visible == FrontEndChoice::CommandLine);
        facts.visibleWindowStation = true;
        EXPECT_EQ(ChooseFrontEnd(c.arguments, facts), c.visible);
        facts.visibleWindowStation = false;
        EXPECT_EQ(ChooseFrontEnd(c.arguments, facts), c.session0);
    }
}

TEST(ArgumentsOf, TakesThePartAfterTheProgramName) {
    const struct {
        const char* commandLine;
        const char* arguments;
    } cases[] = {
        {"\"C:\\Program Files\\DrvSweep.exe\" /x", "/x"},
        {"C:\\DrvSweep.exe   -q  \"r s\"", "-q  \"r s\""},
        {"C:\\DrvSweep.exe\t\tz", "z"},
        {"DrvSweep.exe", ""},
        {"\"C:\\DrvSweep.exe\"", ""},
        {"\"\" z", "z"},
        {"\"C:\\no closing quote", ""},
        {"\"C:\\a\"b c", "b c"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine);
        EXPECT_EQ(ArgumentsOf(c.commandLine), c.arguments);
    }
}

}  // namespace
}  // namespace drvsweep
