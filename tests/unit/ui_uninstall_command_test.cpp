#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_dialog_host.h"
#include "platform/sim/sim_scenario.h"
#include "platform/sim/sim_windows.h"
#include "res/resource.h"
#include "tests/support/test_machine.h"
#include "ui/app_state.h"
#include "ui/interface_strings.h"
#include "ui/uninstall_command.h"
#include "ui/uninstall_dlg.h"

namespace drvsweep {
namespace {

using sim::JoinedBytes;
using sim::RecordedText;
using sim::SimDialogHost;
using sim::SimMessageBox;

constexpr char kK5210Key[] = "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_5210";
constexpr char kDoc392Key[] = "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_3902";
constexpr char kDoc392Uninstaller[] = "C:\\windows\\quorin\\uninst.exe";

// The example machine's main window after its initialisation. Its rows: 0 Doc 392 (with a
// registered uninstaller), 1 K5210 (USB, INF found), 2 MPX 730 (USB, no INF), 3 RoamDoc (PC
// Card, INF found).
class UninstallCommandTest : public ::testing::Test {
protected:
    void Open(const std::string& scenario) {
        std::string error;
        ASSERT_TRUE(sim::LoadScenario(testing::FixturePath(scenario), &machine, &error)) << error;
        dialog = std::make_unique<CUninstallDlg>(*state, machine.platform(), window);
        dialog->OnInitDialog(window);
    }

    void Select(int entry) { window.ListSetSelection(IDC_SCANNER_LIST, entry); }
    void PressDelete() { dialog->OnCommand(IDC_DELETE, kButtonClicked); }
    void Tick() { dialog->OnTimer(kPollTimer); }

    std::vector<std::string> Entries() const {
        std::vector<std::string> entries;
        for (const RecordedText& entry : window.listEntries(IDC_SCANNER_LIST)) {
            entries.push_back(JoinedBytes(entry));
        }
        return entries;
    }

    std::vector<std::string> TableDescriptions() const {
        std::vector<std::string> descriptions;
        for (int i = 0; i <= state->table.lastIndex; ++i) {
            descriptions.push_back(state->table.rows[i].description.c_str());
        }
        return descriptions;
    }

    bool FileExists(const std::string& path) { return machine.files().Exists(path); }

