#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/restart_deletion.h"
#include "platform/win32/win32_windows.h"
#include "platform/win32/windows_api.h"
#include "res/resource.h"
#include "tests/support/held_file.h"
#include "tests/support/test_machine.h"
#include "tests/wine/driver_package_setup.h"
#include "tests/wine/program_session.h"
#include "tests/wine/screenshot_request.h"
#include "tests/wine/user_input.h"
#include "tests/wine/window_reader.h"

// The uninstall command end to end under Wine: DrvSweep.exe in a prefix seeded from the
// scenario that tests/wine/uninstall.cmake names, driven the way a user drives it, with the
// registry and the files of the prefix checked afterwards.
namespace drvsweep {
namespace {

using testing::ProgramSession;

// The static text of a message box.
constexpr int kMessageBoxText = 0xFFFF;

const wchar_t kTitle[] = L"Quorin scanner driver uninstall programer";
const wchar_t kRestartQuestion[] =
    L"The scanner you choosed has already been uninstalled. \nIt's recommend that restart the "
    L"computer. Restart now?";

const wchar_t kRestartToFinishQuestion[] =
    L"The scanner driver has been uninstalled, but some of its files are in use. The removal "
    L"finishes when the computer restarts. \nRestart now?";

constexpr char kEnumUsb[] = "SYSTEM\\CurrentControlSet\\Enum\\USB\\";

bool KeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

bool Exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> Entries(const ProgramSession& program) {
    return testing::ListEntries(program.mainWindow(), IDC_SCANNER_LIST);
}

void Select(const ProgramSession& program, int entry) {
    SendMessageW(GetDlgItem(program.mainWindow(), IDC_SCANNER_LIST), LB_SETCURSEL, entry, 0);
}

void PressDelete(const ProgramSession& program) {
    testing::ClickWindow(GetDlgItem(program.mainWindow(), IDC_DELETE));
}

// The message box the program shows next, checked for the window title and its text.
HWND ExpectMessageBox(const ProgramSession& program, const std::wstring& text,
                      const std::string& screenshot, const std::wstring& title = kTitle) {
    const HWND box = program.WaitForOwnedWindow(program.mainWindow(), 10000);
    EXPECT_NE(box, nullptr) << "no message box";
    if (box != nullptr) {
        EXPECT_EQ(testing::WindowText(box), title);
        EXPECT_EQ(testing::ItemText(box, kMessageBoxText), text);
        EXPECT_TRUE(testing::TakeScreenshot(box, testing::CurrentTestName() + "_" + screenshot));
    }
    return box;
}

void Answer(const ProgramSession& program, HWND box, int button) {
    ASSERT_NE(box, nullptr);
    testing::ClickWindow(GetDlgItem(box, button));
    EXPECT_TRUE(program.WaitForWindowGone(box, 10000));
}

// demo_nt: the Doc 392's own uninstaller is registered; Delete starts it and asks nothing, and
// the entry goes once the uninstaller has deleted the device key.
TEST(UninstallCommand, RegisteredUninstallerRunsAndTheEntryGoesWithTheDeviceKey) {
    ProgramSession program;
    ASSERT_NE(program.mainWindow(), nullptr);
    Select(program, 0);
    PressDelete(program);
    EXPECT_EQ(program.WaitForOwnedWindow(program.mainWindow(), 1000), nullptr)
        << "a registered uninstaller is started without a question";

    for (int waited = 0; waited < 100 && Entries(program).size() == 4; ++waited) {
        Sleep(100);
    }
    EXPECT_EQ(Entries(program),
              (std::vector<std::wstring>{L" Quorin K5210 USB Scanner", L" Quorin MPX 730 Scanner",
                                         L" Quorin RoamDoc PC Card Scanner"}));
    EXPECT_TRUE(Exists("C:\\uninstaller-ran.txt"));
    EXPECT_FALSE(KeyExists(std::string(kEnumUsb) + "VID_0C6E&PID_3902"));
    EXPECT_TRUE(KeyExists(std::string(kEnumUsb) + "VID_0C6E&PID_5210"));
    EXPECT_TRUE(testing::TakeScreenshot(program.mainWindow(), testing::CurrentTestName()));
    testing::ClickWindow(GetDlgItem(program.mainWindow(), IDOK));
    program.ExpectEndsCleanly();
}

// The window after a removal that left nothing to the restart: no question; Exit ends it.
void ExpectNoRestartQuestionThenExit(ProgramSession& program) {
    EXPECT_EQ(program.WaitForOwnedWindow(program.mainWindow(), 1500), nullptr)
        << "nothing waits for the restart: no question";
    testing::ClickWindow(GetDlgItem(program.mainWindow(), IDOK));
    program.ExpectEndsCleanly();
}

// demo_nt: the K5210 has no uninstaller. Yes at the confirmation removes its device, driver
// files, INF and TWAIN data source, and no other scanner's. Wine's Setup API asks for no restart
// and nothing is held: no restart question follows, and Exit ends the program.
TEST(UninstallCommand, ConfirmedBuiltInRemovalAsksNoNeedlessRestart) {
    ProgramSession program;
    ASSERT_NE(program.mainWindow(), nullptr);
    Select(program, 1);
    PressDelete(program);
    Answer(program,
           ExpectMessageBox(program, L"Do you want to uninstall \" Quorin K5210 USB Scanner\"",
                            "confirmation"),
           IDYES);
    EXPECT_EQ(Entries(program).size(), 3u);
    EXPECT_TRUE(testing::ItemEnabled(program.mainWindow(), IDC_DELETE));
    ExpectNoRestartQuestionThenExit(program);

    EXPECT_FALSE(KeyExists(std::string(kEnumUsb) + "VID_0C6E&PID_5210"));
    EXPECT_FALSE(Exists("C:\\windows\\system32\\QuorinK5210.dll"));
    EXPECT_FALSE(Exists("C:\\windows\\inf\\oem3.inf"));
    EXPECT_FALSE(Exists("C:\\windows\\twain_32\\QuorinK5210"));
    EXPECT_TRUE(KeyExists(std::string(kEnumUsb) + "VID_0C6E&PID_3902"));
    EXPECT_TRUE(KeyExists(std::string(kEnumUsb) + "Vid_0c6e&Pid_7300"));
    EXPECT_TRUE(KeyExists(std::string(kEnumUsb) + "VID_046D&PID_C077"));
    EXPECT_TRUE(Exists("C:\\windows\\twain_32\\AcmeScan\\AcmeScan.ds"));
    EXPECT_TRUE(Exists("C:\\windows\\twain_32\\Orbdrv\\Orbdrv.ds"));
    EXPECT_TRUE(Exists("C:\\windows\\inf\\oem0.inf"));
    EXPECT_TRUE(Exists("C:\\windows\\inf\\oem7.inf"));
}

// demo_nt: a scanning program holds the K5210's driver and data source. Everything else of it
// goes now, the held files and their folder are set to go at the restart, and the restart
// question says that the removal finishes then.
TEST(UninstallCommand, HeldFilesGoAtTheRestartAndTheQuestionSaysSo) {
    const std::string source = "C:\\windows\\twain_32\\QuorinK5210";
    testing::HeldFile dll;
    testing::HeldFile dataSource;
    ASSERT_TRUE(dll.Hold("C:\\windows\\system32\\QuorinK5210.dll"));
    ASSERT_TRUE(dataSource.Hold(source + "\\QuorinK5210.ds"));
    ProgramSession program;
    ASSERT_NE(program.mainWindow(), nullptr);
    Select(program, 1);
    PressDelete(program);
    Answer(program,
           ExpectMessageBox(program, L"Do you want to uninstall \" Quorin K5210 USB Scanner\"",
                            "confirmation"),
           IDYES);
    Answer(program, ExpectMessageBox(program, kRestartToFinishQuestion, "restart"), IDNO);
    program.ExpectEndsCleanly();

    EXPECT_FALSE(KeyExists(std::string(kEnumUsb) + "VID_0C6E&PID_5210"));
    EXPECT_FALSE(Exists("C:\\windows\\inf\\oem3.inf"));
    EXPECT_FALSE(Exists((source + "\\readme.txt").c_str()));
    EXPECT_TRUE(Exists("C:\\windows\\system32\\QuorinK5210.dll"));
    win32::Win32Windows windows;
    Platform& platform = windows.platform();
    const ScheduledDeletions scheduled(platform.registry, platform.files, platform.version);
    for (const std::string& path : {testing::SystemFileOfTheRemoval("QuorinK5210.dll"),
                                    source + "\\QuorinK5210.ds", source}) {
        EXPECT_TRUE(scheduled.Holds(path.c_str())) << path;
    }
    EXPECT_FALSE(scheduled.Holds("C:\\windows\\twain_32\\AcmeScan\\AcmeScan.ds"));
}

// demo_nt: a double-click asks about that entry; No changes nothing.
TEST(UninstallCommand, DoubleClickThenNoAtTheConfirmationChangesNothing) {
    ProgramSession program;
    ASSERT_NE(program.mainWindow(), nullptr);
    testing::DoubleClickListEntry(GetDlgItem(program.mainWindow(), IDC_SCANNER_LIST), 3);
    Answer(
        program,
        ExpectMessageBox(program, L"Do you want to uninstall \" Quorin RoamDoc PC Card Scanner\"",
                         "confirmation"),
        IDNO);
    EXPECT_EQ(Entries(program).size(), 4u);
    EXPECT_TRUE(KeyExists("SYSTEM\\CurrentControlSet\\Enum\\PCMCIA\\QUORIN-ROAMDOC-5E1A"));
    EXPECT_TRUE(Exists("C:\\windows\\system32\\drivers\\Orbdrv.sys"));
    EXPECT_TRUE(Exists("C:\\windows\\inf\\oem7.inf"));
    EXPECT_TRUE(Exists("C:\\windows\\twain_32\\Orbdrv\\Orbdrv.ds"));
    testing::ClickWindow(GetDlgItem(program.mainWindow(), IDOK));
    program.ExpectEndsCleanly();
}

// uninstall_last_9x: removing the only scanner on the 9x family deletes its class key and
// device entry, empties the list and disables Delete.
TEST(UninstallCommand, RemovingTheLastScannerOn9xDisablesDelete) {
    ProgramSession program;
    ASSERT_NE(program.mainWindow(), nullptr);
    PressDelete(program);
    Answer(program,
           ExpectMessageBox(program, L"Do you want to uninstall \" Quorin K5210 USB Scanner\"",
                            "confirmation"),
           IDYES);
    const HWND restart = ExpectMessageBox(program, kRestartQuestion, "restart");
    EXPECT_TRUE(Entries(program).empty());
    EXPECT_FALSE(testing::ItemEnabled(program.mainWindow(), IDC_DELETE));
    Answer(program, restart, IDNO);
    program.ExpectEndsCleanly();

    EXPECT_FALSE(KeyExists("Enum\\USB\\VID_0C6E&PID_5210"));
    EXPECT_FALSE(KeyExists("SYSTEM\\CurrentControlSet\\Services\\Class\\Image\\0000"));
    EXPECT_TRUE(KeyExists("SYSTEM\\CurrentControlSet\\Services\\Class\\Image\\0001"));
    EXPECT_TRUE(KeyExists("Enum\\USB\\VID_04B8&PID_0110"));
    EXPECT_FALSE(Exists("C:\\windows\\system\\QuorinK5210.dll"));
    EXPECT_FALSE(Exists("C:\\windows\\inf\\other\\QuorinK5210.inf"));
    EXPECT_FALSE(Exists("C:\\windows\\twain_32\\QuorinK5210"));
    EXPECT_TRUE(Exists("C:\\windows\\twain_32\\AcmeScan\\AcmeScan.ds"));
    EXPECT_TRUE(Exists("C:\\windows\\system\\AcmeScan.dll"));
    EXPECT_TRUE(Exists("C:\\windows\\inf\\other\\AcmeFlat.inf"));
}

// package_x64, 64-bit program: the K5210 and another maker's scanner installed from packages of
// today's shape (decorated models sections) as Windows installs them (the scenario's files in
// system32, syswow64, twain_32 and twain_64, the INF files copied in with SetupCopyOEMInfA, which
// makes their .pnf files). The removal takes the K5210's package and every copy of its files, and
// nothing of the other maker's.
TEST(UninstallCommand, RemovalTakesThePackageAndTheSixtyFourBitCopies) {
    for (const char* inf : {"oem21.inf", "oem22.inf"}) {
        ASSERT_EQ(testing::InstallDriverPackage(
                      testing::FixturePath(std::string("package_x64/packages/") + inf)),
                  inf);
    }
    ASSERT_TRUE(Exists("C:\\windows\\inf\\oem21.pnf")) << "the system makes the .pnf";
    ProgramSession program;
    ASSERT_NE(program.mainWindow(), nullptr);
    EXPECT_EQ(Entries(program), std::vector<std::wstring>{L" Quorin K5210 USB Scanner"});
    PressDelete(program);
    Answer(program,
           ExpectMessageBox(program, L"Do you want to uninstall \" Quorin K5210 USB Scanner\"",
                            "confirmation"),
           IDYES);
    ExpectNoRestartQuestionThenExit(program);

    EXPECT_FALSE(KeyExists(std::string(kEnumUsb) + "VID_0C6E&PID_5210"));
    EXPECT_TRUE(KeyExists(std::string(kEnumUsb) + "VID_04B8&PID_0110"));
    for (const char* gone :
         {"inf\\oem21.inf", "inf\\oem21.pnf", "system32\\QuorinK5210.dll",
          "system32\\drivers\\QuorinK5210.dll", "syswow64\\QuorinK5210.dll",
          "syswow64\\drivers\\QuorinK5210.dll", "twain_32\\QuorinK5210", "twain_64\\QuorinK5210"}) {
        EXPECT_FALSE(Exists((std::string("C:\\windows\\") + gone).c_str())) << gone;
    }
    for (const char* kept :
         {"inf\\oem22.inf", "inf\\oem22.pnf", "system32\\AcmeScan.dll", "syswow64\\AcmeScan.dll",
          "twain_32\\AcmeScan\\AcmeScan.ds", "twain_64\\AcmeScan\\AcmeScan.ds"}) {
        EXPECT_TRUE(Exists((std::string("C:\\windows\\") + kept).c_str())) << kept;
    }
}

// decorated_x64: the K7700's package was staged without its scanner. The window lists it after
// the scanners, marked as a driver without a device; Delete asks the usual confirmation and
// takes the package with its .pnf, DLL and data source, and leaves the scanners and the other
// maker's package of the same shape.
TEST(UninstallCommand, ADriverWithoutADeviceIsListedMarkedAndRemoved) {
    ProgramSession program;
    ASSERT_NE(program.mainWindow(), nullptr);
    const std::vector<std::wstring> entries = Entries(program);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[3], L" Quorin RoamDoc PC Card Scanner");
    EXPECT_EQ(entries[4], L" Quorin K7700 USB Scanner (driver without a device)");
    Select(program, 4);
    PressDelete(program);
    Answer(program,
           ExpectMessageBox(program, L"Do you want to uninstall \" Quorin K7700 USB Scanner\"",
                            "confirmation"),
           IDYES);
    ExpectNoRestartQuestionThenExit(program);

