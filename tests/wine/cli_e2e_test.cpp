// DrvSweep.exe's command line end to end: the real program started in the test's Wine prefix
// with its standard output and error on pipes, and no display at all, so that any window it
// tried to open would fail the run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/restart_deletion.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/win32_run_lock.h"
#include "platform/win32/win32_windows.h"
#include "platform/win32/windows_api.h"
#include "platform/win32_codes.h"
#include "tests/support/held_file.h"
#include "tests/support/json_value.h"

namespace drvsweep::testing {
namespace {

constexpr char kLog[] = "C:\\windows\\Logs\\DrvSweep\\DrvSweep.log";
constexpr char kK5210Key[] = "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_5210";
constexpr char kDoc392Key[] = "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_3902";
constexpr char kRoamDocKey[] = "SYSTEM\\CurrentControlSet\\Enum\\PCMCIA\\QUORIN-ROAMDOC-5E1A";
constexpr char kMouseKey[] = "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_046D&PID_C077";
constexpr char kK5210Dll[] = "C:\\windows\\system32\\QuorinK5210.dll";

struct ProgramRun {
    DWORD exitCode = 0;
    std::string output;
    std::string error;
};

// What the pipe holds now, without waiting for more.
void ReadAvailable(HANDLE pipe, std::string* bytes) {
    DWORD available = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        char buffer[4096];
        DWORD read = 0;
        if (!ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) || read == 0) {
            return;
        }
        bytes->append(buffer, read);
    }
}

std::string ReadAll(HANDLE pipe) {
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    return bytes;
}

// Runs DrvSweep.exe (DRVSWEEP_PROGRAM, a host path) with the arguments and waits for it.
ProgramRun RunProgram(const std::string& arguments) {
    ProgramRun run;
    const char* program = std::getenv("DRVSWEEP_PROGRAM");
    if (program == nullptr) {
        ADD_FAILURE() << "DRVSWEEP_PROGRAM must name DrvSweep.exe";
        return run;
    }
    std::string commandLine = "\"Z:";
    for (const char* c = program; *c != '\0'; ++c) {
        commandLine += *c == '/' ? '\\' : *c;
    }
    commandLine += "\" " + arguments;

    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE outRead = nullptr;
    HANDLE outWrite = nullptr;
    HANDLE errRead = nullptr;
    HANDLE errWrite = nullptr;
    EXPECT_TRUE(CreatePipe(&outRead, &outWrite, &inherit, 0));
    EXPECT_TRUE(CreatePipe(&errRead, &errWrite, &inherit, 0));
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION started = {};
    const BOOL ok = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                   nullptr, &startup, &started);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (!ok) {
        ADD_FAILURE() << "DrvSweep.exe did not start: error " << GetLastError();
        CloseHandle(outRead);
        CloseHandle(errRead);
        return run;
    }
    // The pipes are read until the program has ended rather than until they report their
    // end: processes that Wine starts on the way (its desktop) may hold the writing ends.
    DWORD waited = WAIT_TIMEOUT;
    for (int polls = 0; polls < 1200 && waited == WAIT_TIMEOUT; ++polls) {
        waited = WaitForSingleObject(started.hProcess, 50);
        ReadAvailable(outRead, &run.output);
        ReadAvailable(errRead, &run.error);
    }
    EXPECT_EQ(waited, WAIT_OBJECT_0) << "DrvSweep.exe did not end within 60 seconds";
    CloseHandle(outRead);
    CloseHandle(errRead);
    GetExitCodeProcess(started.hProcess, &run.exitCode);
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
    return run;
}

bool KeyExists(const char* path) {
    win32::Win32Windows windows;
    std::unique_ptr<RegistryKey> key;
    return windows.platform().registry.OpenKey(path, kKeyRead, &key) == kErrorSuccess;
}

// The key in the 64-bit registry view, where the 64-bit removal works, also when the test
// program is the x86 build.
bool KeyExistsIn64BitView(const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

bool FileExists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadHostFile(const char* path) {
    std::string bytes;
    const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        bytes = ReadAll(file);
        CloseHandle(file);
    }
    return bytes;
}

