#include <gtest/gtest.h>

#include <set>
#include <string>

#include "cli/command_line_platform.h"
#include "cli/run_log.h"
#include "platform/sim/sim_console.h"
#include "platform/sim/sim_output_files.h"
#include "platform/sim/sim_process_jobs.h"
#include "platform/sim/sim_run_facts.h"
#include "platform/sim/sim_windows.h"
#include "platform/win32_codes.h"

namespace drvsweep::cli {
namespace {

constexpr char kLogs[] = "C:\\windows\\Logs";
constexpr char kLogFolder[] = "C:\\windows\\Logs\\DrvSweep";
constexpr char kLog[] = "C:\\windows\\Logs\\DrvSweep\\DrvSweep.log";

// The default log of an elevated run on the NT family: its folders and where a line goes.
class RunLogFolderTest : public ::testing::Test {
protected:
    // Opens the default log and writes one line; whether the line reached a file.
    bool WriteOneLine() {
        RunLog log(platform, DefaultLogPath(machine.platform()));
        log.Open(true);
        log.Write(LogType::Info, "line");
        return log.healthy();
    }

    sim::SimWindows machine;
    sim::SimConsole console;
    sim::SimOutputFiles outputFiles{machine.faults(), machine.files()};
    sim::SimRunFacts facts{machine.version()};
    sim::SimProcessJobs jobs;
    CommandLinePlatform platform{machine.platform(), console, outputFiles, facts, jobs};
};

TEST_F(RunLogFolderTest, TheFoldersItMakesAreAdministratorsOnly) {
    EXPECT_TRUE(WriteOneLine());
    EXPECT_EQ(outputFiles.securedFolders(), (std::set<std::string>{kLogs, kLogFolder}));
    EXPECT_TRUE(machine.files().Exists(kLog));
    EXPECT_TRUE(console.error().empty());
}

TEST_F(RunLogFolderTest, AFolderThereAlreadyIsUsedUnlessItIsALink) {
    ASSERT_TRUE(machine.files().AddFolder(kLogFolder));
    EXPECT_TRUE(WriteOneLine());
    EXPECT_TRUE(outputFiles.securedFolders().empty());
    EXPECT_TRUE(machine.files().Exists(kLog));

    for (const char* folder : {kLogs, kLogFolder}) {
        SCOPED_TRACE(folder);
        ASSERT_TRUE(machine.files().Erase(kLogs));
        ASSERT_TRUE(machine.files().AddFolder(kLogFolder));
        ASSERT_TRUE(machine.files().SetRawAttributes(
            folder, kFileAttributeDirectory | kFileAttributeReparsePoint));
        console = sim::SimConsole();
        EXPECT_FALSE(WriteOneLine());
        EXPECT_FALSE(machine.files().Exists(kLog));
        EXPECT_EQ(console.error(), std::string("DrvSweep: the log folder ") + folder +
                                       " is a junction or symbolic link; no log is written.\r\n");
    }
}

TEST_F(RunLogFolderTest, AFolderWhoseDescriptorCannotBeBuiltIsNotMade) {
    machine.faults().Add({"ConvertStringSecurityDescriptorToSecurityDescriptorA", "", 1338});
    EXPECT_FALSE(WriteOneLine());
    EXPECT_FALSE(machine.files().Exists(kLogs));
}

}  // namespace
}  // namespace drvsweep::cli
