#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/restart_deletion.h"
#include "platform/sim/sim_windows.h"
#include "removal/delete_at_restart.h"

namespace drvsweep {
namespace {

using Paths = std::vector<std::string>;
using namespace std::string_literals;

const std::string kWindows = "C:\\windows";
const std::string kSource = "C:\\windows\\twain_32\\QuorinK5210";
const std::string kDll = "C:\\windows\\system32\\QuorinK5210.dll";
const std::string kWininit = "C:\\windows\\WININIT.INI";

// A scanner's driver with its data source, part of which another process holds open.
class RemovalAtRestartTest : public ::testing::TestWithParam<Family> {
protected:
    void SetUp() override {
        machine.SetFamily(GetParam());
        for (const std::string& path :
             {kDll, kSource + "\\QuorinK5210.ds", kSource + "\\readme.txt",
              kSource + "\\Language\\chs.dll", kSource + "\\Language\\cht.dll",
              kSource + "\\Other\\help.txt", kWindows + "\\twain_32\\Acme\\Acme.ds"}) {
            files().AddFile(path);
        }
        files().SetInUse(kDll, true);
        files().SetInUse(kSource + "\\Language\\chs.dll", true);
    }

    sim::SimFileTree& files() { return machine.files(); }
    bool nt() const { return GetParam() == Family::Nt; }

    // What the pending list holds for a path: the path itself on NT, its short path on 9x.
    std::string Pending(const std::string& path) {
        char shortPath[260] = {};
        return nt() || files().ShortPath(path.c_str(), shortPath, sizeof shortPath) == 0
                   ? path
                   : shortPath;
    }