JsonValue ParsedJson(const std::string& text) {
    JsonValue value;
    std::string error;
    EXPECT_TRUE(ParseJson(text, &value, &error)) << error << " in " << text;
    return value;
}

TEST(CommandLine, ListAsJsonOnAMachineWithScanners) {
    const ProgramRun run = RunProgram("/list /format json");
    EXPECT_EQ(run.exitCode, 1u) << run.error;
    const JsonValue value = ParsedJson(run.output);
    EXPECT_EQ(value["schemaVersion"].number, 1);
    EXPECT_EQ(value["exitCode"].number, 1);
    EXPECT_FALSE(value["computerName"].text.empty());
    ASSERT_EQ(value["scanners"].items.size(), 4u);
    EXPECT_EQ(value["scanners"].items[1]["devicePath"].text, "USB\\VID_0C6E&PID_5210");
    EXPECT_EQ(value["scanners"].items[1]["plan"].items.size(), 4u);
    EXPECT_EQ(value["scanners"].items[0]["uninstallKey"].text, "quorin Doc_392");
    // Wine counts every device of its registry as present (see docs/wine-facts.md).
    for (const JsonValue& scanner : value["scanners"].items) {
        EXPECT_EQ(scanner["attached"].text, "yes") << scanner["devicePath"].text;
    }
    EXPECT_TRUE(KeyExists(kK5210Key));
}

TEST(CommandLine, ListAsJsonOnAnEmptyMachine) {
    const ProgramRun run = RunProgram("/list /format json");
    EXPECT_EQ(run.exitCode, 0u) << run.error;
    EXPECT_TRUE(ParsedJson(run.output)["scanners"].items.empty());
}

TEST(CommandLine, ListKeepsAChineseDescription) {
    const ProgramRun run = RunProgram("/list /format json");
    EXPECT_EQ(run.exitCode, 1u) << run.error;
    EXPECT_NE(run.output.find("\\u626b\\u63cf\\u4eea"), std::string::npos) << run.output;
    EXPECT_EQ(ParsedJson(run.output)["scanners"].items[0]["description"].text,
              "Quorin K5210 USB \xE6\x89\xAB\xE6\x8F\x8F\xE4\xBB\xAA");
}

