#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/restart_deletion.h"
#include "platform/win32_codes.h"
#include "platform/wininit_text.h"
#include "removal/delete_at_restart.h"
#include "tests/support/test_machine.h"

// Files that another process holds open without delete sharing, over the simulated Windows and
// over the real one under Wine alike, on the scenarios removal_files_nt and removal_files_9x:
// what can go goes now, the rest is set to go when the computer restarts.
namespace drvsweep {
namespace {

using Paths = std::vector<std::string>;

const std::string kDll = "C:\\windows\\system32\\QuorinK5210.dll";
const std::string kSource = "C:\\windows\\twain_32\\QuorinK5210";
const std::string kNotes = kSource + "\\sub\\deeper\\notes.txt";

// The paths the pending list holds: PendingFileRenameOperations on the NT family (pairs of path
// and new name, an empty name for a deletion), WININIT.INI's [rename] section on the 9x family.
Paths PendingDeletions(Platform& platform) {
    if (CurrentFamily(platform.version) != Family::Nt) {
        std::string text;
        platform.files.ReadWholeFile("C:\\windows\\WININIT.INI", 1 << 20, &text);
        return WininitDeletions(platform.version.AnsiCodePage(), text);
    }
    std::unique_ptr<RegistryKey> key;
    std::string list(8192, '\0');
    auto size = static_cast<std::uint32_t>(list.size());
    if (platform.registry.OpenKey("SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                                  kKeyQueryValue, &key) != kErrorSuccess ||
        key->QueryValue("PendingFileRenameOperations", &list[0], &size) != kErrorSuccess) {
        return {};
    }
    list.resize(size);
    Paths paths;
    for (std::size_t at = 0; at < list.size() && list[at] != '\0';) {
        const std::size_t pathEnd = list.find('\0', at);
        const std::size_t nameEnd = list.find('\0', pathEnd + 1);
        EXPECT_NE(nameEnd, std::string::npos) << "every path has a new name";
        if (nameEnd == std::string::npos) {
            break;
        }
        const std::string path = list.substr(at, pathEnd - at);
        EXPECT_EQ(path.compare(0, 4, "\\??\\"), 0) << path;
        if (nameEnd == pathEnd + 1) {
            paths.push_back(path.substr(4));
        }
        at = nameEnd + 1;
    }
    return paths;
}

// One test, because under Wine the tests of one run share the prefix and this one changes it.
TEST(RemovalAtRestartContract, HeldFilesAndTheirFoldersAreScheduled) {
    std::unique_ptr<testing::TestMachine> machine = testing::OpenScenarioMachine();
    Platform& platform = machine->platform();
    FileSystem& files = platform.files;
    const bool nt = CurrentFamily(platform.version) == Family::Nt;
    const auto exists = [&files](const std::string& path) {
        FoundFile found;
        return files.FindFirst(path.c_str(), &found) != nullptr;
    };
    // On the 9x family the list holds short paths, which Wine makes up as the simulation does.
    const auto listed = [&files, nt](const std::string& path, const char* shortPath) {
        char text[260] = {};
        EXPECT_GT(files.ShortPath(path.c_str(), text, sizeof text), 0u) << path;
        if (!nt) {
            EXPECT_EQ(std::string(text), shortPath);
        }
        return nt ? path : std::string(text);
    };
    ASSERT_TRUE(machine->HoldOpen(kDll));
    ASSERT_TRUE(machine->HoldOpen(kNotes));
    EXPECT_FALSE(files.RemoveFile(kDll.c_str())) << "a held file cannot be deleted";
    Paths expected = {
        listed(kDll, "C:\\windows\\system32\\QUOR~5AU.DLL"),
        listed(kNotes, "C:\\windows\\twain_32\\QUOR~PCC\\sub\\deeper\\notes.txt"),
    };
    // WININIT.INI deletes no folder: on 9x the folders stay, and so does the data source.
    if (nt) {
        expected.insert(expected.end(), {kSource + "\\sub\\deeper", kSource + "\\sub", kSource});
    }

    EXPECT_EQ(DeleteFileOrAtRestart(platform, kDll.c_str()), ItemOutcome::DeletedAtRestart);
    bool scheduledSome = false;
    EXPECT_EQ(DeleteTreeOrAtRestart(platform, kSource.c_str(), &scheduledSome),
              nt ? ItemOutcome::DeletedAtRestart : ItemOutcome::StillThere);
    EXPECT_EQ(DeleteFileOrAtRestart(platform, (kSource + "\\readme.txt").c_str()),
              ItemOutcome::Deleted)
        << "the tree took it already";

    EXPECT_TRUE(scheduledSome) << "the held file inside went on the list";
    EXPECT_EQ(PendingDeletions(platform), expected);
    // A removal run again before the restart reads the same list to leave these alone.
    const ScheduledDeletions scheduled(platform.registry, files, platform.version);
    EXPECT_TRUE(scheduled.Holds(kDll.c_str()));
    EXPECT_EQ(scheduled.Holds(kSource.c_str()), nt);
    EXPECT_FALSE(scheduled.Holds("C:\\windows\\system32\\AcmeScan.dll"));
    EXPECT_TRUE(exists(kDll));
    EXPECT_TRUE(exists(kNotes));
    EXPECT_FALSE(exists(kSource + "\\readme.txt"));
    EXPECT_FALSE(exists(kSource + "\\QuorinK5210.ds"));
    EXPECT_TRUE(exists("C:\\windows\\twain_32\\AcmeScan\\AcmeScan.ds"));
    EXPECT_TRUE(exists("C:\\windows\\system32\\AcmeScan.dll"));
}

}  // namespace
}  // namespace drvsweep