    sim::SimWindows machine;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    SimDialogHost window;
    std::unique_ptr<CUninstallDlg> dialog;
};

TEST_F(UninstallCommandTest, ARegisteredUninstallerIsStartedAndTheEntryGoesWithItsDeviceKey) {
    Open("demo_nt");
    machine.files().AddFile(kDoc392Uninstaller);
    Select(0);
    PressDelete();

    ASSERT_EQ(machine.programs().launches().size(), 1u);
    EXPECT_EQ(machine.programs().launches()[0].program, kDoc392Uninstaller);
    EXPECT_EQ(machine.programs().launches()[0].parameters, "-delay 1500 USB\\VID_0C6E&PID_3902");
    EXPECT_TRUE(window.messageBoxes().empty());
    EXPECT_EQ(window.runningTimers().count(kPollTimer), 1u);
    ASSERT_FALSE(window.timerCalls().empty());
    EXPECT_EQ(window.timerCalls().back().milliseconds, 2000u);
    EXPECT_EQ(Entries().size(), 4u) << "the entry stays while the uninstaller runs";

    Tick();
    EXPECT_EQ(Entries().size(), 4u);

    machine.registry().RemoveTree(kDoc392Key);
    Tick();
    EXPECT_EQ(Entries(),
              (std::vector<std::string>{" Quorin K5210 USB Scanner", " Quorin MPX 730 Scanner",
                                        " Quorin RoamDoc PC Card Scanner"}));
    EXPECT_EQ(TableDescriptions().size(), 3u);
    EXPECT_TRUE(window.runningTimers().empty());
    EXPECT_EQ(state->selectedIndex, 0);
    EXPECT_TRUE(machine.files().Exists("C:\\windows\\inf\\oem3.inf")) << "nothing else is touched";
}

const char kK5210Instance[] = "USB\\VID_0C6E&PID_5210\\5&2f1c3a&0&2";

TEST_F(UninstallCommandTest, ConfirmedBuiltInRemovalDeletesTheScannersOwnFilesOnly) {
    Open("demo_nt");
    machine.devices().SetRestartAfterRemoval(kK5210Instance);
    Select(1);
    window.QueueMessageBoxAnswer(kIdYes);
    window.QueueMessageBoxAnswer(kIdNo);
    PressDelete();

    ASSERT_EQ(window.messageBoxes().size(), 2u);
    const SimMessageBox& confirmation = window.messageBoxes()[0];
    const InterfaceStrings& strings = state->strings;
    EXPECT_EQ(JoinedBytes(confirmation.text),
              "Do you want to uninstall \" Quorin K5210 USB Scanner\"");
    ASSERT_EQ(confirmation.text.size(), 3u);
    EXPECT_EQ(confirmation.text[1].codePage, kAnsiCodePage);
    EXPECT_EQ(JoinedBytes(confirmation.caption),
              strings.slots[static_cast<int>(StringRole::WindowTitle)][kEnglish].c_str());
    EXPECT_EQ(confirmation.style, 0x34u);
    const SimMessageBox& restart = window.messageBoxes()[1];
    EXPECT_EQ(JoinedBytes(restart.text),
              "The scanner you choosed has already been uninstalled. \nIt's recommend that "
              "restart the computer. Restart now?");
    EXPECT_EQ(restart.style, 0x44u);

    EXPECT_FALSE(FileExists("C:\\windows\\system32\\QuorinK5210.dll"));
    EXPECT_FALSE(FileExists("C:\\windows\\inf\\oem3.inf"));
    EXPECT_FALSE(FileExists("C:\\windows\\twain_32\\QuorinK5210"));
    EXPECT_TRUE(FileExists("C:\\windows\\twain_32\\AcmeScan\\AcmeScan.ds"));
    EXPECT_TRUE(FileExists("C:\\windows\\twain_32\\Orbdrv\\Orbdrv.ds"));
    EXPECT_TRUE(FileExists("C:\\windows\\inf\\oem7.inf"));
    EXPECT_TRUE(FileExists("C:\\windows\\system32\\Orbdrv.dll"));

    EXPECT_EQ(TableDescriptions(),
              (std::vector<std::string>{"Quorin Doc 392 Scanner", "Quorin MPX 730 Scanner",
                                        "Quorin RoamDoc PC Card Scanner"}));
    EXPECT_EQ(Entries().size(), 3u);
    EXPECT_TRUE(window.ended()) << "No at the restart question closes the window";
    EXPECT_TRUE(machine.programs().exitRequests().empty());
}

TEST_F(UninstallCommandTest, NoAtTheConfirmationChangesNothing) {
    Open("demo_nt");
    Select(3);
    window.QueueMessageBoxAnswer(kIdNo);
    dialog->OnCommand(IDC_SCANNER_LIST, kListDoubleClick);

    ASSERT_EQ(window.messageBoxes().size(), 1u);
    EXPECT_EQ(JoinedBytes(window.messageBoxes()[0].text),
              "Do you want to uninstall \" Quorin RoamDoc PC Card Scanner\"");
    EXPECT_EQ(Entries().size(), 4u);
    EXPECT_EQ(TableDescriptions().size(), 4u);
    EXPECT_TRUE(FileExists("C:\\windows\\system32\\drivers\\Orbdrv.sys"));
    EXPECT_TRUE(FileExists("C:\\windows\\inf\\oem7.inf"));
    EXPECT_FALSE(window.ended());
}

TEST_F(UninstallCommandTest, AFailedBoxIsNoConsent) {
    Open("demo_nt");
    Select(1);
    PressDelete();  // no answer queued: the box fails and answers 0
    EXPECT_EQ(window.messageBoxes().size(), 1u);
    EXPECT_TRUE(FileExists("C:\\windows\\inf\\oem3.inf"));
    EXPECT_EQ(Entries().size(), 4u);

    window.QueueMessageBoxAnswer(kIdYes);
    PressDelete();  // the restart box fails
    EXPECT_FALSE(FileExists("C:\\windows\\inf\\oem3.inf"));
    EXPECT_TRUE(machine.programs().exitRequests().empty());
    EXPECT_FALSE(window.ended());
}

// Yes restarts as Start > Restart does, programs asked to close, never forced; when Windows
// refuses, the window says that the computer was not restarted and stays open.
TEST_F(UninstallCommandTest, YesAtTheRestartQuestionRestartsWithTheShutdownPrivilege) {
    Open("demo_nt");
    machine.devices().SetRestartAfterRemoval("USB\\Vid_0c6e&Pid_7300\\6&11aa20&0&1");
    Select(2);
    window.QueueMessageBoxAnswer(kIdYes);
    window.QueueMessageBoxAnswer(kIdYes);
    PressDelete();
    EXPECT_EQ(machine.programs().exitRequests(), std::vector<std::uint32_t>{0x12});
    EXPECT_EQ(machine.programs().exitReasons(), std::vector<std::uint32_t>{0x80040002});
    EXPECT_EQ(machine.programs().privilegeAdjustments().size(), 1u);
    EXPECT_TRUE(FileExists("C:\\windows\\inf\\oem3.inf"));
    EXPECT_EQ(window.messageBoxes().size(), 2u);

    machine.devices().SetRestartAfterRemoval(kK5210Instance);
    machine.faults().Add({"ExitWindowsEx", ""});
    Select(1);
    window.QueueMessageBoxAnswer(kIdYes);
    window.QueueMessageBoxAnswer(kIdYes);
    window.QueueMessageBoxAnswer(kIdOk);
    PressDelete();
    ASSERT_EQ(window.messageBoxes().size(), 5u);
    const SimMessageBox& notice = window.messageBoxes()[4];
    EXPECT_EQ(JoinedBytes(notice.text),
              "The computer was not restarted: Windows refused, or a program asked to keep "
              "running. \nRestart it later to finish the removal.");
    EXPECT_EQ(notice.style, 0x30u);
    EXPECT_FALSE(window.ended());
}

// Windows accepted the restart, but it did not come: a program cancelled it after the window
// had agreed (WM_ENDSESSION FALSE), or before the window was ever asked, which the restart
// timer tells. The window says so each time; a restart that reached it and goes on is left to
// WM_ENDSESSION. On the 9x family every removal of a device waits for the restart.
TEST_F(UninstallCommandTest, ARestartThatDidNotHappenIsSaid) {
    Open("demo_9x");
    const std::string notDone =
        "The computer was not restarted: Windows refused, or a program asked to keep running. "
        "\nRestart it later to finish the removal.";
    const auto removeAndRestart = [this] {
        Select(1);
        window.QueueMessageBoxAnswer(kIdYes);
        window.QueueMessageBoxAnswer(kIdYes);
        window.QueueMessageBoxAnswer(kIdOk);
        PressDelete();
        EXPECT_EQ(window.runningTimers().count(kRestartTimer), 1u);
    };

    removeAndRestart();
    EXPECT_EQ(machine.programs().exitRequests(), std::vector<std::uint32_t>{0x2});
    dialog->OnQueryEndSession();
    dialog->OnEndSession(false);
    ASSERT_EQ(window.messageBoxes().size(), 3u);
    EXPECT_EQ(JoinedBytes(window.messageBoxes()[2].text), notDone);
    EXPECT_TRUE(window.runningTimers().empty());

    removeAndRestart();
    dialog->OnTimer(kRestartTimer);
    ASSERT_EQ(window.messageBoxes().size(), 6u);
    EXPECT_EQ(JoinedBytes(window.messageBoxes()[5].text), notDone);

    removeAndRestart();
    dialog->OnQueryEndSession();
    dialog->OnTimer(kRestartTimer);
    dialog->OnEndSession(true);
    EXPECT_EQ(window.messageBoxes().size(), 8u) << "the restart goes on: nothing more is said";
    EXPECT_TRUE(window.runningTimers().empty());
    EXPECT_FALSE(window.ended());
}

// A removal that finished now asks no restart question; the window stays open for the next.
TEST_F(UninstallCommandTest, NothingLeftForTheRestartAsksNothing) {
    Open("demo_nt");
    Select(1);
    window.QueueMessageBoxAnswer(kIdYes);
    PressDelete();
    EXPECT_EQ(state->lastRemoval.outcome.restartReason(), RestartReason::None);
    EXPECT_EQ(window.messageBoxes().size(), 1u) << "the confirmation alone";
    EXPECT_FALSE(window.ended());
    EXPECT_TRUE(machine.programs().exitRequests().empty());
    EXPECT_EQ(Entries().size(), 3u);
}

// The window takes the command line's run lock before it starts or removes anything: while
// another DrvSweep holds it, Delete only says so.
TEST_F(UninstallCommandTest, AnotherRemovalThatHoldsTheLockStopsTheCommand) {
    Open("demo_nt");
    machine.files().AddFile(kDoc392Uninstaller);
    machine.runLock().heldElsewhere = true;
    for (const int entry : {0, 1}) {
        Select(entry);
        window.QueueMessageBoxAnswer(kIdOk);
        PressDelete();
    }
    ASSERT_EQ(window.messageBoxes().size(), 2u);
    EXPECT_EQ(JoinedBytes(window.messageBoxes()[1].text),
              "Another DrvSweep is removing a scanner. \nTry again when it has finished.");
    EXPECT_TRUE(machine.programs().launches().empty());
    EXPECT_TRUE(FileExists("C:\\windows\\inf\\oem3.inf"));
    EXPECT_EQ(Entries().size(), 4u);

    // A lock the system cannot make belongs to no other run: the removal goes on.
    machine.runLock().heldElsewhere = false;
    machine.faults().Add({"TakeRunLock", ""});
    window.QueueMessageBoxAnswer(kIdYes);
    PressDelete();
    EXPECT_FALSE(FileExists("C:\\windows\\inf\\oem3.inf"));
    EXPECT_FALSE(machine.runLock().taken());

    machine.faults().Clear();
    Select(0);
    PressDelete();
    EXPECT_TRUE(machine.runLock().taken());
    EXPECT_EQ(machine.programs().launches().size(), 1u);
}

TEST_F(UninstallCommandTest, RemovingTheLastScannerDisablesDeleteAndAnUnselectedListDoesNothing) {
    Open("demo_nt");
    for (int i = 0; i < 4; ++i) {
        Select(0);
        window.QueueMessageBoxAnswer(kIdYes);
        PressDelete();
        EXPECT_EQ(window.itemEnabled(IDC_DELETE), i < 3);
    }
    EXPECT_EQ(state->table.lastIndex, -1);
    EXPECT_TRUE(Entries().empty());

    const std::size_t boxes = window.messageBoxes().size();
    PressDelete();
    EXPECT_EQ(window.messageBoxes().size(), boxes) << "LB_ERR reaches neither table nor list";
    EXPECT_EQ(state->selectedIndex, 0);
}

// A tick of the poll timer that arrives while the confirmation box is open may take out the
// watched scanner's row: the removal the user confirmed still reaches the scanner it named.
TEST_F(UninstallCommandTest, ATickDuringTheConfirmationCannotRedirectTheRemoval) {
    Open("demo_nt");
    machine.files().AddFile(kDoc392Uninstaller);
    Select(0);
    PressDelete();  // watches Doc 392
    ASSERT_EQ(window.runningTimers().count(kPollTimer), 1u);

    window.SetMessageBoxHook([&](const SimMessageBox&) {
        machine.registry().RemoveTree(kDoc392Key);
        Tick();
    });
    Select(2);  // MPX 730
    window.QueueMessageBoxAnswer(kIdYes);
    window.QueueMessageBoxAnswer(kIdNo);
    PressDelete();

    EXPECT_EQ(TableDescriptions(), (std::vector<std::string>{"Quorin K5210 USB Scanner",
                                                             "Quorin RoamDoc PC Card Scanner"}));
    EXPECT_EQ(Entries(), (std::vector<std::string>{" Quorin K5210 USB Scanner",
                                                   " Quorin RoamDoc PC Card Scanner"}));
    EXPECT_TRUE(FileExists("C:\\windows\\inf\\oem3.inf")) << "K5210 was not picked";
    EXPECT_TRUE(machine.registry().KeyExists(kK5210Key));
    ASSERT_FALSE(state->lastRemoval.outcome.items.empty());
    EXPECT_STREQ(state->lastRemoval.outcome.items[0].item.path.c_str(), "USB\\Vid_0c6e&Pid_7300")
        << "the removal reached the confirmed scanner";
}

// Only a device waits for the restart: no file is in use, and the question says no such thing.
TEST_F(UninstallCommandTest, ADeviceThatGoesAtTheRestartGetsThePlainQuestion) {
    Open("demo_nt");
    machine.devices().SetRestartAfterRemoval(kK5210Instance);
    Select(1);
    window.QueueMessageBoxAnswer(kIdYes);
    window.QueueMessageBoxAnswer(kIdNo);
    PressDelete();
    EXPECT_EQ(state->lastRemoval.outcome.restartReason(), RestartReason::Device);
    ASSERT_EQ(window.messageBoxes().size(), 2u);
    EXPECT_EQ(JoinedBytes(window.messageBoxes()[1].text),
              "The scanner you choosed has already been uninstalled. \nIt's recommend that "
              "restart the computer. Restart now?");
}

// The window keeps the removal's outcome, a restart request of Windows included. A file in use
// goes at the restart, and the restart question says that the removal finishes then.
TEST_F(UninstallCommandTest, TheWindowKeepsTheOutcomeOfTheConfirmedRemoval) {
    Open("demo_nt");
    machine.devices().SetRestartAfterRemoval(kK5210Instance);
    machine.files().SetInUse("C:\\windows\\system32\\QuorinK5210.dll", true);
    Select(1);
    window.QueueMessageBoxAnswer(kIdYes);
    window.QueueMessageBoxAnswer(kIdNo);
    PressDelete();

    const RemovalOutcome& outcome = state->lastRemoval.outcome;
    EXPECT_EQ(outcome.restartReason(), RestartReason::DeviceAndFiles);
    ASSERT_EQ(outcome.items.size(), 4u);
    EXPECT_STREQ(outcome.items[0].item.path.c_str(), "USB\\VID_0C6E&PID_5210");
    EXPECT_EQ(outcome.items[1].outcome, ItemOutcome::DeletedAtRestart);
    ASSERT_EQ(window.messageBoxes().size(), 2u);
    EXPECT_EQ(JoinedBytes(window.messageBoxes()[1].text),
              "The scanner driver has been uninstalled, but some of its files are in use. The "
              "removal finishes when the computer restarts. \nRestart now?");
    EXPECT_EQ(machine.PendingDeletions(),
              std::vector<std::string>{"C:\\windows\\system32\\QuorinK5210.dll"});
    EXPECT_EQ(Entries().size(), 3u) << "the entry goes as before";
}

// A built-in removal of an earlier row moves the watched scanner's row; the timer follows the
// scanner, not the index, so no other scanner leaves the list.
TEST_F(UninstallCommandTest, ThePollTimerFollowsTheWatchedScannerNotItsIndex) {
    Open("demo_nt");
    machine.files().AddFile(kDoc392Uninstaller);
    Select(0);
    PressDelete();  // watches Doc 392, row 0
    machine.registry().RemoveTree("SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_0c6e&Pid_7300");

    Select(1);
    window.QueueMessageBoxAnswer(kIdYes);
    window.QueueMessageBoxAnswer(kIdYes);  // the window stays until the restart happens
    PressDelete();  // removes K5210; MPX 730, whose key is gone, moves into row 1
    Tick();
    EXPECT_EQ(Entries().size(), 3u) << "MPX 730 is not the watched scanner";
    EXPECT_EQ(window.runningTimers().count(kPollTimer), 1u);

    machine.registry().RemoveTree(kDoc392Key);
    Tick();
    EXPECT_EQ(TableDescriptions(), (std::vector<std::string>{"Quorin MPX 730 Scanner",
                                                             "Quorin RoamDoc PC Card Scanner"}));
    EXPECT_TRUE(window.runningTimers().empty());
}

TEST_F(UninstallCommandTest, NineXRemovalDeletesTheClassKeyAndTheDeviceEntry) {
    Open("demo_9x");
    Select(1);
    window.QueueMessageBoxAnswer(kIdYes);
    window.QueueMessageBoxAnswer(kIdNo);
    PressDelete();
    EXPECT_FALSE(machine.registry().KeyExists("Enum\\USB\\VID_0C6E&PID_5210"));
    EXPECT_FALSE(
        machine.registry().KeyExists("SYSTEM\\CurrentControlSet\\Services\\Class\\Image\\0000"));
    EXPECT_TRUE(
        machine.registry().KeyExists("SYSTEM\\CurrentControlSet\\Services\\Class\\Image\\0001"));
    EXPECT_FALSE(FileExists("C:\\windows\\inf\\other\\QuorinK5210.inf"));
    EXPECT_FALSE(FileExists("C:\\windows\\system\\QuorinK5210.dll"));
    EXPECT_TRUE(FileExists("C:\\windows\\system\\Orbdrv.vxd"));
}

// package_x64 on Windows 10 1703, 64-bit, with both makers' packages installed as Windows
// installs them: the .inf and its .pnf in the INF folder, a copy in the driver store, the
// device named as installed with it. The removal takes the device first, then the driver
// files, then the package, then both data sources, and leaves the other maker's alone.
TEST_F(UninstallCommandTest, SixtyFourBitRemovalTakesThePackageAndEveryCopy) {
    std::string error;
    ASSERT_TRUE(sim::LoadScenario(testing::FixturePath("package_x64"), &machine, &error)) << error;
    machine.packages().SetRelease(sim::SimRelease::Windows10v1703, true);
    const std::string store = "C:\\windows\\system32\\DriverStore\\FileRepository\\";
    const struct {
        const char* inf;
        const char* device;
    } kPackages[] = {{"oem21", "USB\\VID_0C6E&PID_5210\\5&2f1c3a&0&2"},
                     {"oem22", "USB\\VID_04B8&PID_0110\\6&2a&0&3"}};
    for (const auto& package : kPackages) {
        std::ifstream source(testing::FixturePath("package_x64/packages/") + package.inf + ".inf",
                             std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(source),
                                std::istreambuf_iterator<char>()};
        ASSERT_FALSE(bytes.empty());
        const std::string inf = std::string("C:\\windows\\inf\\") + package.inf;
        machine.files().AddFile(inf + ".inf", bytes);
        machine.files().AddFile(inf + ".pnf");
        machine.files().AddFile(store + package.inf + ".inf_amd64\\" + package.inf + ".inf", bytes);
        machine.packages().AddPackage(sim::SimDriverPackage{std::string(package.inf) + ".inf",
                                                            "",
                                                            store + package.inf + ".inf_amd64",
                                                            {package.device}});
    }
    dialog = std::make_unique<CUninstallDlg>(*state, machine.platform(), window);
    dialog->OnInitDialog(window);
    ASSERT_EQ(TableDescriptions(), std::vector<std::string>{"Quorin K5210 USB Scanner"});
    window.QueueMessageBoxAnswer(kIdYes);
    window.QueueMessageBoxAnswer(kIdNo);
    PressDelete();

    const std::vector<std::string>& calls = machine.faults().calls();
    const auto first = [&calls](const std::string& call) {
        return std::find(calls.begin(), calls.end(), call) - calls.begin();
    };
    const auto devices = first("SetupDiCallClassInstaller USB\\VID_0C6E&PID_5210\\5&2f1c3a&0&2");
    const auto files = first("DeleteFileA C:\\windows\\system32\\QuorinK5210.dll");
    const auto package = first("DiUninstallDriverW C:\\windows\\inf\\oem21.inf");
    const auto dataSource = first("DeleteFileA C:\\windows\\twain_32\\QuorinK5210\\QuorinK5210.ds");
    EXPECT_LT(devices, files);
    EXPECT_LT(files, package);
    EXPECT_LT(package, dataSource);
    EXPECT_LT(dataSource, static_cast<std::ptrdiff_t>(calls.size()));

    EXPECT_EQ(machine.packages().PackageNames(), std::vector<std::string>{"oem22.inf"});
    for (const char* gone :
         {"inf\\oem21.inf", "inf\\oem21.pnf",
          "system32\\DriverStore\\FileRepository\\oem21.inf_amd64", "system32\\QuorinK5210.dll",
          "system32\\drivers\\QuorinK5210.dll", "syswow64\\QuorinK5210.dll",
          "syswow64\\drivers\\QuorinK5210.dll", "twain_32\\QuorinK5210", "twain_64\\QuorinK5210"}) {
        EXPECT_FALSE(FileExists(std::string("C:\\windows\\") + gone)) << gone;
    }
    for (const char* kept :
         {"inf\\oem22.inf", "inf\\oem22.pnf",
          "system32\\DriverStore\\FileRepository\\oem22.inf_amd64", "system32\\AcmeScan.dll",
          "syswow64\\AcmeScan.dll", "twain_32\\AcmeScan\\AcmeScan.ds",
          "twain_64\\AcmeScan\\AcmeScan.ds"}) {
        EXPECT_TRUE(FileExists(std::string("C:\\windows\\") + kept)) << kept;
    }
    EXPECT_EQ(window.messageBoxes().size(), 1u)
        << "nothing is shown beyond the confirmation: nothing waits for the restart";
    EXPECT_EQ(machine.openHandles(), 0);
}

// decorated_x64's K7700 package has no device. Even with an uninstaller registered under its
// hardware ID, Delete asks the usual confirmation and removes it built in: the package, its
// .pnf, DLL and data source, and nothing of the other rows or of the other maker.
TEST_F(UninstallCommandTest, ADriverWithoutADeviceGoesBuiltInEvenWithARegisteredUninstaller) {
    Open("decorated_x64");
    ASSERT_EQ(state->table.lastIndex, 4);
    machine.files().AddFile(kDoc392Uninstaller);
    machine.registry().SetString(
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\USB\\VID_0C6E&PID_7700",
        "UninstallString", std::string(kDoc392Uninstaller) + " USB\\VID_0C6E&PID_7700");
    Select(4);
    window.QueueMessageBoxAnswer(kIdYes);
    window.QueueMessageBoxAnswer(kIdNo);
    PressDelete();

    EXPECT_TRUE(machine.programs().launches().empty());
    EXPECT_TRUE(window.runningTimers().empty());
    ASSERT_EQ(window.messageBoxes().size(), 1u);
    EXPECT_EQ(JoinedBytes(window.messageBoxes()[0].text),
              "Do you want to uninstall \" Quorin K7700 USB Scanner\"");
    for (const char* gone : {"inf\\oem14.inf", "inf\\oem14.pnf", "system32\\QuorinK7700.dll",
                             "twain_32\\QuorinK7700"}) {
        EXPECT_FALSE(FileExists(std::string("C:\\windows\\") + gone)) << gone;
    }
    for (const char* kept : {"inf\\oem2.inf", "inf\\oem5.inf", "inf\\oem9.inf",
                             "system32\\QuorinK5210.dll", "twain_32\\QuorinK5210"}) {
        EXPECT_TRUE(FileExists(std::string("C:\\windows\\") + kept)) << kept;
    }
    EXPECT_TRUE(machine.devices().removals().empty()) << "no device is touched";
    EXPECT_EQ(Entries().size(), 4u);
    EXPECT_FALSE(window.ended());
}

}  // namespace
}  // namespace drvsweep