// Nothing is held and Wine's Setup API asks for no restart after DIF_REMOVE: 0.
TEST(CommandLine, RemoveAllQuietRemovesEveryScannerAndWritesTheLog) {
    const ProgramRun run = RunProgram("/remove all /quiet");
    EXPECT_EQ(run.exitCode, 0u) << run.error;
    EXPECT_EQ(run.output,
              std::string("result=0 removed=4 pendingRestart=0 remaining=0 restart=none log=") +
                  kLog + "\r\n");
    for (const char* key : {kK5210Key, kDoc392Key, kRoamDocKey}) {
        EXPECT_FALSE(KeyExists(key)) << key;
    }
    EXPECT_TRUE(KeyExists(kMouseKey));
    EXPECT_FALSE(FileExists(kK5210Dll));
    EXPECT_FALSE(FileExists("C:\\windows\\inf\\oem3.inf"));
    EXPECT_FALSE(FileExists("C:\\windows\\twain_32\\QuorinK5210"));
    // The x86 driver's system32 is SysWOW64, where 64-bit Windows keeps no kernel driver; there
    // DrvSweep.exe hands the run to the x86-64 program, which removes it from the real one.
    if (sizeof(void*) == 8) {
        EXPECT_FALSE(FileExists("C:\\windows\\system32\\drivers\\Orbdrv.sys"));
    }
    EXPECT_TRUE(FileExists("C:\\windows\\twain_32\\AcmeScan\\AcmeScan.ds"));
    EXPECT_TRUE(FileExists("C:\\windows\\inf\\oem0.inf"));
    const std::string log = ReadHostFile(kLog);
    EXPECT_EQ(log.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(log.find("<![LOG[Command line: /remove all /quiet]LOG]!>"), std::string::npos);
    EXPECT_NE(log.find("Summary: result=0 removed=4 pendingRestart=0 remaining=0"),
              std::string::npos);
}

TEST(CommandLine, RemoveOneDevicePathLeavesTheOthers) {
    const ProgramRun run = RunProgram("/remove usb\\vid_0c6e&pid_5210 /format json");
    EXPECT_EQ(run.exitCode, 0u) << run.error;
    const JsonValue value = ParsedJson(run.output);
    ASSERT_EQ(value["scanners"].items.size(), 1u);
    EXPECT_EQ(value["scanners"].items[0]["result"].text, "removed");
    EXPECT_FALSE(KeyExists(kK5210Key));
    EXPECT_FALSE(FileExists(kK5210Dll));
    EXPECT_TRUE(KeyExists(kDoc392Key));
    EXPECT_TRUE(KeyExists(kRoamDocKey));
    EXPECT_TRUE(FileExists("C:\\windows\\inf\\oem7.inf"));
}

TEST(CommandLine, VendorUninstallerRunsAndRemovesItsScanner) {
    const ProgramRun run =
        RunProgram("/remove USB\\VID_0C6E&PID_3902 /vendor /timeout 30 /format json");
    EXPECT_EQ(run.exitCode, 0u) << run.error;
    const JsonValue value = ParsedJson(run.output);
    ASSERT_EQ(value["scanners"].items.size(), 1u);
    EXPECT_EQ(value["scanners"].items[0]["method"].text, "vendor");
    EXPECT_EQ(value["scanners"].items[0]["result"].text, "removed");
    EXPECT_FALSE(KeyExists(kDoc392Key));
    EXPECT_TRUE(KeyExists(kK5210Key));
    EXPECT_TRUE(FileExists("C:\\uninstaller-ran.txt"));
}

TEST(CommandLine, WhatIfChangesNothing) {
    const ProgramRun run = RunProgram("/remove all /whatif /format json");
    EXPECT_EQ(run.exitCode, 0u) << run.error;
    const JsonValue value = ParsedJson(run.output);
    EXPECT_TRUE(value["whatIf"].boolean);
    ASSERT_EQ(value["scanners"].items.size(), 4u);
    EXPECT_EQ(value["scanners"].items[1]["result"].text, "planned");
    for (const char* key : {kK5210Key, kDoc392Key, kRoamDocKey}) {
        EXPECT_TRUE(KeyExists(key)) << key;
    }
    EXPECT_TRUE(FileExists(kK5210Dll));
    EXPECT_TRUE(FileExists("C:\\windows\\twain_32\\QuorinK5210\\QuorinK5210.ds"));
    EXPECT_TRUE(FileExists(kLog));
}

// decorated_x64: the K7700's package was staged without its scanner. /list names it like any
// scanner, so the machine is not clean, and /remove all takes it with its .pnf, DLL and data
// source, while the other maker's package of the same shape and its device stay.
TEST(CommandLine, ADriverWithoutADeviceIsListedAndRemovedByRemoveAll) {
    const ProgramRun list = RunProgram("/list /format json");
    EXPECT_EQ(list.exitCode, 1u) << list.error;
    const JsonValue listed = ParsedJson(list.output);
    ASSERT_EQ(listed["scanners"].items.size(), 5u);
    EXPECT_EQ(listed["scanners"].items[4]["devicePath"].text, "USB\\VID_0C6E&PID_7700");
    EXPECT_EQ(listed["scanners"].items[4]["description"].text, "Quorin K7700 USB Scanner");

    const ProgramRun run = RunProgram("/remove all /format json");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    const JsonValue value = ParsedJson(run.output);
    EXPECT_EQ(value["remaining"].number, 0) << run.output;
    bool reported = false;
    for (const JsonValue& scanner : value["scanners"].items) {
        if (scanner["devicePath"].text == "USB\\VID_0C6E&PID_7700") {
            reported = true;
            EXPECT_EQ(scanner["method"].text, "builtIn");
            EXPECT_EQ(scanner["result"].text, "removed");
        }
    }
    EXPECT_TRUE(reported) << run.output;
    for (const char* gone :
         {"C:\\windows\\inf\\oem14.inf", "C:\\windows\\inf\\oem14.pnf",
          "C:\\windows\\system32\\QuorinK7700.dll", "C:\\windows\\twain_32\\QuorinK7700"}) {
        EXPECT_FALSE(FileExists(gone)) << gone;
    }
    EXPECT_TRUE(FileExists("C:\\windows\\inf\\oem9.inf"));
    EXPECT_TRUE(KeyExists("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_04B8&PID_0110"));
    const ProgramRun rerun = RunProgram("/list /format json");
    EXPECT_EQ(rerun.exitCode, 0u) << rerun.output;
}

// Another process holds the run lock (here this test, through the same backend, which under
// Wine takes the lock file: Wine has no private namespaces). A removal ends with 1618 before it
// changes anything; once the lock is let go, it runs.
TEST(CommandLine, ARemovalWaitsWhileAnotherHoldsTheLock) {
    {
        win32::Win32RunLock lock;
        ASSERT_EQ(lock.Take(), RunLockState::Taken);
        EXPECT_TRUE(FileExists("C:\\windows\\Logs\\DrvSweep\\DrvSweep.lock"));
        const ProgramRun run = RunProgram("/remove all /quiet");
        EXPECT_EQ(run.exitCode, 1618u) << run.output;
        EXPECT_NE(run.error.find("another DrvSweep is running"), std::string::npos) << run.error;
        EXPECT_TRUE(KeyExists(kK5210Key));
        EXPECT_TRUE(FileExists(kK5210Dll));
    }
    const ProgramRun run = RunProgram("/remove all /quiet");
    EXPECT_EQ(run.exitCode, 0u) << run.error;
    EXPECT_FALSE(KeyExists(kK5210Key));
}

// A /quiet run starts the key's QuietUninstallString, not its UninstallString.
TEST(CommandLine, AQuietRunStartsTheQuietUninstaller) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_LOCAL_MACHINE,
                        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\quorin "
                        "Doc_392",
                        0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    const std::string quiet =
        "C:\\windows\\quorin\\uninst.exe -record C:\\quiet-ran.txt USB\\VID_0C6E&PID_3902";
    ASSERT_EQ(RegSetValueExA(key, "QuietUninstallString", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(quiet.c_str()),
                             static_cast<DWORD>(quiet.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(key);
    const ProgramRun run = RunProgram("/remove USB\\VID_0C6E&PID_3902 /vendor /timeout 30 /quiet");
    EXPECT_EQ(run.exitCode, 0u) << run.error;
    EXPECT_TRUE(FileExists("C:\\quiet-ran.txt"));
    EXPECT_FALSE(FileExists("C:\\uninstaller-ran.txt"));
    EXPECT_FALSE(KeyExists(kDoc392Key));
    const std::string log = ReadHostFile(kLog);
    EXPECT_NE(log.find("Started the registered uninstaller of USB\\VID_0C6E&PID_3902: " + quiet),
              std::string::npos)
        << log;
}

TEST(CommandLine, ABadSwitchChangesNothing) {
    const ProgramRun run = RunProgram("/remove all /bogus");
    EXPECT_EQ(run.exitCode, 1639u);
    EXPECT_TRUE(run.output.empty());
    EXPECT_NE(run.error.find("unknown switch /bogus"), std::string::npos) << run.error;
    EXPECT_NE(run.error.find("Usage:"), std::string::npos);
    EXPECT_TRUE(KeyExists(kK5210Key));
    EXPECT_TRUE(FileExists(kK5210Dll));
    EXPECT_FALSE(FileExists(kLog));
}

// A scanning program holds the K5210's driver and data source: the rest goes now, the held files
// and their folder are set to go at the restart, and the run ends with 3010, not 1603. Its
// device and INF are gone, so a run before the restart lists nothing of it.
TEST(CommandLine, HeldFilesGoAtTheRestart) {
    const std::string source = "C:\\windows\\twain_32\\QuorinK5210";
    HeldFile dll;
    HeldFile dataSource;
    ASSERT_TRUE(dll.Hold(kK5210Dll));
    ASSERT_TRUE(dataSource.Hold(source + "\\QuorinK5210.ds"));

    const ProgramRun run = RunProgram("/remove all /quiet");
    EXPECT_EQ(run.exitCode, 3010u) << run.error;
    EXPECT_EQ(
        run.output,
        std::string("result=3010 removed=3 pendingRestart=1 remaining=0 restart=required log=") +
            kLog + "\r\n");
    EXPECT_TRUE(FileExists(kK5210Dll));
    EXPECT_FALSE(FileExists((source + "\\readme.txt").c_str()));
    EXPECT_FALSE(FileExists("C:\\windows\\inf\\oem3.inf"));
    EXPECT_FALSE(KeyExists(kK5210Key));
    win32::Win32Windows windows;
    Platform& platform = windows.platform();
    const ScheduledDeletions scheduled(platform.registry, platform.files, platform.version);
    const std::string heldDll = testing::SystemFileOfTheRemoval("QuorinK5210.dll");
    for (const std::string& path : {heldDll, source + "\\QuorinK5210.ds", source}) {
        EXPECT_TRUE(scheduled.Holds(path.c_str())) << path;
    }
    EXPECT_FALSE(scheduled.Holds("C:\\windows\\twain_32\\AcmeScan\\AcmeScan.ds"));
    const std::string log = ReadHostFile(kLog);
    EXPECT_NE(log.find("Deleted at the restart: driverFile " + heldDll), std::string::npos);
    EXPECT_NE(log.find("Deleted at the restart: dataSourceFolder " + source), std::string::npos);

    const ProgramRun rerun = RunProgram("/list /format json");
    EXPECT_EQ(rerun.exitCode, 0u) << rerun.output;
}

// every_package_x64: the updated K4100 goes with both versions of its package, its WIA-only
// driver and each version's own data source and DLL copies; the K4300's package goes, while the
// package Acme's rebadged model uses stays with the data source and DLL it names, and so does
// Acme's own package of the same decorated shape.
TEST(CommandLine, RemoveAllTakesEveryPackageAndKeepsTheOneAnotherMakerUses) {
    const char* const gone[] = {"C:\\windows\\inf\\oem31.inf",
                                "C:\\windows\\inf\\oem31.pnf",
                                "C:\\windows\\inf\\oem32.inf",
                                "C:\\windows\\inf\\oem32.pnf",
                                "C:\\windows\\inf\\oem35.inf",
                                "C:\\windows\\inf\\oem35.pnf",
                                "C:\\windows\\inf\\oem37.inf",
                                "C:\\windows\\inf\\oem37.pnf",
                                "C:\\windows\\system32\\QuorinK41.dll",
                                "C:\\windows\\syswow64\\QuorinK41.dll",
                                "C:\\windows\\system32\\QuorinK4100.dll",
                                "C:\\windows\\syswow64\\QuorinK4100.dll",
                                "C:\\windows\\twain_32\\QuorinK41",
                                "C:\\windows\\twain_64\\QuorinK41",
                                "C:\\windows\\twain_32\\QuorinK4100",
                                "C:\\windows\\twain_64\\QuorinK4100"};
    for (const char* path : gone) {
        ASSERT_TRUE(FileExists(path)) << path;
    }
    const ProgramRun run = RunProgram("/remove all /quiet");
    EXPECT_EQ(run.exitCode, 0u) << run.error;
    EXPECT_EQ(run.output,
              std::string("result=0 removed=2 pendingRestart=0 remaining=0 restart=none log=") +
                  kLog + "\r\n");
    for (const char* path : gone) {
        EXPECT_FALSE(FileExists(path)) << path;
    }
    for (const char* path :
         {"C:\\windows\\inf\\oem33.inf", "C:\\windows\\inf\\oem33.pnf",
          "C:\\windows\\system32\\QuorinK4300.dll",
          "C:\\windows\\twain_32\\QuorinK4300\\QuorinK4300.ds", "C:\\windows\\inf\\oem34.inf",
          "C:\\windows\\twain_32\\AcmeScan\\AcmeScan.ds"}) {
        EXPECT_TRUE(FileExists(path)) << path;
    }
    EXPECT_FALSE(KeyExists("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_4100"));
    EXPECT_FALSE(KeyExists("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_4300"));
    EXPECT_TRUE(KeyExists("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_04B8&PID_0120"));
    EXPECT_TRUE(KeyExists("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_04B8&PID_0110"));
    EXPECT_NE(ReadHostFile(kLog).find("Not removed: infPackage C:\\windows\\inf\\oem33.inf (used "
                                      "by another maker's device, driver key "
                                      "{6bdd1fc6-810f-11d0-bec7-08002be2092f}\\0002)"),
              std::string::npos);
}

TEST(CommandLine, ListNamesEveryPackageAndTheKeptOne) {
    const ProgramRun run = RunProgram("/list /format json");
    EXPECT_EQ(run.exitCode, 1u) << run.error;
    const JsonValue value = ParsedJson(run.output);
    ASSERT_EQ(value["scanners"].items.size(), 2u);
    std::vector<std::string> packages;
    for (const JsonValue& item : value["scanners"].items[0]["plan"].items) {
        if (item["kind"].text == "infPackage") {
            packages.push_back(item["path"].text);
        }
    }
    EXPECT_EQ(packages, (std::vector<std::string>{
                            "C:\\windows\\inf\\oem32.inf", "C:\\windows\\inf\\oem32.pnf",
                            "C:\\windows\\inf\\oem31.inf", "C:\\windows\\inf\\oem31.pnf",
                            "C:\\windows\\inf\\oem35.inf", "C:\\windows\\inf\\oem35.pnf"}));
    // The kept package, then the two files it names.
    const JsonValue& kept = value["scanners"].items[1]["kept"];
    ASSERT_EQ(kept.items.size(), 3u);
    EXPECT_EQ(kept.items[0]["path"].text, "C:\\windows\\inf\\oem33.inf");
    EXPECT_EQ(kept.items[0]["reason"].text,
              "used by another maker's device, driver key "
              "{6bdd1fc6-810f-11d0-bec7-08002be2092f}\\0002");
}

// Four scanners of real package shapes: /remove all takes every file each package installed,
// the COM class of its WIA minidriver and the data source folders it leaves empty, and nothing
// that another maker's package or Windows shares; a /list afterwards finds nothing.
TEST(CommandLine, RemoveAllTakesWhatEachPackageInstalledAndNothingItShares) {
    const char* const gone[] = {
        "C:\\windows\\system32\\qrns41.dll",   "C:\\windows\\system32\\qrns41ui.dll",
        "C:\\windows\\system32\\qrns41t6.dll", "C:\\windows\\syswow64\\qrns41tw.dll",
        "C:\\windows\\system32\\qrnsm24m.dll", "C:\\windows\\system32\\qrn61usd.dll",
        "C:\\windows\\system32\\qrn61ui.dll",  "C:\\windows\\twain\\Quorin\\QRNSM16.DS",
        "C:\\windows\\help\\qrnsm24.hlp",      "C:\\windows\\twain_32\\Quorin\\S41",
        "C:\\windows\\twain_32\\Quorin\\SM24", "C:\\windows\\twain_32\\Quorin Scan 61",
        "C:\\windows\\twain_64\\Quorin",       "C:\\windows\\inf\\oem41.inf",
        "C:\\windows\\inf\\oem24.inf",         "C:\\windows\\inf\\oem61.inf",
        "C:\\windows\\inf\\oem90.inf"};
    const char* const staying[] = {"C:\\windows\\system32\\twaindsm.dll",
                                   "C:\\windows\\system32\\msvcr71.dll",
                                   "C:\\windows\\twain_32\\Quorin\\SM20\\qrnsm20.ds",
                                   "C:\\windows\\system32\\acmeflat.dll",
                                   "C:\\windows\\twain_32\\Acme\\acmeflat.ds",
                                   "C:\\windows\\inf\\oem50.inf",
                                   "C:\\windows\\inf\\layout.inf"};
    for (const char* path : gone) {
        ASSERT_TRUE(FileExists(path)) << path;
    }
    const char kComClass[] = "Software\\Classes\\CLSID\\{5A1B0E3C-7F2D-4E8B-9C41-0A6E5D3B2F71}";
    ASSERT_TRUE(KeyExistsIn64BitView(kComClass));
    // A backup that cannot be written removes nothing: here its folder would lie below a file.
    const ProgramRun blocked = RunProgram(
        "/remove USB\\VID_0C6E&PID_0410 /quiet /backupdir C:\\windows\\inf\\layout.inf\\backups");
    EXPECT_EQ(blocked.exitCode, 1603u) << blocked.output;
    EXPECT_NE(blocked.error.find("nothing removed of USB\\VID_0C6E&PID_0410: the backup failed"),
              std::string::npos)
        << blocked.error;
    for (const char* path : gone) {
        EXPECT_TRUE(FileExists(path)) << path;
    }
    const ProgramRun run = RunProgram("/remove all /quiet");
    EXPECT_EQ(run.output.rfind("result=", 0), 0u) << run.output;
    EXPECT_NE(run.output.find(" removed=4 pendingRestart=0 remaining=0 "), std::string::npos)
        << run.output;
    for (const char* path : gone) {
        EXPECT_FALSE(FileExists(path)) << path;
    }
    for (const char* path : staying) {
        EXPECT_TRUE(FileExists(path)) << path;
    }
    EXPECT_FALSE(KeyExistsIn64BitView(kComClass));
    EXPECT_TRUE(KeyExists("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_04B8&PID_0300"));
    EXPECT_NE(ReadHostFile(kLog).find("Not removed: driverFile C:\\windows\\system32\\twaindsm.dll "
                                      "(listed by oem50.inf)"),
              std::string::npos);
    EXPECT_EQ(RunProgram("/list").exitCode, 0u);

    // Each backup put back: the files and the COM class return, and the packages are staged, so
    // that every scanner is listed again.
    const ProgramRun backups = RunProgram("/backups /format json");
    EXPECT_EQ(backups.exitCode, 0u) << backups.error;
    const JsonValue listing = ParsedJson(backups.output);
    ASSERT_EQ(listing["backups"].items.size(), 4u) << backups.output;
    for (const JsonValue& backup : listing["backups"].items) {
        const ProgramRun restore = RunProgram("/restore \"" + backup["folder"].text + "\" /quiet");
        EXPECT_EQ(restore.exitCode, 0u) << restore.output << restore.error;
    }
    for (const char* path : gone) {
        if (std::string(path).find("\\inf\\") == std::string::npos) {
            EXPECT_TRUE(FileExists(path)) << path;
        }
    }
    EXPECT_TRUE(KeyExistsIn64BitView(kComClass));
    EXPECT_EQ(RunProgram("/list").exitCode, 1u);
}

// The multifunction device of multifunction_nt and multifunction_9x, as the family keeps it.
struct MultifunctionDevice {
    std::vector<std::string> goneKeys;
    std::vector<std::string> stayingKeys;
    std::vector<std::string> goneFiles;
    std::vector<std::string> stayingFiles;
};

// The composite parent and the printer interface of the device carry the maker's vendor ID as
// its scanner interface does: /list names the scanner interface alone, and /remove all takes it
// with its package, while the composite device, the printer interface, the printer and the
// printing packages stay, and nothing is left to list. The removal ends with `exitCode`: 3010 on
// the 9x family, which keeps a device it took out of the registry loaded until the restart.
void CheckOnlyTheScannerInterfaceGoes(const MultifunctionDevice& device, DWORD exitCode) {
    const ProgramRun list = RunProgram("/list /format json");
    EXPECT_EQ(list.exitCode, 1u) << list.error;
    EXPECT_EQ(list.output.find("MI_00"), std::string::npos) << list.output;
    const JsonValue listed = ParsedJson(list.output);
    ASSERT_EQ(listed["scanners"].items.size(), 1u) << list.output;
    EXPECT_EQ(listed["scanners"].items[0]["devicePath"].text, "USB\\VID_0C6E&PID_0051&MI_01");

    const ProgramRun run = RunProgram("/remove all /format json /log C:\\mf.log");
    EXPECT_EQ(run.exitCode, exitCode) << run.output;
    const JsonValue value = ParsedJson(run.output);
    EXPECT_EQ(value["removed"].number, 1) << run.output;
    EXPECT_EQ(value["remaining"].number, 0) << run.output;
    const std::string log = ReadHostFile("C:\\mf.log");
    EXPECT_NE(log.find("PID_0051&MI_01"), std::string::npos);
    EXPECT_EQ(log.find("MI_00"), std::string::npos) << log;
    for (const std::string& key : device.goneKeys) {
        EXPECT_FALSE(KeyExists(key.c_str())) << key;
    }
    for (const std::string& key : device.stayingKeys) {
        EXPECT_TRUE(KeyExists(key.c_str())) << key;
    }
    for (const std::string& file : device.goneFiles) {
        EXPECT_FALSE(FileExists(file.c_str())) << file;
    }
    for (const std::string& file : device.stayingFiles) {
        EXPECT_TRUE(FileExists(file.c_str())) << file;
    }
    const ProgramRun rerun = RunProgram("/list /format json");
    EXPECT_EQ(rerun.exitCode, 0u) << rerun.output;
}

TEST(CommandLine, OnlyAMultifunctionDevicesScannerInterfaceIsListedAndRemoved) {
    const std::string usb = "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_0051";
    CheckOnlyTheScannerInterfaceGoes(
        {{usb + "&MI_01"},
         {usb, usb + "&MI_00",
          "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\QuorinMF51A7C3\\7&3d4e5f&0&USB001"},
         {"C:\\windows\\inf\\oem80.inf", "C:\\windows\\inf\\oem80.pnf",
          "C:\\windows\\system32\\QuorinMF51.dll", "C:\\windows\\twain_32\\QuorinMF51"},
         {"C:\\windows\\inf\\oem81.inf", "C:\\windows\\inf\\oem81.pnf",
          "C:\\windows\\inf\\oem82.inf", "C:\\windows\\inf\\oem82.pnf",
          "C:\\windows\\system32\\QuorinMF51Port.dll"}},
        0);
}

TEST(CommandLine, OnlyAMultifunctionDevicesScannerInterfaceIsListedAndRemovedOn9x) {
    CheckOnlyTheScannerInterfaceGoes(
        {{"Enum\\USB\\VID_0C6E&PID_0051&MI_01",
          "SYSTEM\\CurrentControlSet\\Services\\Class\\Image\\0000"},
         {"Enum\\USB\\VID_0C6E&PID_0051", "Enum\\USB\\VID_0C6E&PID_0051&MI_00",
          "Enum\\USBPRINT\\QUORINMF51A7C3\\7&3D4E5F&0&USB001",
          "SYSTEM\\CurrentControlSet\\Services\\Class\\USB\\0001",
          "SYSTEM\\CurrentControlSet\\Services\\Class\\Printer\\0000"},
         {"C:\\windows\\inf\\other\\QuorinMF51.inf", "C:\\windows\\system\\QuorinMF51.dll",
          "C:\\windows\\twain_32\\QuorinMF51"},
         {}},
        3010);
}

}  // namespace
}  // namespace drvsweep::testing
