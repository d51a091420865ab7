#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/sim/sim_windows.h"
#include "removal/scanner_removal.h"
#include "removal/uninstall_key_table.h"
#include "removal/uninstaller_command_line.h"
#include "removal/vendor_uninstaller.h"

namespace drvsweep {
namespace {

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kUninstall32 =
    "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kProgram = "C:\\Program Files\\Quorin\\uninst.exe";

TEST(UninstallKeyTableTest, TheFirstMatchingRowNamesTheKey) {
    const struct {
        const char* devicePath;
        const char* primary;
        const char* fallback;
    } kCases[] = {
        {"USB\\VID_0C6E&PID_5210", "quorin K5210", nullptr},
        {"USB\\Vid_0c6e&Pid_7300", "quorin MPX_730", "quorin PT736"},
        {"USB\\VID_0C6E&PID_2503", "quorin PT250", "Quorin Scanner Duolanxing Driver"},
        {"PCMCIA\\QUORIN-ROAMDOC-5E1A", "quorin PT2504", "Quorin Scanner DuoLanxing Driver"},
        {"USB\\VID_0C6E&PID_3902", "quorin Doc_392", nullptr},
        {"USB\\VID_0C6E&PID_3900", "quorin Doc_390", nullptr},
        {"USB\\VID_0C6E&PID_5210&REV_7300", "quorin K5210", "quorin PT736"},
        {"USB\\VID_0C6E&PID_3900&MI_3902", "quorin Doc_392", nullptr},
        {"PCMCIA\\quorin-roamdoc-5e1a", "PCMCIA\\quorin-roamdoc-5e1a", nullptr},
        {"USB\\VID_0C6E&PID_2504", "USB\\VID_0C6E&PID_2504", nullptr},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.devicePath);
        EXPECT_STREQ(PrimaryUninstallKeyName(c.devicePath), c.primary);
        EXPECT_STREQ(FallbackUninstallKeyName(c.devicePath), c.fallback);
    }
}

// Windows Installer is told by the first word of the command line, as the shell would start it.
TEST(UninstallerCommandLineTest, WindowsInstallerIsToldByTheFirstWord) {
    const struct {
        const char* line;
        bool installer;
    } kCases[] = {
        {"MsiExec.exe /X{6C0D5E2A-1B3C-4D5E-8F90-A1B2C3D4E5F6}", true},
        {"msiexec /x {6C0D5E2A-1B3C-4D5E-8F90-A1B2C3D4E5F6} /qn", true},
        {"C:\\WINDOWS\\system32\\MSIEXEC.EXE /x x.msi", true},
        {"\"C:\\Windows\\System32\\msiexec.exe\" /x x.msi", true},
        {"  msiexec.exe", true},
        {"C:\\windows\\quorin\\uninst.exe msiexec.exe", false},
        {"C:\\msiexec\\uninst.exe /S", false},
        {"msiexec2.exe /x", false},
        {"\"C:\\Program Files\\Quorin\\msiexec.exe.bak\"", false},
        {"", false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(RunsWindowsInstaller(c.line), c.installer);
    }
    // Its first "exe" lies inside "msiexec": the line is split after the first word instead.
    const struct {
        const char* line;
        const char* program;
        const char* parameters;
    } kSplits[] = {
        {"msiexec /x {6C0D5E2A-1B3C-4D5E-8F90-A1B2C3D4E5F6} /qn", "msiexec",
         "/x {6C0D5E2A-1B3C-4D5E-8F90-A1B2C3D4E5F6} /qn"},
        {"msiexec.exe /x x.msi", "msiexec.exe", "/x x.msi"},
        {"\"C:\\Windows\\System32\\msiexec.exe\" /x x.msi", "\"C:\\Windows\\System32\\msiexec.exe",
         " /x x.msi"},
        {"MsiExec.exe", "MsiExec.exe", ""},
    };
    for (const auto& c : kSplits) {
        SCOPED_TRACE(c.line);
        UninstallerCommand command;
        ASSERT_TRUE(SplitUninstallerCommandLine(c.line, &command));
        EXPECT_STREQ(command.program.c_str(), c.program);
        EXPECT_STREQ(command.parameters.c_str(), c.parameters);
    }
}

TEST(UninstallerCommandLineTest, SplitsAtTheFirstLowerCaseExe) {
    const std::string program259 = std::string(256, 'p') + "exe";
    const std::string text259(259, 't');
    const struct {
        std::string line;
        bool splits;
        std::string program;
        std::string parameters;
    } kCases[] = {
        {"C:\\Quorin\\uninst.exe -remove Doc392", true, "C:\\Quorin\\uninst.exe", "-remove Doc392"},
        {"\"C:\\Program Files\\uninst.exe\" -x", true, "\"C:\\Program Files\\uninst.exe", " -x"},
        {"C:\\exe\\Quorin\\uninst.exe /x", true, "C:\\exe", "Quorin\\uninst.exe /x"},
        {"C:\\Quorin\\uninst.exe", true, "C:\\Quorin\\uninst.exe", ""},
        {"C:\\Quorin\\uninst.exe ", true, "C:\\Quorin\\uninst.exe", ""},
        {"C:\\Quorin\\UNINST.EXE /x", false, "", ""},
        {"C:\\Quorin\\Setup.Exe", false, "", ""},
        {"", false, "", ""},
        {program259 + " " + text259, true, program259, text259},
        {"p" + program259, false, "", ""},
        {program259 + " " + text259 + "t", false, "", ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.line);
        UninstallerCommand command;
        command.program.assign("before");
        EXPECT_EQ(SplitUninstallerCommandLine(c.line.c_str(), &command), c.splits);
        EXPECT_EQ(command.program.c_str(), c.splits ? c.program : "before");
        EXPECT_EQ(command.parameters.c_str(), c.parameters);
    }
}

class VendorUninstallerTest : public ::testing::Test {
protected:
    void SetUp() override { machine.files().AddFile(kProgram); }

    void Register(const std::string& root, const std::string& keyName, const std::string& line) {
        machine.registry().SetString(root + keyName, "UninstallString", line);
    }

    UninstallerStatus Launch(const std::string& devicePath) {
        ScannerRecord scanner;
        scanner.devicePath.assign(devicePath.c_str());
        ShellRemovalSteps steps(machine.platform());
        return StartRegisteredUninstaller(machine.platform(), scanner, steps);
    }

    std::vector<std::string> Opens() {
        std::vector<std::string> opens;
        for (const std::string& call : machine.faults().calls()) {
            if (call.rfind("RegOpenKeyExA ", 0) == 0) {
                opens.push_back(call.substr(14));
            }
        }
        return opens;
    }

    // The launches as "program|parameters".
    std::vector<std::string> Launches() {
        std::vector<std::string> launches;
        for (const sim::ShellLaunch& launch : machine.programs().launches()) {
            launches.push_back(launch.program + "|" + launch.parameters);
        }
        return launches;
    }

    sim::SimWindows machine;
};

// The maker's 32-bit setup wrote into the 32-bit view; the program's own view is asked first.
TEST_F(VendorUninstallerTest, StartsTheUninstallerOfEitherRegistryView) {
    Register(kUninstall32, "quorin Doc_392", kProgram + " -remove Doc392");
    EXPECT_EQ(Launch("USB\\VID_0C6E&PID_3902"), UninstallerStatus::Started);
    EXPECT_EQ(Launches(), std::vector<std::string>{kProgram + "|-remove Doc392"});
    EXPECT_EQ(Opens(), (std::vector<std::string>{kUninstall + "quorin Doc_392",
                                                 kUninstall32 + "quorin Doc_392"}));
    EXPECT_EQ(machine.openHandles(), 0);

    Register(kUninstall, "quorin Doc_392", kProgram + " -native");
    EXPECT_EQ(Launch("USB\\VID_0C6E&PID_3902"), UninstallerStatus::Started);
    EXPECT_EQ(Launches().back(), kProgram + "|-native");
}

TEST_F(VendorUninstallerTest, TheFallbackTableServesOnlyWhenThePrimaryKeyIsMissing) {
    Register(kUninstall32, "quorin PT736", kProgram + " -pt736");
    EXPECT_EQ(Launch("USB\\VID_0C6E&PID_7300"), UninstallerStatus::Started);
    EXPECT_EQ(Launches(), std::vector<std::string>{kProgram + "|-pt736"});

    EXPECT_EQ(Launch("USB\\VID_0C6E&PID_5210"), UninstallerStatus::NoKey) << "no fallback row";
    EXPECT_EQ(Launch("USB\\VID_0C6E&PID_2503"), UninstallerStatus::NoKey)
        << "fallback key missing too";

    machine.registry().SetString(kUninstall + "quorin MPX_730", "DisplayName", "MPX 730");
    const std::size_t opensBefore = Opens().size();
    EXPECT_EQ(Launch("USB\\VID_0C6E&PID_7300"), UninstallerStatus::Unreadable)
        << "the primary key has no UninstallString";
    EXPECT_EQ(Opens().size(), opensBefore + 1) << "the fallback key is not opened";
    EXPECT_EQ(Launches().size(), 1u);
    EXPECT_EQ(machine.openHandles(), 0);
}

// A devicePath outside the tables names a nested key; 52 + 207 characters fill a 260-byte
// path, one more would name some other key and opens nothing.
TEST_F(VendorUninstallerTest, ADevicePathOutsideTheTablesNamesANestedKey) {
    const std::string fits = "USB\\" + std::string(203, 'D');
    const std::string tooLong = fits + "D";
    Register(kUninstall, fits, kProgram + " -nested");
    Register(kUninstall, tooLong, kProgram + " -nested");
    EXPECT_EQ(Launch(fits), UninstallerStatus::Started);
    const std::size_t opensBefore = Opens().size();
    EXPECT_EQ(Launch(tooLong), UninstallerStatus::NoKey);
    EXPECT_EQ(Opens().size(), opensBefore);
    EXPECT_EQ(Launches(), std::vector<std::string>{kProgram + "|-nested"});
}

// The value is read with 520 bytes whatever its type; bytes that fill them without a terminator
// are refused like a longer value.
TEST_F(VendorUninstallerTest, ReadsTheCommandLineWith520Bytes) {
    const std::string program = "C:\\" + std::string(250, 'P') + "\\u.exe";
    const std::string parameters(259, 'a');
    machine.files().AddFile(program);
    const std::string longest = program + " " + parameters;  // 519 characters
    const struct {
        std::uint32_t type;
        std::string bytes;
        UninstallerStatus result;
    } kCases[] = {
        {sim::kRegSz, longest + '\0', UninstallerStatus::Started},
        {sim::kRegBinary, longest, UninstallerStatus::Started},
        {sim::kRegBinary, longest + "a", UninstallerStatus::Unreadable},
        {sim::kRegSz, longest + "a" + '\0', UninstallerStatus::Unreadable},
        {sim::kRegExpandSz, kProgram + " -expand" + '\0', UninstallerStatus::Started},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.bytes.size());
        machine.registry().SetValue(kUninstall + "quorin K5210", "UninstallString", c.type,
                                    c.bytes);
        EXPECT_EQ(Launch("USB\\VID_0C6E&PID_5210"), c.result);
    }
    EXPECT_EQ(Launches(),
              (std::vector<std::string>{program + "|" + parameters, program + "|" + parameters,
                                        kProgram + "|-expand"}));

    machine.faults().Add(sim::FaultRule{"RegQueryValueExA", "UninstallString", 5});
    EXPECT_EQ(Launch("USB\\VID_0C6E&PID_5210"), UninstallerStatus::Unreadable);
    EXPECT_EQ(machine.openHandles(), 0);
}

// Whenever no program is started the caller must hear so: it then offers its own removal
// instead of watching for a device that nothing removes.
TEST_F(VendorUninstallerTest, ReportsNotStartedWhenNoProgramRuns) {
    const struct {
        const char* why;
        std::string line;
        UninstallerStatus result;
    } kCases[] = {
        {"no lower-case exe", "C:\\Quorin\\UNINST.EXE /x", UninstallerStatus::NoProgram},
        {"an empty value", "", UninstallerStatus::NoProgram},
        {"the program file is gone", "C:\\Quorin\\gone.exe /x", UninstallerStatus::Refused},
        {"the quoted program keeps its opening quote", "\"" + kProgram + "\" /x",
         UninstallerStatus::Refused},
        {"a program part of 260 characters", "C:\\" + std::string(254, 'P') + "exe /x",
         UninstallerStatus::NoProgram},
        {"parameters of 260 characters", kProgram + " " + std::string(260, 'a'),
         UninstallerStatus::NoProgram},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        Register(kUninstall, "quorin K5210", c.line);
        EXPECT_EQ(Launch("USB\\VID_0C6E&PID_5210"), c.result);
    }
    Register(kUninstall, "quorin K5210", kProgram + " /x");
    machine.faults().Add(sim::FaultRule{"ShellExecuteA", "", 31});
    EXPECT_EQ(Launch("USB\\VID_0C6E&PID_5210"), UninstallerStatus::Refused) << "SE_ERR_NOASSOC";
    EXPECT_TRUE(Launches().empty());
    EXPECT_EQ(machine.openHandles(), 0);
}

// Finding an uninstaller starts nothing: it answers found with the split command, and the
// statuses of a missing key and of a line that names no program.
TEST_F(VendorUninstallerTest, FindingTheCommandStartsNothing) {
    CommandLineText line;
    UninstallerCommand command;
    EXPECT_EQ(FindUninstallerCommand(machine.platform(), "USB\\VID_0C6E&PID_5210", &line, &command),
              UninstallerStatus::NoKey);
    Register(kUninstall, "quorin K5210", "C:\\Quorin\\UNINST.EXE /x");
    EXPECT_EQ(FindUninstallerCommand(machine.platform(), "USB\\VID_0C6E&PID_5210", &line, &command),
              UninstallerStatus::NoProgram);
    EXPECT_TRUE(line.empty()) << "outputs stay untouched";
    Register(kUninstall, "quorin K5210", kProgram + " /x");
    EXPECT_EQ(FindUninstallerCommand(machine.platform(), "USB\\VID_0C6E&PID_5210", &line, &command),
              UninstallerStatus::Found);
    EXPECT_EQ(line.c_str(), kProgram + " /x");
    EXPECT_EQ(command.program.c_str(), kProgram);
    EXPECT_STREQ(command.parameters.c_str(), "/x");
    EXPECT_TRUE(Launches().empty());
    EXPECT_EQ(machine.openHandles(), 0);
}

// The 9x family has one registry: a key below WOW6432Node is just a key of that name there.
TEST_F(VendorUninstallerTest, The9xFamilyHasNo32BitView) {
    machine.SetFamily(Family::Win9x);
    Register(kUninstall32, "quorin K5210", kProgram + " -wow");
    EXPECT_EQ(Launch("USB\\VID_0C6E&PID_5210"), UninstallerStatus::NoKey);
    Register(kUninstall, "quorin K5210", kProgram + " -9x");
    EXPECT_EQ(Launch("USB\\VID_0C6E&PID_5210"), UninstallerStatus::Started);
    EXPECT_EQ(Launches(), std::vector<std::string>{kProgram + "|-9x"});
}

}  // namespace
}  // namespace drvsweep