    for (const char* gone : {"inf\\oem14.inf", "inf\\oem14.pnf", "system32\\QuorinK7700.dll",
                             "twain_32\\QuorinK7700"}) {
        EXPECT_FALSE(Exists((std::string("C:\\windows\\") + gone).c_str())) << gone;
    }
    for (const char* kept : {"inf\\oem2.inf", "inf\\oem5.inf", "inf\\oem9.inf",
                             "system32\\QuorinK5210.dll", "twain_32\\QuorinK5210"}) {
        EXPECT_TRUE(Exists((std::string("C:\\windows\\") + kept).c_str())) << kept;
    }
    EXPECT_TRUE(KeyExists(std::string(kEnumUsb) + "VID_0C6E&PID_5210"));
    EXPECT_TRUE(KeyExists(std::string(kEnumUsb) + "VID_04B8&PID_0110"));
}

// uninstall_twain_zh_tw_9x: Traditional Chinese on the 9x family, in code page 950, where the
// window is an ANSI window. The scanner's TWAIN folder is twain_32\Maker\功, and 功 (A5 5C)
// ends in the byte of a backslash, as do the subfolders 功 and 許 in it: the whole folder goes,
// and the folders beside it stay.
TEST(UninstallCommand, TraditionalChinese9xRemovesATwainFolderNamedInBig5) {
    ProgramSession program;
    ASSERT_NE(program.mainWindow(), nullptr);
    EXPECT_FALSE(IsWindowUnicode(program.mainWindow()));
    const std::wstring title = L"Quorin掃描儀驅動卸裝程序";
    PressDelete(program);
    Answer(program,
           ExpectMessageBox(program, L"確認您要卸裝“  Quorin K5210 USB Scanner ”掃描儀驅動",
                            "confirmation", title),
           IDYES);
    const HWND restart = ExpectMessageBox(
        program, L"您所選擇的掃描儀驅動已經卸裝完畢, 重啟計算機\n才能使設置有效，重啟計算機嗎？",
        "restart", title);
    EXPECT_TRUE(Entries(program).empty());
    Answer(program, restart, IDNO);
    program.ExpectEndsCleanly();

    const auto exists = [](const wchar_t* path) {
        return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
    };
    EXPECT_FALSE(KeyExists("Enum\\USB\\VID_0C6E&PID_5210"));
    EXPECT_FALSE(KeyExists("SYSTEM\\CurrentControlSet\\Services\\Class\\Image\\0000"));
    EXPECT_FALSE(Exists("C:\\windows\\inf\\other\\QuorinK5210.inf"));
    EXPECT_FALSE(exists(L"C:\\windows\\twain_32\\Maker\\功"));
    EXPECT_TRUE(exists(L"C:\\windows\\twain_32\\Maker\\Other\\Other.ds"));
    EXPECT_TRUE(exists(L"C:\\windows\\twain_32\\AcmeScan\\AcmeScan.ds"));
}

// demo_nt: a scanning program holds the K5210's driver, so the removal waits for the restart.
// Yes at the restart question asks for a restart that lets programs answer (EWX_REBOOT |
// EWX_FORCEIFHUNG); Wine ends the prefix's processes for it, DrvSweep.exe among them (this
// driver may go with them, which Wine reports as a clean exit).
TEST(UninstallCommand, YesAtTheRestartQuestionRestarts) {
    testing::HeldFile dll;
    ASSERT_TRUE(dll.Hold("C:\\windows\\system32\\QuorinK5210.dll"));
    ProgramSession program;
    ASSERT_NE(program.mainWindow(), nullptr);
    Select(program, 1);
    PressDelete(program);
    Answer(program,
           ExpectMessageBox(program, L"Do you want to uninstall \" Quorin K5210 USB Scanner\"",
                            "confirmation"),
           IDYES);
    const HWND restart = ExpectMessageBox(program, kRestartToFinishQuestion, "restart");
    testing::ClickWindow(GetDlgItem(restart, IDYES));
    EXPECT_TRUE(program.WaitForExit(15000).has_value()) << "no restart ended DrvSweep.exe";
}

}  // namespace
}  // namespace drvsweep
