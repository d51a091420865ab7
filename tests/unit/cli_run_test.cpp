#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command_runner.h"
#include "cli/exit_codes.h"
#include "cli/run_log.h"
#include "platform/sim/sim_console.h"
#include "platform/sim/sim_output_files.h"
#include "platform/sim/sim_process_jobs.h"
#include "platform/sim/sim_run_facts.h"
#include "platform/sim/sim_scenario.h"
#include "platform/sim/sim_windows.h"
#include "platform/win32_codes.h"
#include "res/version.h"
#include "tests/support/json_value.h"
#include "tests/support/test_machine.h"

namespace drvsweep::cli {
namespace {

using testing::JsonValue;

constexpr char kLog[] = "C:\\windows\\Logs\\DrvSweep\\DrvSweep.log";
constexpr char kK5210Dll[] = "C:\\windows\\system32\\QuorinK5210.dll";

// A command-line run over a simulated machine loaded from a scenario.
class CommandLineRunTest : public ::testing::Test {
protected:
    void Load(const std::string& scenario) {
        std::string error;
        ASSERT_TRUE(sim::LoadScenario(testing::FixturePath(scenario), &machine, &error)) << error;
    }

    int Run(const char* arguments) {
        console = sim::SimConsole();
        return RunCommandLine(platform, arguments);
    }

    JsonValue Json() {
        JsonValue value;
        std::string error;
        EXPECT_TRUE(testing::ParseJson(console.output(), &value, &error)) << error;
        return value;
    }

    std::vector<std::string> Files() { return AllFiles("C:\\windows"); }

    bool KeyExists(const char* path) {
        std::unique_ptr<RegistryKey> key;
        return machine.platform().registry.OpenKey(path, kKeyRead, &key) == kErrorSuccess;
    }

    std::size_t CompleteBackupsCount() {
        return machine.files().ListNames("C:\\ProgramData\\DrvSweep\\Backups").size();
    }

    std::vector<std::string> AllFiles(const std::string& folder) {
        std::vector<std::string> found;
        for (const std::string& name : machine.files().ListNames(folder)) {
            const std::string path = folder + "\\" + name;
            found.push_back(path);
            if (machine.files().Attributes(path) & kFileAttributeDirectory) {
                for (const std::string& inner : AllFiles(path)) {
                    found.push_back(inner);
                }
            }
        }
        return found;
    }

    sim::SimWindows machine;
    sim::SimConsole console;
    sim::SimOutputFiles outputFiles{machine.faults(), machine.files()};
    sim::SimRunFacts facts{machine.version()};
    sim::SimProcessJobs jobs;
    CommandLinePlatform platform{machine.platform(), console, outputFiles, facts, jobs};
};

TEST_F(CommandLineRunTest, ListFindsTheScannersAsJsonAndChangesNothing) {
    Load("demo_nt");
    const std::vector<std::string> before = Files();
    EXPECT_EQ(Run("/list /format json"), kExitScannersFound);
    EXPECT_EQ(Files(), before);
    EXPECT_TRUE(console.error().empty());
    EXPECT_EQ(facts.nonInteractiveCalls, 1);

    const JsonValue value = Json();
    EXPECT_EQ(value["schemaVersion"].number, 1);
    EXPECT_EQ(value["toolVersion"].text, DRVSWEEP_VERSION_TEXT);
    EXPECT_EQ(value["exitCode"].number, 1);
    EXPECT_EQ(value["computerName"].text, "PC-042");
    EXPECT_EQ(value["timeUtc"].text, "2026-12-08T23:05:09Z");
    const std::vector<JsonValue>& scanners = value["scanners"].items;
    ASSERT_EQ(scanners.size(), 4u);
    EXPECT_EQ(scanners[0]["devicePath"].text, "USB\\VID_0C6E&PID_3902");
    EXPECT_EQ(scanners[0]["uninstallKey"].text, "quorin Doc_392");
    EXPECT_EQ(scanners[0]["uninstallCommand"].text,
              "C:\\windows\\quorin\\uninst.exe -delay 1500 USB\\VID_0C6E&PID_3902");
    const JsonValue& k5210 = scanners[1];
    EXPECT_EQ(k5210["infPath"].text, "C:\\windows\\inf\\oem3.inf");
    std::vector<std::string> plan;
    for (const JsonValue& item : k5210["plan"].items) {
        plan.push_back(item["kind"].text + " " + item["path"].text);
    }
    EXPECT_EQ(plan, (std::vector<std::string>{
                        "deviceInstance USB\\VID_0C6E&PID_5210",
                        std::string("driverFile ") + kK5210Dll,
                        "infPackage C:\\windows\\inf\\oem3.inf",
                        "dataSourceFolder C:\\windows\\twain_32\\QuorinK5210",
                    }));
    EXPECT_EQ(scanners[3]["bus"].text, "pcCard");
}

TEST_F(CommandLineRunTest, ListOnAnEmptyMachineEndsWithZeroAndNoLog) {
    Load("empty_9x");
    EXPECT_EQ(Run("-list -format:csv"), kExitDone);
    std::vector<std::vector<std::string>> rows;
    std::string error;
    ASSERT_TRUE(testing::ParseCsv(console.output(), &rows, &error)) << error;
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "devicePath");
    EXPECT_FALSE(machine.files().Exists("C:\\windows\\DrvSweep.log"));
}

TEST_F(CommandLineRunTest, ChineseDescriptionsSurviveIntoJsonAndCsv) {
    Load("ui_zh_cn_nt");
    const std::string description = "Quorin K5210 USB \xE6\x89\xAB\xE6\x8F\x8F\xE4\xBB\xAA";
    EXPECT_EQ(Run("/list /format json"), kExitScannersFound);
    EXPECT_EQ(Json()["scanners"].items[0]["description"].text, description);

    EXPECT_EQ(Run("/list /format csv /out C:\\report.csv"), kExitScannersFound);
    EXPECT_TRUE(console.output().empty());
    std::string bytes;
    ASSERT_TRUE(machine.files().ReadFile("C:\\report.csv", &bytes));
    ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    std::vector<std::vector<std::string>> rows;
    std::string error;
    ASSERT_TRUE(testing::ParseCsv(bytes.substr(3), &rows, &error)) << error;
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[1][2], description);
}