    sim::SimWindows machine;
};

TEST_P(RemovalAtRestartTest, AFileHeldOpenIsScheduledAndAFreeOneDeleted) {
    const std::string freeFile = kSource + "\\readme.txt";
    EXPECT_EQ(DeleteFileOrAtRestart(machine.platform(), freeFile.c_str()), ItemOutcome::Deleted);
    EXPECT_EQ(DeleteFileOrAtRestart(machine.platform(), kDll.c_str()),
              ItemOutcome::DeletedAtRestart);
    EXPECT_TRUE(files().Exists(kDll));
    EXPECT_EQ(machine.PendingDeletions(), Paths{Pending(kDll)});
    EXPECT_EQ(DeleteFileOrAtRestart(machine.platform(), (kWindows + "\\gone.dll").c_str()),
              ItemOutcome::Deleted);
    if (!nt()) {
        EXPECT_EQ(Pending(kDll), "C:\\windows\\system32\\QUOR~5AU.DLL");
    }
}

TEST_P(RemovalAtRestartTest, WhenSchedulingFailsTheFileIsStillThere) {
    machine.faults().Add(sim::FaultRule{nt() ? "MoveFileExA" : "GetShortPathNameA", "", 5});
    EXPECT_EQ(DeleteFileOrAtRestart(machine.platform(), kDll.c_str()), ItemOutcome::StillThere);
    EXPECT_EQ(machine.PendingDeletions(), Paths{});
    EXPECT_EQ(machine.openHandles(), 0);
}

// WININIT.INI deletes files only: on 9x the folders stay, and so does the item.
TEST_P(RemovalAtRestartTest, ATreeSchedulesWhatStaysAndOnNtTheFoldersAboveAfterIt) {
    const std::string held = kSource + "\\Language\\chs.dll";
    bool scheduledSome = false;
    EXPECT_EQ(DeleteTreeOrAtRestart(machine.platform(), kSource.c_str(), &scheduledSome),
              nt() ? ItemOutcome::DeletedAtRestart : ItemOutcome::StillThere);
    EXPECT_TRUE(scheduledSome);
    EXPECT_EQ(machine.PendingDeletions(),
              nt() ? (Paths{held, kSource + "\\Language", kSource}) : Paths{Pending(held)});
    EXPECT_EQ(files().ListNames(kSource), Paths{"Language"});
    EXPECT_EQ(files().ListNames(kSource + "\\Language"), Paths{"chs.dll"});
    EXPECT_TRUE(files().Exists(kWindows + "\\twain_32\\Acme\\Acme.ds"));
    EXPECT_EQ(files().currentFolder(), "C:\\");
}

TEST_P(RemovalAtRestartTest, AFolderHoldingWhatCouldNotBeScheduledIsNotScheduled) {
    files().AddFile(kSource + "\\Other\\busy.hlp");
    files().SetInUse(kSource + "\\Other\\busy.hlp", true);
    machine.faults().Add(sim::FaultRule{nt() ? "MoveFileExA" : "GetShortPathNameA", "busy.hlp", 5});
    bool scheduledSome = false;
    EXPECT_EQ(DeleteTreeOrAtRestart(machine.platform(), kSource.c_str(), &scheduledSome),
              ItemOutcome::StillThere);
    const std::string held = kSource + "\\Language\\chs.dll";
    EXPECT_EQ(machine.PendingDeletions(),
              nt() ? (Paths{held, kSource + "\\Language"}) : Paths{Pending(held)});
}

TEST_P(RemovalAtRestartTest, OnlyFullPathsOfTheItemAreScheduled) {
    ASSERT_TRUE(files().SetCurrentFolder("C:\\windows\\system32"));
    for (const char* path :
         {"QuorinK5210.dll", "C:\\windows\\system32\\..\\system32\\QuorinK5210.dll",
          "C:\\windows\\system32\\Quorin*.dll"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(DeleteFileOrAtRestart(machine.platform(), path), ItemOutcome::StillThere);
    }
    EXPECT_EQ(machine.PendingDeletions(), Paths{});
    EXPECT_TRUE(files().Exists(kDll));
}

INSTANTIATE_TEST_SUITE_P(Families, RemovalAtRestartTest,
                         ::testing::Values(Family::Nt, Family::Win9x),
                         [](const ::testing::TestParamInfo<Family>& info) {
                             return info.param == Family::Nt ? "Nt" : "Win9x";
                         });

// Windows keeps the NT list as pairs of strings, path and new name, with an empty name for a
// deletion, after the paths other programs put there.
TEST(RestartDeletionNtTest, EntriesGoToTheEndOfTheRegistryListAsWindowsWritesThem) {
    sim::SimWindows machine;
    const std::string kKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
    const std::string kOthers = "\\??\\C:\\old.tmp\0!\0"s;
    machine.registry().SetValue(kKey, "PendingFileRenameOperations", sim::kRegMultiSz,
                                kOthers + '\0');
    ASSERT_TRUE(machine.files().SetCurrentFolder("C:\\windows"));
    EXPECT_TRUE(machine.files().DeleteAtRestart("x.dll"));
    EXPECT_EQ(machine.registry().Value(kKey, "PendingFileRenameOperations")->bytes,
              kOthers + "\\??\\C:\\windows\\x.dll\0\0\0"s);
    EXPECT_EQ(machine.PendingDeletions(), Paths{"C:\\windows\\x.dll"});
    machine.SetFamily(Family::Win9x);
    EXPECT_FALSE(machine.files().DeleteAtRestart("C:\\windows\\y.dll"));
    EXPECT_EQ(machine.files().lastError(), sim::kErrorCallNotImplemented);
}

// A pending path names its own entry alone, case ignored: in code page 950 the folder 仟 (A5 61)
// is not the folder 丕 (A5 41) beside it, though their second bytes look like 'a' and 'A'.
// In code page 1252 they are ¥a and ¥A, one name in two cases.
TEST(RestartDeletionNtTest, APendingPathHoldsItsEntryAloneInTheCodePage) {
    sim::SimWindows machine;
    ASSERT_TRUE(machine.version().SetAnsiCodePage(950));
    machine.registry().SetValue("SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                                "PendingFileRenameOperations", sim::kRegMultiSz,
                                "\\??\\C:\\windows\\twain_32\\\xa5\x61\\q.ds\0\0\0"s);
    Platform& platform = machine.platform();
    const ScheduledDeletions big5(platform.registry, platform.files, platform.version);
    EXPECT_TRUE(big5.Holds("c:\\WINDOWS\\twain_32\\\xa5\x61\\Q.DS"));
    EXPECT_FALSE(big5.Holds("C:\\windows\\twain_32\\\xa5\x41\\q.ds"));
    ASSERT_TRUE(machine.version().SetAnsiCodePage(1252));
    const ScheduledDeletions western(platform.registry, platform.files, platform.version);
    EXPECT_TRUE(western.Holds("C:\\windows\\twain_32\\\xa5\x41\\q.ds"));
}

// The 9x list is a file that other programs write too.
class RestartDeletion9xTest : public ::testing::Test {
protected:
    void SetUp() override {
        machine.SetFamily(Family::Win9x);
        machine.files().AddFile(kDll);
    }

    bool Schedule() {
        return ScheduleDeletionAtRestart(machine.files(), machine.version(), kDll.c_str());
    }

    std::string Wininit() {
        std::string text = "<missing>";
        machine.files().ReadFile(kWininit, &text);
        return text;
    }

    sim::SimWindows machine;
};

TEST_F(RestartDeletion9xTest, TheLineJoinsWhatOtherProgramsWrote) {
    const std::string before = "[rename]\r\nNUL=C:\\OTHER.DLL\r\n\r\n[boot]\r\nx=1\r\n";
    machine.files().AddFile(kWininit, before);
    ASSERT_TRUE(Schedule());
    const std::string line = "NUL=C:\\windows\\system32\\QUOR~5AU.DLL\r\n";
    EXPECT_EQ(Wininit(), "[rename]\r\nNUL=C:\\OTHER.DLL\r\n" + line + "\r\n[boot]\r\nx=1\r\n");
    ASSERT_TRUE(Schedule()) << "a rerun finds its line";
    EXPECT_EQ(machine.PendingDeletions(),
              (Paths{"C:\\OTHER.DLL", "C:\\windows\\system32\\QUOR~5AU.DLL"}));
    EXPECT_EQ(machine.files().ListNames(kWindows), (Paths{"system32", "WININIT.INI"}));
}

TEST_F(RestartDeletion9xTest, AFolderIsRefusedAndNothingWritten) {
    machine.files().AddFolder(kWindows + "\\twain_32\\Quorin");
    EXPECT_FALSE(ScheduleDeletionAtRestart(machine.files(), machine.version(),
                                           (kWindows + "\\twain_32\\Quorin").c_str()));
    EXPECT_FALSE(ScheduleDeletionAtRestart(machine.files(), machine.version(),
                                           (kWindows + "\\gone.dll").c_str()));
    EXPECT_EQ(Wininit(), "<missing>");
}

TEST_F(RestartDeletion9xTest, AMissingFileIsCreated) {
    ASSERT_TRUE(Schedule());
    EXPECT_EQ(Wininit(), "[rename]\r\nNUL=C:\\windows\\system32\\QUOR~5AU.DLL\r\n");
}

TEST_F(RestartDeletion9xTest, AFailedStepLeavesTheFileAsItWas) {
    const std::string before = "[rename]\r\nNUL=C:\\OTHER.DLL\r\n";
    machine.files().AddFile(kWininit, before);
    for (const sim::FaultRule& rule :
         {sim::FaultRule{"WriteFile", "", 5}, sim::FaultRule{"MoveFileA", "WININIT.INI", 5},
          sim::FaultRule{"MoveFileA", "WININIT.DSN", 5}, sim::FaultRule{"ReadFile", "INI", 5}}) {
        SCOPED_TRACE(rule.call + " " + rule.argumentContains);
        machine.faults().Clear();
        machine.faults().Add(rule);
        EXPECT_FALSE(Schedule());
        EXPECT_EQ(Wininit(), before);
        EXPECT_EQ(machine.files().ListNames(kWindows), (Paths{"system32", "WININIT.INI"}));
    }
}

TEST_F(RestartDeletion9xTest, AnUnfinishedUpdateStopsTheNextOne) {
    machine.files().AddFile(kWindows + "\\WININIT.DSO", "[rename]\r\nNUL=C:\\OTHER.DLL\r\n");
    EXPECT_FALSE(Schedule());
    EXPECT_EQ(Wininit(), "<missing>");
}

TEST(SimFileTreeWholeFilesTest, HeldFilesCanBeReadButNotWrittenOrRenamed) {
    sim::SimWindows machine;
    sim::SimFileTree& files = machine.files();
    files.AddFile("C:\\a\\held.txt", "held");
    files.SetInUse("C:\\a\\held.txt", true);
    std::string bytes;
    EXPECT_EQ(files.ReadWholeFile("C:\\a\\held.txt", 4, &bytes), FileRead::Read);
    EXPECT_EQ(bytes, "held");
    EXPECT_EQ(files.ReadWholeFile("C:\\a\\held.txt", 3, &bytes), FileRead::Failed);
    EXPECT_EQ(files.ReadWholeFile("C:\\a\\none.txt", 3, &bytes), FileRead::Missing);
    EXPECT_EQ(files.ReadWholeFile("C:\\a", 3, &bytes), FileRead::Failed);
    EXPECT_FALSE(files.WriteWholeFile("C:\\a\\held.txt", "x"));
    EXPECT_EQ(files.lastError(), sim::kErrorSharingViolation);
    EXPECT_FALSE(files.RenameFile("C:\\a", "C:\\b"));
    EXPECT_EQ(files.lastError(), sim::kErrorSharingViolation);
    EXPECT_FALSE(files.RemoveFolder("C:\\a"));
    EXPECT_EQ(files.lastError(), sim::kErrorDirNotEmpty);
    files.AddFile("C:\\a\\free.txt");
    EXPECT_FALSE(files.RenameFile("C:\\a\\free.txt", "C:\\a\\held.txt"));
    EXPECT_EQ(files.lastError(), sim::kErrorAlreadyExists);
    EXPECT_TRUE(files.RenameFile("C:\\a\\free.txt", "C:\\free2.txt"));
    EXPECT_TRUE(files.WriteWholeFile("C:\\free2.txt", "new"));
    EXPECT_TRUE(files.ReadFile("C:\\free2.txt", &bytes));
    EXPECT_EQ(bytes, "new");
    char shortPath[260] = {};
    EXPECT_EQ(files.ShortPath("c:\\A\\held.txt", shortPath, sizeof shortPath), 13u);
    EXPECT_STREQ(shortPath, "c:\\A\\held.txt");
    EXPECT_EQ(files.ShortPath("C:\\a\\none.txt", shortPath, sizeof shortPath), 0u);
}

}  // namespace
}  // namespace drvsweep