// Nothing is held and Windows asks for no restart: the removal is complete now (0).
TEST_F(CommandLineRunTest, RemoveAllQuietRemovesLikeTheDialogAndNeedsNoRestart) {
    Load("demo_nt");
    EXPECT_EQ(Run("/remove all /quiet"), kExitDone);
    EXPECT_EQ(console.output(),
              std::string("result=0 removed=4 pendingRestart=0 remaining=0 restart=none log=") +
                  kLog + "\r\n");
    // The maker's uninstaller is not started without /vendor; nothing restarts by default.
    EXPECT_TRUE(machine.programs().launches().empty());
    EXPECT_TRUE(machine.programs().exitRequests().empty());
    EXPECT_FALSE(machine.files().Exists(kK5210Dll));
    EXPECT_FALSE(machine.files().Exists("C:\\windows\\twain_32\\QuorinK5210"));
    EXPECT_TRUE(machine.files().Exists("C:\\windows\\twain_32\\AcmeScan\\AcmeScan.ds"));
    EXPECT_TRUE(KeyExists("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_046D&PID_C077"));

    std::string log;
    ASSERT_TRUE(machine.files().ReadFile(kLog, &log));
    EXPECT_EQ(log.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(log.find("<![LOG[DrvSweep " DRVSWEEP_VERSION_TEXT "]LOG]!>"), std::string::npos);
    EXPECT_NE(log.find("<![LOG[Command line: /remove all /quiet]LOG]!>"), std::string::npos);
    EXPECT_NE(log.find("Summary: result=0 removed=4"), std::string::npos);
    EXPECT_EQ(machine.openHandles(), 0);
}

TEST_F(CommandLineRunTest, On9xThePlanNamesTheRegistryKeysAndTheRemovalTakesThem) {
    Load("demo_9x");
    EXPECT_EQ(Run("/remove USB\\VID_0C6E&PID_5210 /whatif /format json"), kExitDone);
    std::vector<std::string> keys;
    const JsonValue preview = Json();
    for (const JsonValue& item : preview["scanners"].items[0]["plan"].items) {
        if (item["kind"].text == "registryKey") {
            keys.push_back(item["path"].text);
        }
    }
    EXPECT_EQ(keys, (std::vector<std::string>{
                        "SYSTEM\\CurrentControlSet\\Services\\class\\Image\\0000",
                        "Enum\\USB\\VID_0C6E&PID_5210",
                    }));
    EXPECT_TRUE(KeyExists("SYSTEM\\CurrentControlSet\\Services\\Class\\Image\\0000"));

    EXPECT_EQ(Run("/remove USB\\VID_0C6E&PID_5210 /quiet"), kExitRestartNeeded);
    EXPECT_EQ(console.output(),
              "result=3010 removed=1 pendingRestart=0 remaining=0 restart=required "
              "log=C:\\windows\\DrvSweep.log\r\n");
    EXPECT_FALSE(KeyExists("SYSTEM\\CurrentControlSet\\Services\\Class\\Image\\0000"));
    EXPECT_FALSE(KeyExists("Enum\\USB\\VID_0C6E&PID_5210"));
    EXPECT_TRUE(KeyExists("SYSTEM\\CurrentControlSet\\Services\\Class\\Image\\0001"));
    EXPECT_TRUE(machine.files().Exists("C:\\windows\\DrvSweep.log"));
}

TEST_F(CommandLineRunTest, RemoveOneDevicePathLeavesTheOthers) {
    Load("demo_nt");
    EXPECT_EQ(Run("/remove usb\\vid_0c6e&pid_5210 /format json /log C:\\r.log"), kExitDone);
    const JsonValue value = Json();
    ASSERT_EQ(value["scanners"].items.size(), 1u);
    EXPECT_EQ(value["scanners"].items[0]["result"].text, "removed");
    EXPECT_EQ(value["logPath"].text, "C:\\r.log");
    EXPECT_TRUE(machine.files().Exists("C:\\r.log"));
    EXPECT_FALSE(machine.files().Exists(kLog));
    EXPECT_FALSE(KeyExists("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_5210"));
    EXPECT_TRUE(KeyExists("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_3902"));
    EXPECT_TRUE(machine.files().Exists("C:\\windows\\inf\\oem7.inf"));
}

TEST_F(CommandLineRunTest, AnUninstalledDevicePathIsReportedAndLeavesNothingToDo) {
    Load("demo_nt");
    EXPECT_EQ(Run("/remove USB\\VID_0C6E&PID_9999 /format json"), kExitDone);
    EXPECT_EQ(Json()["scanners"].items[0]["result"].text, "notFound");
}

TEST_F(CommandLineRunTest, WhatIfShowsThePlanAndChangesNothingButTheLog) {
    Load("demo_nt");
    // A preview needs no administrator rights.
    facts.admin = AdminState::No;
    const std::vector<std::string> before = Files();
    EXPECT_EQ(Run("/remove all /whatif /format json /log C:\\w.log"), kExitDone);
    EXPECT_EQ(Files(), before);
    EXPECT_TRUE(KeyExists("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_5210"));
    const JsonValue value = Json();
    EXPECT_TRUE(value["whatIf"].boolean);
    EXPECT_EQ(value["restart"].text, "none");
    ASSERT_EQ(value["scanners"].items.size(), 4u);
    EXPECT_EQ(value["scanners"].items[1]["result"].text, "planned");
    EXPECT_EQ(value["scanners"].items[1]["plan"].items.size(), 4u);
    std::string log;
    ASSERT_TRUE(machine.files().ReadFile("C:\\w.log", &log));
    EXPECT_NE(log.find(std::string("Would delete driverFile ") + kK5210Dll), std::string::npos);
}

TEST_F(CommandLineRunTest, VerificationReportsWhatAFailedStepLeft) {
    Load("demo_nt");
    machine.faults().Add({"DeleteFileA", "QuorinK5210.dll"});
    machine.faults().Add({"MoveFileExA", "QuorinK5210.dll"});
    EXPECT_EQ(Run("/remove all /format json /restart"), kExitFailed);
    const JsonValue value = Json();
    EXPECT_EQ(value["exitCode"].number, 1603);
    EXPECT_EQ(value["removed"].number, 3);
    EXPECT_EQ(value["remaining"].number, 1);
    const JsonValue& k5210 = value["scanners"].items[1];
    EXPECT_EQ(k5210["result"].text, "remaining");
    ASSERT_EQ(k5210["remaining"].items.size(), 1u);
    EXPECT_EQ(k5210["remaining"].items[0]["path"].text, kK5210Dll);
    // A failed run restarts nothing: its report must reach the fleet tool first.
    EXPECT_TRUE(machine.programs().exitRequests().empty());
    EXPECT_EQ(value["restart"].text, "none");
}

// A driver package is one item of the removal; the report names its .inf and .pnf apart, in
// the plan and in what is left, from the removal's own outcome.
TEST_F(CommandLineRunTest, APackageIsReportedByItsFilesFromTheRemovalsOutcome) {
    Load("demo_nt");
    machine.files().AddFile("C:\\windows\\inf\\oem3.pnf");
    machine.faults().Add({"SetupUninstallOEMInfA", ""});
    machine.faults().Add({"DeleteFileA", "oem3.pnf"});
    machine.faults().Add({"MoveFileExA", "oem3.pnf"});
    EXPECT_EQ(Run("/remove USB\\VID_0C6E&PID_5210"), kExitFailed);
    const std::string text = console.output();
    EXPECT_NE(text.find("  plan: infPackage C:\\windows\\inf\\oem3.inf\r\n"
                        "  plan: infPackage C:\\windows\\inf\\oem3.pnf\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(
        text.find("  result: remaining\r\n"
                  "  remaining: infPackage C:\\windows\\inf\\oem3.pnf (still present, Windows "
                  "answered error 5)\r\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("result=1603 removed=0 pendingRestart=0 remaining=1 restart=none"),
              std::string::npos);
}

// A held driver goes at the restart: reported as pendingRestart, not remaining, so the run ends
// with 3010, or 1641 when it starts the restart; the log names the item.
TEST_F(CommandLineRunTest, AHeldDriverIsPendingRestartNotRemaining) {
    Load("demo_nt");
    machine.files().SetInUse(kK5210Dll, true);
    EXPECT_EQ(Run("/remove USB\\VID_0C6E&PID_5210 /format json /restart"), kExitRestartStarted);
    const JsonValue value = Json();
    EXPECT_EQ(value["pendingRestart"].number, 1);
    EXPECT_EQ(value["remaining"].number, 0);
    const JsonValue& k5210 = value["scanners"].items[0];
    EXPECT_EQ(k5210["result"].text, "pendingRestart");
    ASSERT_EQ(k5210["pendingRestart"].items.size(), 1u);
    EXPECT_EQ(k5210["pendingRestart"].items[0]["path"].text, kK5210Dll);
    EXPECT_TRUE(k5210["remaining"].items.empty());
    std::string log;
    ASSERT_TRUE(machine.files().ReadFile(kLog, &log));
    EXPECT_NE(log.find("Deleted at the restart: driverFile " + std::string(kK5210Dll)),
              std::string::npos);
}

// An earlier run took the K5210's device, and its INF, held open then, is set to go at the
// restart. A run before the restart still lists the package and reports it as going then
// (3010), without asking Windows again.
TEST_F(CommandLineRunTest, ARunBeforeTheRestartCountsWhatIsSetToGoThen) {
    Load("demo_nt");
    const std::string inf = "C:\\windows\\inf\\oem3.inf";
    machine.registry().RemoveTree("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_5210");
    ASSERT_TRUE(machine.files().DeleteAtRestart(inf.c_str()));
    const std::vector<std::string> pending = machine.PendingDeletions();

    EXPECT_EQ(Run("/remove all /format json"), kExitRestartNeeded);
    const JsonValue value = Json();
    EXPECT_EQ(value["pendingRestart"].number, 1);
    EXPECT_EQ(value["remaining"].number, 0);
    EXPECT_EQ(value["restart"].text, "required");
    bool reported = false;
    for (const JsonValue& scanner : value["scanners"].items) {
        if (scanner["infPath"].text == inf) {
            reported = true;
            EXPECT_EQ(scanner["result"].text, "pendingRestart");
            ASSERT_FALSE(scanner["pendingRestart"].items.empty());
            EXPECT_EQ(scanner["pendingRestart"].items[0]["path"].text, inf);
        }
    }
    EXPECT_TRUE(reported) << console.output();
    EXPECT_EQ(machine.PendingDeletions(), pending);
}

// What the machine leaves to the restart before a run.
enum class Leaves { Nothing, HeldFile, DeviceAtRestart, PackageAtRestart, StepFails };

// 3010 only where Windows finishes something at the restart or a file is set to go then. A
// restart follows only a run that ended with 0 or 3010: /restart where one is needed,
// /forcerestart after either; 1641 only once Windows accepted it, asked without EWX_FORCE.
TEST_F(CommandLineRunTest, RestartSwitchesDecideTheExitCode) {
    const struct {
        const char* arguments;
        Leaves leaves;
        int exitCode;
        std::size_t restarts;
    } cases[] = {
        {"/remove all /norestart", Leaves::Nothing, kExitDone, 0},
        {"/remove all /norestart", Leaves::HeldFile, kExitRestartNeeded, 0},
        {"/remove all", Leaves::DeviceAtRestart, kExitRestartNeeded, 0},
        {"/remove all", Leaves::PackageAtRestart, kExitRestartNeeded, 0},
        {"/remove all /restart", Leaves::Nothing, kExitDone, 0},
        {"/remove all /restart", Leaves::HeldFile, kExitRestartStarted, 1},
        {"/remove all /restart", Leaves::StepFails, kExitFailed, 0},
        {"/remove all /forcerestart", Leaves::Nothing, kExitRestartStarted, 1},
        {"/remove all /forcerestart", Leaves::StepFails, kExitFailed, 0},
        {"/remove USB\\NONE /restart", Leaves::Nothing, kExitDone, 0},
        {"/remove USB\\NONE /forcerestart", Leaves::Nothing, kExitRestartStarted, 1},
        {"/remove all /whatif /forcerestart", Leaves::HeldFile, kExitDone, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.arguments) + " leaving " +
                     std::to_string(static_cast<int>(c.leaves)));
        sim::SimWindows fresh;
        std::string error;
        ASSERT_TRUE(sim::LoadScenario(testing::FixturePath("demo_nt"), &fresh, &error)) << error;
        switch (c.leaves) {
            case Leaves::Nothing:
                break;
            case Leaves::HeldFile:
                fresh.files().SetInUse(kK5210Dll, true);
                break;
            case Leaves::DeviceAtRestart:
                fresh.devices().SetRestartAfterRemoval("USB\\VID_0C6E&PID_5210\\5&2f1c3a&0&2");
                break;
            case Leaves::PackageAtRestart:
                fresh.packages().SetRelease(sim::SimRelease::Windows10v1703, true);
                fresh.packages().SetRestartAfterUninstall(true);
                break;
            case Leaves::StepFails:
                fresh.faults().Add({"DeleteFileA", "QuorinK5210.dll"});
                fresh.faults().Add({"MoveFileExA", "QuorinK5210.dll"});
                break;
        }
        sim::SimConsole out;
        sim::SimOutputFiles files{fresh.faults(), fresh.files()};
        sim::SimRunFacts runFacts{fresh.version()};
        sim::SimProcessJobs noJobs;
        CommandLinePlatform run{fresh.platform(), out, files, runFacts, noJobs};
        EXPECT_EQ(RunCommandLine(run, c.arguments), c.exitCode);
        EXPECT_EQ(fresh.programs().exitRequests().size(), c.restarts);
        for (const std::uint32_t flags : fresh.programs().exitRequests()) {
            EXPECT_EQ(flags, 0x12u);
        }
    }
}

TEST_F(CommandLineRunTest, ARefusedRestartLeavesItRequired) {
    Load("demo_nt");
    machine.files().SetInUse(kK5210Dll, true);
    machine.faults().Add({"ExitWindowsEx", ""});
    EXPECT_EQ(Run("/remove all /restart /quiet"), kExitRestartNeeded);
    EXPECT_NE(console.output().find("restart=required"), std::string::npos);
}

TEST_F(CommandLineRunTest, GuardsEndTheRunBeforeAnythingChanges) {
    Load("demo_nt");
    const std::vector<std::string> before = Files();

    EXPECT_EQ(Run("/remove all /bogus"), kExitBadCommandLine);
    EXPECT_NE(console.error().find("unknown switch /bogus"), std::string::npos);
    EXPECT_NE(console.error().find("Usage:"), std::string::npos);
    EXPECT_TRUE(console.output().empty());

    facts.admin = AdminState::No;
    EXPECT_EQ(Run("/remove all"), kExitNotAdministrator);
    facts.admin = AdminState::Unknown;
    machine.runLock().heldElsewhere = true;
    EXPECT_EQ(Run("/remove all"), kExitAnotherRun);

    EXPECT_EQ(Files(), before);
    EXPECT_TRUE(KeyExists("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_5210"));
}

constexpr char kDoc392Key[] = "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_3902";
constexpr char kDoc392Uninstaller[] = "C:\\windows\\quorin\\uninst.exe";

// decorated_x64's K7700 package has no device: /list names it like any scanner, so the machine
// is not clean, and its removal is built in even where /vendor finds an uninstaller for its ID.
TEST_F(CommandLineRunTest, ADriverWithoutADeviceIsListedAndRemovedBuiltIn) {
    Load("decorated_x64");
    EXPECT_EQ(Run("/list /format json"), kExitScannersFound);
    const std::vector<JsonValue> scanners = Json()["scanners"].items;
    ASSERT_EQ(scanners.size(), 5u);
    const JsonValue& k7700 = scanners[4];
    EXPECT_EQ(k7700["devicePath"].text, "USB\\VID_0C6E&PID_7700");
    EXPECT_EQ(k7700["description"].text, "Quorin K7700 USB Scanner");
    std::vector<std::string> plan;
    for (const JsonValue& item : k7700["plan"].items) {
        plan.push_back(item["kind"].text + " " + item["path"].text);
    }
    EXPECT_EQ(plan, (std::vector<std::string>{
                        "driverFile C:\\windows\\system32\\QuorinK7700.dll",
                        "infPackage C:\\windows\\inf\\oem14.inf",
                        "infPackage C:\\windows\\inf\\oem14.pnf",
                        "dataSourceFolder C:\\windows\\twain_32\\QuorinK7700",
                    }));

    machine.files().AddFile(kDoc392Uninstaller);
    machine.registry().SetString(
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\USB\\VID_0C6E&PID_7700",
        "UninstallString", kDoc392Uninstaller);
    jobs.Script(kDoc392Uninstaller, {0, nullptr});
    EXPECT_EQ(Run("/remove usb\\vid_0c6e&pid_7700 /vendor /format json"), kExitDone);
    EXPECT_TRUE(jobs.records().empty());
    const JsonValue removed = Json()["scanners"].items[0];
    EXPECT_EQ(removed["method"].text, "builtIn");
    EXPECT_EQ(removed["result"].text, "removed");
    EXPECT_FALSE(machine.files().Exists("C:\\windows\\inf\\oem14.inf"));
    EXPECT_FALSE(machine.files().Exists("C:\\windows\\twain_32\\QuorinK7700"));
    EXPECT_TRUE(machine.files().Exists("C:\\windows\\inf\\oem9.inf"));
    EXPECT_TRUE(machine.files().Exists("C:\\windows\\inf\\oem5.inf"));
}

// The maker's uninstaller left nothing set to go at the restart: nothing needs one.
TEST_F(CommandLineRunTest, VendorUninstallerThatEndsAndRemovesTheDevice) {
    Load("demo_nt");
    jobs.Script(kDoc392Uninstaller, {1500, [this] { machine.registry().RemoveTree(kDoc392Key); }});
    EXPECT_EQ(Run("/remove USB\\VID_0C6E&PID_3902 /vendor /timeout 5 /format json"), kExitDone);
    ASSERT_EQ(jobs.records().size(), 1u);
    EXPECT_EQ(jobs.records()[0].parameters, "-delay 1500 USB\\VID_0C6E&PID_3902");
    EXPECT_EQ(jobs.records()[0].waits, (std::vector<std::uint32_t>{5000}));
    EXPECT_FALSE(jobs.records()[0].endedByForce);
    const JsonValue scanner = Json()["scanners"].items[0];
    EXPECT_EQ(scanner["method"].text, "vendor");
    EXPECT_EQ(scanner["result"].text, "removed");
    EXPECT_TRUE(machine.programs().launches().empty());
}

TEST_F(CommandLineRunTest, VendorUninstallerThatOutlivesTheTimeoutIsEndedThenBuiltIn) {
    Load("demo_nt");
    jobs.Script(kDoc392Uninstaller, {-1, nullptr});
    EXPECT_EQ(Run("/remove USB\\VID_0C6E&PID_3902 /vendor /format json"), kExitDone);
    ASSERT_EQ(jobs.records().size(), 1u);
    EXPECT_EQ(jobs.records()[0].waits, (std::vector<std::uint32_t>{600000}));
    EXPECT_TRUE(jobs.records()[0].endedByForce);
    const JsonValue scanner = Json()["scanners"].items[0];
    EXPECT_EQ(scanner["method"].text, "vendorThenBuiltIn");
    EXPECT_EQ(scanner["result"].text, "removed");
    EXPECT_FALSE(KeyExists(kDoc392Key));
}

constexpr char kDoc392UninstallKey[] =
    "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\quorin Doc_392";

// A run no one watches prefers the key's quiet command line. Where no one could see a window (a
// service's session) an interactive uninstaller is not started: the built-in removal goes on
// and the report and the log say why. Windows Installer is waited for until it ends, however
// long, and never ended.
TEST_F(CommandLineRunTest, UnattendedRunsStartOnlyUninstallersThatNeedNoAnswer) {
    const std::string interactive = "-delay 1500 USB\\VID_0C6E&PID_3902";
    const struct {
        const char* why;
        const char* quietString;  // none when null
        const char* uninstallString;
        bool desktop;
        const char* switches;
        std::string parameters;  // of the program started; none started when empty
        std::uint32_t wait;
        bool builtIn;
    } kCases[] = {
        {"/quiet takes the quiet line", "C:\\windows\\quorin\\uninst.exe /S", nullptr, true,
         "/quiet", "/S", 600000, false},
        {"a watched run takes the usual line", "C:\\windows\\quorin\\uninst.exe /S", nullptr, true,
         "", interactive, 600000, false},
        {"/quiet without a quiet line, seen", nullptr, nullptr, true, "/quiet", interactive, 600000,
         false},
        {"an empty quiet line is none", "", nullptr, true, "/quiet", interactive, 600000, false},
        {"no desktop, no quiet line", nullptr, nullptr, false, "/quiet", "", 0, true},
        {"no desktop, not /quiet", nullptr, nullptr, false, "", "", 0, true},
        {"no desktop, a quiet line", "C:\\windows\\quorin\\uninst.exe /S", nullptr, false, "", "/S",
         600000, false},
        {"Windows Installer", nullptr, "MsiExec.exe /X{6C0D5E2A-1B3C-4D5E-8F90-A1B2C3D4E5F6}", true,
         "/quiet", "/X{6C0D5E2A-1B3C-4D5E-8F90-A1B2C3D4E5F6}", kWaitForever, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        sim::SimWindows fresh;
        std::string error;
        ASSERT_TRUE(sim::LoadScenario(testing::FixturePath("demo_nt"), &fresh, &error)) << error;
        if (c.quietString != nullptr) {
            fresh.registry().SetString(kDoc392UninstallKey, "QuietUninstallString", c.quietString);
        }
        if (c.uninstallString != nullptr) {
            fresh.registry().SetString(kDoc392UninstallKey, "UninstallString", c.uninstallString);
        }
        sim::SimProcessJobs started;
        // Windows Installer runs longer than the time-out: it alone is waited for that long.
        const bool installer = c.uninstallString != nullptr;
        started.Script(
            installer ? "MsiExec.exe" : kDoc392Uninstaller,
            {installer ? 700000 : 1500, [&fresh] { fresh.registry().RemoveTree(kDoc392Key); }});
        sim::SimConsole out;
        sim::SimOutputFiles files{fresh.faults(), fresh.files()};
        sim::SimRunFacts runFacts{fresh.version()};
        runFacts.visibleWindowStation = c.desktop;
        CommandLinePlatform run{fresh.platform(), out, files, runFacts, started};
        const std::string arguments =
            std::string("/remove USB\\VID_0C6E&PID_3902 /vendor /format json ") + c.switches;
        EXPECT_EQ(RunCommandLine(run, arguments.c_str()), kExitDone);
        std::string log;
        ASSERT_TRUE(fresh.files().ReadFile(kLog, &log));
        EXPECT_EQ(log.find("with the built-in removal") != std::string::npos, c.builtIn);
        // A /quiet run prints its one line; the others their report.
        std::string note = "(quiet)";
        if (*c.switches == '\0') {
            JsonValue value;
            ASSERT_TRUE(testing::ParseJson(out.output(), &value, &error)) << error;
            note = value["scanners"].items[0]["uninstallerNote"].text;
        }
        if (c.parameters.empty()) {
            EXPECT_TRUE(started.records().empty());
            EXPECT_NE(log.find("Not started the registered uninstaller of USB\\VID_0C6E&PID_3902: "
                               "its uninstaller is interactive"),
                      std::string::npos);
            EXPECT_TRUE(note == "(quiet)" ||
                        note.find("no interactive desktop") != std::string::npos)
                << note;
            continue;
        }
        ASSERT_EQ(started.records().size(), 1u);
        EXPECT_EQ(started.records()[0].parameters, c.parameters);
        EXPECT_EQ(started.records()[0].waits.front(), c.wait);
        EXPECT_FALSE(started.records()[0].endedByForce);
        EXPECT_TRUE(note == "(quiet)" || note.empty()) << note;
    }
}

TEST_F(CommandLineRunTest, HelpAndVersionEndWithZero) {
    EXPECT_EQ(Run("/?"), kExitDone);
    EXPECT_NE(console.output().find("Usage:"), std::string::npos);
    EXPECT_EQ(Run("-VERSION"), kExitDone);
    EXPECT_EQ(console.output(), "DrvSweep " DRVSWEEP_VERSION_TEXT "\r\n");
}

TEST_F(CommandLineRunTest, AnOutputFileThatCannotBeWrittenFailsTheRun) {
    Load("demo_nt");
    EXPECT_EQ(Run("/list /out C:\\missing\\folder\\r.txt"), kExitFailed);
    EXPECT_NE(console.error().find("cannot write"), std::string::npos);
}

TEST_F(CommandLineRunTest, TheLogRotatesAtTenMegabytesKeepingFiveFiles) {
    Load("demo_nt");
    machine.files().AddFolder("C:\\logs");
    for (int n = 1; n <= 4; ++n) {
        machine.files().AddFile("C:\\logs\\d.log." + std::to_string(n), std::to_string(n));
    }
    machine.files().AddFile("C:\\logs\\d.log", std::string(kLogRotateBytes - 10, 'x'));
    EXPECT_EQ(Run("/remove all /whatif /log C:\\logs\\d.log"), kExitDone);
    std::string bytes;
    ASSERT_TRUE(machine.files().ReadFile("C:\\logs\\d.log.1", &bytes));
    EXPECT_EQ(bytes.size(), static_cast<std::size_t>(kLogRotateBytes - 10));
    for (int n = 2; n <= 4; ++n) {
        ASSERT_TRUE(machine.files().ReadFile("C:\\logs\\d.log." + std::to_string(n), &bytes));
        EXPECT_EQ(bytes, std::to_string(n - 1));
    }
    EXPECT_FALSE(machine.files().Exists("C:\\logs\\d.log.5"));
    ASSERT_TRUE(machine.files().ReadFile("C:\\logs\\d.log", &bytes));
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
}

// An updated scanner and one whose package another maker's device shares: the plan names every
// package of each, the kept package appears with why in each format and in the log, and the
// removal takes both versions with their own files and leaves the shared package with its files.
// A package of the scanner's own that the plan leaves out (its TWAIN line names no folder the
// removal may take) is still installed: the scanner is not called removed, and the run fails.
TEST_F(CommandLineRunTest, AScannersPackageThePlanLeavesOutLeavesItRemaining) {
    Load("every_package_x64");
    std::string inf;
    ASSERT_TRUE(machine.files().ReadFile("C:\\windows\\inf\\oem31.inf", &inf));
    inf.replace(inf.find("twain_32\\QuorinK4100"), 20, "twain_32\\..\\system32");
    ASSERT_TRUE(machine.files().AddFile("C:\\windows\\inf\\oem38.inf", inf));
    EXPECT_EQ(Run("/remove USB\\VID_0C6E&PID_4100 /quiet"), kExitFailed);
    EXPECT_NE(console.output().find("removed=0 pendingRestart=0 remaining=1"), std::string::npos)
        << console.output();
    std::string log;
    ASSERT_TRUE(machine.files().ReadFile(kLog, &log));
    EXPECT_NE(log.find("infPackage C:\\windows\\inf\\oem38.inf (its TWAIN line names no folder "
                       "the removal may take)"),
              std::string::npos)
        << log;
}

TEST_F(CommandLineRunTest, EveryPackageGoesAndAPackageAnotherMakerUsesIsKeptAndSaidSo) {
    Load("every_package_x64");
    const std::string reason =
        "used by another maker's device, driver key {6bdd1fc6-810f-11d0-bec7-08002be2092f}\\0002";
    const std::string keptLine = "infPackage C:\\windows\\inf\\oem33.inf (" + reason + ")";
    EXPECT_EQ(Run("/list"), kExitScannersFound);
    EXPECT_NE(console.output().find("  kept: " + keptLine + "\r\n"), std::string::npos)
        << console.output();
    for (const char* inf : {"oem31.inf", "oem32.inf", "oem35.inf", "oem37.inf"}) {
        EXPECT_NE(console.output().find(std::string("  plan: infPackage C:\\windows\\inf\\") + inf),
                  std::string::npos)
            << inf;
    }

    EXPECT_EQ(Run("/remove all /whatif /format json"), kExitDone);
    const JsonValue value = Json();
    ASSERT_EQ(value["scanners"].items.size(), 2u);
    EXPECT_TRUE(value["scanners"].items[0]["kept"].items.empty());
    // The kept package comes first, then the files it names, each with the package as reason.
    const JsonValue& kept = value["scanners"].items[1]["kept"];
    ASSERT_EQ(kept.items.size(), 3u);
    EXPECT_EQ(kept.items[1]["reason"].text, "a package that stays installed names it");
    EXPECT_EQ(kept.items[0]["kind"].text, "infPackage");
    EXPECT_EQ(kept.items[0]["path"].text, "C:\\windows\\inf\\oem33.inf");
    EXPECT_EQ(kept.items[0]["reason"].text, reason);
    std::string log;
    ASSERT_TRUE(machine.files().ReadFile(kLog, &log));
    EXPECT_NE(log.find("<![LOG[Not removed: " + keptLine + "]LOG]!>"), std::string::npos) << log;

    EXPECT_EQ(Run("/list /format csv"), kExitScannersFound);
    std::vector<std::vector<std::string>> rows;
    std::string error;
    ASSERT_TRUE(testing::ParseCsv(console.output(), &rows, &error)) << error;
    ASSERT_EQ(rows.size(), 3u);
    // "kept" comes before the last column, "uninstallerNote".
    const std::size_t keptColumn = rows[0].size() - 2;
    EXPECT_EQ(rows[0][keptColumn], "kept");
    EXPECT_EQ(rows[1][keptColumn], "");
    EXPECT_EQ(rows[2][keptColumn].substr(0, keptLine.size() + 2), keptLine + "; ");

    const std::string windows = "C:\\windows\\";
    const std::vector<std::string> gone = {"inf\\oem31.inf",
                                           "inf\\oem31.pnf",
                                           "inf\\oem32.inf",
                                           "inf\\oem32.pnf",
                                           "inf\\oem35.inf",
                                           "inf\\oem35.pnf",
                                           "inf\\oem37.inf",
                                           "inf\\oem37.pnf",
                                           "system32\\QuorinK41.dll",
                                           "syswow64\\QuorinK41.dll",
                                           "system32\\QuorinK4100.dll",
                                           "syswow64\\QuorinK4100.dll",
                                           "twain_32\\QuorinK41",
                                           "twain_64\\QuorinK41",
                                           "twain_32\\QuorinK4100",
                                           "twain_64\\QuorinK4100"};
    for (const std::string& path : gone) {
        ASSERT_TRUE(machine.files().Exists(windows + path)) << path;
    }
    EXPECT_EQ(Run("/remove all /quiet"), kExitDone);
    EXPECT_EQ(console.output(),
              std::string("result=0 removed=2 pendingRestart=0 remaining=0 restart=none log=") +
                  kLog + "\r\n");
    for (const std::string& path : gone) {
        EXPECT_FALSE(machine.files().Exists(windows + path)) << path;
    }
    for (const char* left : {"inf\\oem33.inf", "inf\\oem33.pnf", "inf\\oem34.inf", "inf\\oem34.pnf",
                             "system32\\QuorinK4300.dll", "twain_32\\QuorinK4300\\QuorinK4300.ds",
                             "system32\\AcmeScan.dll", "twain_32\\AcmeScan\\AcmeScan.ds"}) {
        EXPECT_TRUE(machine.files().Exists(windows + left)) << left;
    }
    EXPECT_TRUE(KeyExists("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_04B8&PID_0120"));
    EXPECT_TRUE(KeyExists("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_04B8&PID_0110"));
}

// A multifunction device of the maker, as each family keeps it: the registry keys and files of
// its scanner interface, and of its other functions and their packages.
struct MultifunctionMachine {
    const char* scenario;
    std::vector<std::string> goneKeys;
    std::vector<std::string> stayingKeys;
    std::vector<std::string> goneFiles;
    std::vector<std::string> stayingFiles;
};

void PrintTo(const MultifunctionMachine& machine, std::ostream* out) {
    *out << machine.scenario;
}

class MultifunctionRunTest : public CommandLineRunTest,
                             public ::testing::WithParamInterface<MultifunctionMachine> {
protected:
    // Whether a report or log names no part of the device but its scanner interface.
    static bool NamesOnlyTheScanner(const std::string& text) {
        for (const char* other : {"MI_00", "USBPRINT", "oem81", "oem82", "Printing", "Composite"}) {
            if (text.find(other) != std::string::npos) {
                return false;
            }
        }
        for (std::size_t at = text.find("PID_0051"); at != std::string::npos;
             at = text.find("PID_0051", at + 1)) {
            if (text.compare(at, 14, "PID_0051&MI_01") != 0) {
                return false;
            }
        }
        return true;
    }
};

// The composite parent and the printer interface carry the maker's vendor ID as the scanner
// interface does: only the scanner interface is listed, and /remove all takes it with its
// package, while the composite device, the printer interface, the printer and the printing
// packages stay; nothing is left to list afterwards.
TEST_P(MultifunctionRunTest, OnlyTheScannerInterfaceIsListedAndRemoved) {
    const MultifunctionMachine& m = GetParam();
    Load(m.scenario);
    EXPECT_EQ(Run("/list /format json"), kExitScannersFound);
    EXPECT_TRUE(NamesOnlyTheScanner(console.output())) << console.output();
    ASSERT_EQ(Json()["scanners"].items.size(), 1u);
    EXPECT_EQ(Json()["scanners"].items[0]["devicePath"].text, "USB\\VID_0C6E&PID_0051&MI_01");

    const std::string windows = "C:\\windows\\";
    for (const std::string& file : m.goneFiles) {
        ASSERT_TRUE(machine.files().Exists(windows + file)) << file;
    }
    // The 9x family keeps a device it took out of the registry loaded until the restart.
    const bool nineX = std::string(m.scenario).find("_9x") != std::string::npos;
    EXPECT_EQ(Run("/remove all /format json /log C:\\mf.log"),
              nineX ? kExitRestartNeeded : kExitDone);
    EXPECT_TRUE(NamesOnlyTheScanner(console.output())) << console.output();
    const JsonValue value = Json();
    EXPECT_EQ(value["removed"].number, 1);
    EXPECT_EQ(value["remaining"].number, 0);
    std::string log;
    ASSERT_TRUE(machine.files().ReadFile("C:\\mf.log", &log));
    EXPECT_TRUE(NamesOnlyTheScanner(log)) << log;
    for (const std::string& key : m.goneKeys) {
        EXPECT_FALSE(KeyExists(key.c_str())) << key;
    }
    for (const std::string& key : m.stayingKeys) {
        EXPECT_TRUE(KeyExists(key.c_str())) << key;
    }
    for (const std::string& file : m.goneFiles) {
        EXPECT_FALSE(machine.files().Exists(windows + file)) << file;
    }
    for (const std::string& file : m.stayingFiles) {
        EXPECT_TRUE(machine.files().Exists(windows + file)) << file;
    }
    EXPECT_EQ(Run("/list /format json"), kExitDone) << console.output();
}

INSTANTIATE_TEST_SUITE_P(
    BothFamilies, MultifunctionRunTest,
    ::testing::Values(
        MultifunctionMachine{
            "multifunction_nt",
            {"SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_0051&MI_01"},
            {"SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_0051\\5&1a2b3c&0&3",
             "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_0051&MI_00\\6&2c3d4e&0&0000",
             "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\QuorinMF51A7C3\\7&3d4e5f&0&USB001",
             "SYSTEM\\CurrentControlSet\\Control\\Class\\{36fc9e60-c465-11cf-8056-444553540000}"
             "\\0001",
             "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e979-e325-11ce-bfc1-08002be10318}"
             "\\0000"},
            {"inf\\oem80.inf", "inf\\oem80.pnf", "system32\\QuorinMF51.dll",
             "twain_32\\QuorinMF51"},
            {"inf\\oem81.inf", "inf\\oem81.pnf", "inf\\oem82.inf", "inf\\oem82.pnf",
             "system32\\QuorinMF51Port.dll"}},
        MultifunctionMachine{
            "multifunction_9x",
            {"Enum\\USB\\VID_0C6E&PID_0051&MI_01",
             "SYSTEM\\CurrentControlSet\\Services\\Class\\Image\\0000"},
            {"Enum\\USB\\VID_0C6E&PID_0051\\5&1A2B3C&0&3",
             "Enum\\USB\\VID_0C6E&PID_0051&MI_00\\6&2C3D4E&0&0000",
             "Enum\\USBPRINT\\QUORINMF51A7C3\\7&3D4E5F&0&USB001",
             "SYSTEM\\CurrentControlSet\\Services\\Class\\USB\\0000",
             "SYSTEM\\CurrentControlSet\\Services\\Class\\USB\\0001",
             "SYSTEM\\CurrentControlSet\\Services\\Class\\Printer\\0000"},
            {"inf\\other\\QuorinMF51.inf", "system\\QuorinMF51.dll", "twain_32\\QuorinMF51"},
            {}}),
    [](const ::testing::TestParamInfo<MultifunctionMachine>& info) {
        return std::string(info.param.scenario);
    });

TEST_F(CommandLineRunTest, EveryRemovalKeepsAWayBackThatRestorePutsBack) {
    Load("installed_files_x64");
    const auto outsideInf = [this] {
        std::vector<std::string> files;
        for (const std::string& path : Files()) {
            // Windows stages a package again under a name of its own, in the INF folder, the
            // catalog database and the driver store.
            if (path.rfind("C:\\windows\\inf\\", 0) != 0 &&
                path.rfind("C:\\windows\\system32\\CatRoot\\", 0) != 0 &&
                path.rfind("C:\\windows\\system32\\DriverStore\\", 0) != 0 &&
                path.rfind("C:\\windows\\Logs", 0) != 0) {
                files.push_back(path);
            }
        }
        return files;
    };
    const std::vector<std::string> before = outsideInf();
    EXPECT_NE(Run("/remove all /format json"), kExitFailed);
    std::vector<std::string> folders;
    const JsonValue removal = Json();
    for (const JsonValue& scanner : removal["scanners"].items) {
        EXPECT_EQ(scanner["backup"].text.rfind("C:\\ProgramData\\DrvSweep\\Backups\\", 0), 0u)
            << scanner["backup"].text;
        folders.push_back(scanner["backup"].text);
    }
    ASSERT_EQ(folders.size(), 4u);
    std::string log;
    ASSERT_TRUE(machine.files().ReadFile(kLog, &log));
    EXPECT_NE(log.find("Backups go to C:\\ProgramData\\DrvSweep\\Backups"), std::string::npos);
    EXPECT_NE(log.find("Backup of USB\\VID_0C6E&PID_0410: " + folders[1]), std::string::npos);

    EXPECT_EQ(Run("/backups /format json"), kExitDone);
    const JsonValue listing = Json();
    ASSERT_EQ(listing["backups"].items.size(), 4u);
    EXPECT_GT(listing["backups"].items[0]["bytes"].number, 0);
    EXPECT_TRUE(listing["backups"].items[0]["damaged"].text.empty());

    EXPECT_EQ(Run("/restore last /format json"), kExitDone);
    EXPECT_EQ(Json()["devicePath"].text, "USB\\VID_0C6E&PID_0900");
    for (std::size_t i = 0; i + 1 < folders.size(); ++i) {
        EXPECT_EQ(Run(("/restore \"" + folders[i] + "\"").c_str()), kExitDone) << console.output();
    }
    EXPECT_EQ(outsideInf(), before);
    // A backup is put back once: the second time everything is there already.
    EXPECT_EQ(Run(("/restore \"" + folders[1] + "\"").c_str()), kExitDone);
    EXPECT_NE(console.output().find("alreadyThere file C:\\windows\\system32\\qrns41.dll"),
              std::string::npos)
        << console.output();

    // /nobackup removes without one, and the log says so.
    EXPECT_NE(Run("/remove all /nobackup"), kExitFailed);
    ASSERT_TRUE(machine.files().ReadFile(kLog, &log));
    EXPECT_NE(log.find("No backup: /nobackup was given"), std::string::npos);
    EXPECT_EQ(CompleteBackupsCount(), 4u);
}

TEST_F(CommandLineRunTest, ABackupThatCannotBeWrittenEndsWith1603AndOneLine) {
    Load("installed_files_x64");
    const std::vector<std::string> before = Files();
    ASSERT_TRUE(machine.files().AddFile("C:\\blocked", "a file where the folder would go"));
    EXPECT_EQ(Run("/remove USB\\VID_0C6E&PID_0410 /backupdir C:\\blocked\\backups /quiet"),
              kExitFailed);
    EXPECT_EQ(console.error(),
              "DrvSweep: nothing removed of USB\\VID_0C6E&PID_0410: the backup failed: the backup "
              "folder C:\\blocked\\backups cannot be made\r\n");
    std::vector<std::string> after = Files();
    after.erase(std::remove_if(after.begin(), after.end(),
                               [](const std::string& path) {
                                   return path.rfind("C:\\windows\\Logs", 0) == 0;
                               }),
                after.end());
    std::vector<std::string> expected = before;
    expected.erase(std::remove_if(expected.begin(), expected.end(),
                                  [](const std::string& path) {
                                      return path.rfind("C:\\windows\\Logs", 0) == 0;
                                  }),
                   expected.end());
    EXPECT_EQ(after, expected);

    EXPECT_EQ(Run("/restore C:\\nowhere"), kExitFailed);
    EXPECT_NE(console.error().find("no backup is in C:\\nowhere"), std::string::npos);
}

}  // namespace
}  // namespace drvsweep::cli
