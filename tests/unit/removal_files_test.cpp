#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "discovery/scanner_table.h"
#include "platform/sim/sim_windows.h"
#include "platform/win32_codes.h"
#include "removal/folder_tree.h"
#include "removal/plan_steps.h"
#include "removal/removal_walk.h"

namespace drvsweep {
namespace {

const std::string kWindows = "C:\\windows";
const std::string kTwain = "C:\\windows\\twain_32\\";
const std::string kSample = kTwain + "QuorinK5210";

// Each case gets a fresh machine, so that the calls it logs are its own.
class RemovalFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        machine = std::make_unique<sim::SimWindows>();
        sim::SimFileTree& files = machine->files();
        for (const char* path :
             {"\\system32\\QuorinK5210.dll", "\\system32\\drivers\\QuorinK5210.dll",
              "\\system\\QuorinK5210.dll", "\\system32\\Orbdrv.vxd", "\\system\\Orbdrv.vxd",
              "\\system32\\drivers\\Orbdrv.sys", "\\twain_32\\QuorinK5210\\QuorinK5210.ds",
              "\\twain_32\\QuorinK5210\\sub\\deeper\\file.txt",
              "\\twain_32\\AcmeScan\\AcmeScan.ds"}) {
            files.AddFile(kWindows + path);
        }
        files.AddFile(kSample + "\\readme.txt", "", kFileAttributeReadOnly | kFileAttributeHidden);
        files.SetCurrentFolder("C:\\windows\\twain_32\\AcmeScan");
    }

    // The arguments of every call of one kind, oldest first.
    std::vector<std::string> Calls(const std::string& call) {
        std::vector<std::string> changes;
        for (const std::string& logged : machine->faults().calls()) {
            if (logged.rfind(call + " ", 0) == 0) {
                changes.push_back(logged.substr(call.size() + 1));
            }
        }
        return changes;
    }

    // The file calls that change something, as "Call path".
    std::vector<std::string> ChangingCalls() {
        std::vector<std::string> changes;
        for (const std::string& logged : machine->faults().calls()) {
            for (const char* call : {"SetFileAttributesA ", "DeleteFileA ", "RemoveDirectoryA "}) {
                if (logged.rfind(call, 0) == 0) {
                    changes.push_back(logged);
                }
            }
        }
        return changes;
    }

    bool Exists(const std::string& path) { return machine->files().Exists(path); }

    std::unique_ptr<sim::SimWindows> machine;
};

TEST_F(RemovalFilesTest, DriverFilesAreDeletedInOrderForTheBusAndFamily) {
    const std::vector<std::string> dlls = {kWindows + "\\system32\\QuorinK5210.dll",
                                           kWindows + "\\system32\\drivers\\QuorinK5210.dll",
                                           kWindows + "\\system\\QuorinK5210.dll"};
    std::vector<std::string> pcCard9x = dlls;
    pcCard9x.push_back(kWindows + "\\system32\\Orbdrv.vxd");
    pcCard9x.push_back(kWindows + "\\system\\Orbdrv.vxd");
    std::vector<std::string> pcCardNt = pcCard9x;
    pcCardNt.push_back(kWindows + "\\system32\\drivers\\Orbdrv.sys");
    const struct {
        BusKind busKind;
        Family family;
        std::vector<std::string> deleted;
    } kCases[] = {
        {BusKind::Usb, Family::Nt, dlls},           {BusKind::Usb, Family::Win9x, dlls},
        {BusKind::None, Family::Nt, dlls},          {BusKind::PcCard, Family::Nt, pcCardNt},
        {BusKind::PcCard, Family::Win9x, pcCard9x},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(static_cast<int>(c.busKind));
        SCOPED_TRACE(c.family == Family::Nt ? "NT" : "9x");
        machine->SetFamily(c.family);
        RunRemovalPlan(machine->platform(),
                       DriverFileItems(machine->platform(), "QuorinK5210.dll", c.busKind));
        EXPECT_EQ(Calls("DeleteFileA"), c.deleted);
        EXPECT_EQ(Calls("SetFileAttributesA"), c.deleted) << "each file is reset first";
        EXPECT_EQ(ChangingCalls().size(), 2 * c.deleted.size());
        for (const std::string& path : c.deleted) {
            EXPECT_FALSE(Exists(path)) << path;
        }
        SetUp();
    }
}

// An empty or climbing DLL name would reset and try to delete the system folders themselves
// or something outside them; a path that does not fit 260 bytes skips its own step.
TEST_F(RemovalFilesTest, DllNamesThatAreNotPlainFileNamesAreNotDeleted) {
    const std::string name235(231, 'n');
    const struct {
        std::string driverDll;
        BusKind busKind;
        std::vector<std::string> deleted;
    } kCases[] = {
        {"", BusKind::Usb, {}},
        {"..\\win.ini", BusKind::Usb, {}},
        {"C:\\boot.ini", BusKind::Usb, {}},
        {"\\boot.ini", BusKind::Usb, {}},
        {"",
         BusKind::PcCard,
         {kWindows + "\\system32\\Orbdrv.vxd", kWindows + "\\system\\Orbdrv.vxd",
          kWindows + "\\system32\\drivers\\Orbdrv.sys"}},
        {name235 + ".dll",
         BusKind::Usb,
         {kWindows + "\\system32\\" + name235 + ".dll",
          kWindows + "\\system\\" + name235 + ".dll"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.driverDll);
        RunRemovalPlan(machine->platform(),
                       DriverFileItems(machine->platform(), c.driverDll.c_str(), c.busKind));
        EXPECT_EQ(Calls("DeleteFileA"), c.deleted);
        EXPECT_EQ(ChangingCalls().size(), 2 * c.deleted.size());
        SetUp();
    }
    machine->faults().Add(sim::FaultRule{"GetWindowsDirectoryA", "", 5});
    RunRemovalPlan(machine->platform(),
                   DriverFileItems(machine->platform(), "QuorinK5210.dll", BusKind::PcCard));
    RunRemovalPlan(machine->platform(), DataSourceItems(machine->platform(), "QuorinK5210"));
    EXPECT_TRUE(ChangingCalls().empty());
}

TEST_F(RemovalFilesTest, TheDataSourceFileThenItsFolderTreeGo) {
    RunRemovalPlan(machine->platform(), DataSourceItems(machine->platform(), "QuorinK5210"));
    const std::vector<std::string> calls = ChangingCalls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0], "SetFileAttributesA " + kSample + "\\QuorinK5210.ds");
    EXPECT_EQ(calls[1], "DeleteFileA " + kSample + "\\QuorinK5210.ds");
    EXPECT_EQ(calls.back(), "RemoveDirectoryA " + kSample);
    EXPECT_FALSE(Exists(kSample));
    EXPECT_EQ(machine->files().ListNames(kTwain), std::vector<std::string>{"AcmeScan"});
    EXPECT_EQ(machine->files().currentFolder(), "C:\\windows\\twain_32\\AcmeScan");
    EXPECT_EQ(machine->openHandles(), 0);
}

// The folder name is used twice for the data source file; only the named folder goes.
TEST_F(RemovalFilesTest, ATwoLevelFolderNameRemovesOnlyTheInnerFolder) {
    machine->files().AddFile(kTwain + "Maker\\Model\\Maker\\Model.ds");
    machine->files().AddFile(kTwain + "Maker\\Other.ds");
    RunRemovalPlan(machine->platform(), DataSourceItems(machine->platform(), "Maker\\Model"));
    EXPECT_EQ(Calls("DeleteFileA").front(), kTwain + "Maker\\Model\\Maker\\Model.ds");
    EXPECT_EQ(machine->files().ListNames(kTwain + "Maker"), std::vector<std::string>{"Other.ds"});
}

// Big5 功 is A5 5C: a folder of that name inside the data source is entered and emptied like
// any other, and a Windows folder ending in it keeps its last byte.
TEST_F(RemovalFilesTest, ChineseFolderNamesEndingIn5CAreWholeNames) {
    ASSERT_TRUE(machine->version().SetAnsiCodePage(950));
    const std::string gong = "\xa5\x5c";
    machine->files().AddFile(kSample + "\\" + gong + "\\inner\\file.txt");
    machine->files().AddFile(kSample + "\\" + gong + "\\" + gong + "\\file.txt");
    RunRemovalPlan(machine->platform(), DataSourceItems(machine->platform(), "QuorinK5210"));
    EXPECT_FALSE(Exists(kSample));
    EXPECT_EQ(machine->files().ListNames(kTwain), std::vector<std::string>{"AcmeScan"});
    EXPECT_EQ(machine->files().currentFolder(), "C:\\windows\\twain_32\\AcmeScan");

    const std::string windows = "C:\\WIN" + gong;
    machine->files().SetWindowsFolder(windows);
    machine->files().AddFile(windows + "\\system32\\Sample.dll");
    RunRemovalPlan(machine->platform(),
                   DriverFileItems(machine->platform(), "Sample.dll", BusKind::Usb));
    EXPECT_EQ(Calls("DeleteFileA").back(), windows + "\\system\\Sample.dll");
    EXPECT_FALSE(Exists(windows + "\\system32\\Sample.dll"));
}

TEST_F(RemovalFilesTest, AFolderNameThatLeavesItsPlaceDeletesNothing) {
    for (const std::string& name :
         {std::string(), std::string(".."), std::string("..\\system32"), std::string("C:\\windows"),
          std::string("\\windows"), std::string("QuorinK5210\\.."), std::string("Quorin*"),
          std::string(240, 'L')}) {
        SCOPED_TRACE(name);
        RunRemovalPlan(machine->platform(), DataSourceItems(machine->platform(), name.c_str()));
        EXPECT_TRUE(ChangingCalls().empty());
    }
    EXPECT_TRUE(Exists(kSample + "\\QuorinK5210.ds"));
}

// Only an entry listed with the attribute word 16 alone is entered; a folder with a further
// bit is tried as a file, stays with its content, and so does every folder above it. An entry
// that cannot be deleted does not stop the others.
TEST_F(RemovalFilesTest, TheTreeEntersOnlyPlainFoldersAndGoesOnPastFailures) {
    sim::SimFileTree& files = machine->files();
    files.AddFile(kSample + "\\marked\\kept.txt");
    files.SetRawAttributes(kSample + "\\marked", kFileAttributeDirectory | kFileAttributeArchive);
    files.AddFile(kSample + "\\busy.dll");
    files.SetInUse(kSample + "\\busy.dll", true);
    DeleteTree(files, CodePage(), kSample.c_str());
    EXPECT_EQ(files.ListNames(kSample), (std::vector<std::string>{"busy.dll", "marked"}));
    EXPECT_TRUE(Exists(kSample + "\\marked\\kept.txt"));
    EXPECT_EQ(files.currentFolder(), "C:\\windows\\twain_32\\AcmeScan");
    EXPECT_EQ(machine->openHandles(), 0);
}

// Listing a folder that was not entered would list, and delete in, the working directory; for
// a subfolder that is its parent, which would then be entered again without end.
TEST_F(RemovalFilesTest, AFolderThatCannotBeEnteredOrListedLosesNothing) {
    const struct {
        const char* why;
        sim::FaultRule fault;
        std::size_t listings;
        std::vector<std::string> left;
    } kCases[] = {
        {"the subfolder cannot be entered",
         {"SetCurrentDirectoryA", "QuorinK5210\\sub", 5},
         1,
         {"sub"}},
        {"the subfolder cannot be listed", {"FindFirstFileA", "QuorinK5210\\sub", 5}, 2, {"sub"}},
        {"the working directory cannot be saved", {"GetCurrentDirectoryA", "", 5, 1}, 1, {"sub"}},
        {"the folder cannot be listed",
         {"FindFirstFileA", "QuorinK5210\\*", 5},
         1,
         {"QuorinK5210.ds", "readme.txt", "sub"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        machine->faults().Add(c.fault);
        DeleteTree(machine->files(), CodePage(), kSample.c_str());
        EXPECT_EQ(Calls("FindFirstFileA").size(), c.listings);
        EXPECT_EQ(machine->files().ListNames(kSample), c.left);
        EXPECT_TRUE(Exists(kSample + "\\sub\\deeper\\file.txt"));
        EXPECT_EQ(machine->files().currentFolder(), "C:\\windows\\twain_32\\AcmeScan");
        SetUp();
    }
    DeleteTree(machine->files(), CodePage(), (kTwain + "Missing").c_str());
    DeleteTree(machine->files(), CodePage(), (kSample + "\\QuorinK5210.ds").c_str());
    EXPECT_EQ(ChangingCalls(),
              (std::vector<std::string>{"RemoveDirectoryA " + kTwain + "Missing",
                                        "RemoveDirectoryA " + kSample + "\\QuorinK5210.ds"}))
        << "only the folders given are tried, and nothing is deleted in the working directory";
}

// 64-bit Windows: the DLL also goes from the 32-bit system folder and its drivers subfolder,
// right after the three system folders, and the data source also from twain_64, with the same
// rules as below twain_32.
TEST_F(RemovalFilesTest, SixtyFourBitWindowsAlsoLosesTheWow64AndTwain64Copies) {
    const std::string wow64 = kWindows + "\\SysWOW64\\";
    const std::string twain64 = kWindows + "\\twain_64\\";
    machine->packages().SetRelease(sim::SimRelease::Windows7, true);
    sim::SimFileTree& files = machine->files();
    for (const std::string& path :
         {wow64 + "QuorinK5210.dll", wow64 + "drivers\\QuorinK5210.dll", wow64 + "AcmeScan.dll",
          twain64 + "QuorinK5210\\QuorinK5210.ds", twain64 + "QuorinK5210\\x64\\QuorinK5210.dll",
          twain64 + "AcmeScan\\AcmeScan.ds"}) {
        files.AddFile(path);
    }
    RunRemovalPlan(machine->platform(),
                   DriverFileItems(machine->platform(), "QuorinK5210.dll", BusKind::Usb));
    EXPECT_EQ(
        Calls("DeleteFileA"),
        (std::vector<std::string>{kWindows + "\\system32\\QuorinK5210.dll",
                                  kWindows + "\\system32\\drivers\\QuorinK5210.dll",
                                  kWindows + "\\system\\QuorinK5210.dll", wow64 + "QuorinK5210.dll",
                                  wow64 + "drivers\\QuorinK5210.dll"}));
    EXPECT_TRUE(Exists(wow64 + "AcmeScan.dll"));

    for (const char* name : {"", "..", "QuorinK5210\\..", "C:\\windows\\twain_64\\AcmeScan"}) {
        RunRemovalPlan(machine->platform(), DataSourceItems(machine->platform(), name));
    }
    EXPECT_EQ(Calls("RemoveDirectoryA").size(), 0u) << "no unusable name reaches either root";
    RunRemovalPlan(machine->platform(), DataSourceItems(machine->platform(), "QuorinK5210"));
    EXPECT_FALSE(Exists(kSample));
    EXPECT_FALSE(Exists(twain64 + "QuorinK5210"));
    EXPECT_EQ(files.ListNames(twain64), std::vector<std::string>{"AcmeScan"});
    EXPECT_EQ(files.ListNames(kTwain), std::vector<std::string>{"AcmeScan"});
    EXPECT_EQ(files.currentFolder(), "C:\\windows\\twain_32\\AcmeScan");

    // Without an answer from GetSystemWow64DirectoryA the system counts as 32-bit.
    SetUp();
    machine->packages().SetRelease(sim::SimRelease::Windows7, true);
    machine->files().AddFile(wow64 + "QuorinK5210.dll");
    machine->files().AddFile(twain64 + "QuorinK5210\\QuorinK5210.ds");
    machine->faults().Add(sim::FaultRule{"GetSystemWow64DirectoryA", "", 5});
    RunRemovalPlan(machine->platform(),
                   DriverFileItems(machine->platform(), "QuorinK5210.dll", BusKind::Usb));
    RunRemovalPlan(machine->platform(), DataSourceItems(machine->platform(), "QuorinK5210"));
    EXPECT_TRUE(Exists(wow64 + "QuorinK5210.dll"));
    EXPECT_TRUE(Exists(twain64 + "QuorinK5210\\QuorinK5210.ds"));
    EXPECT_FALSE(Exists(kSample));
}

// A subfolder whose full path would not fit 260 bytes is not entered; the rest still goes.
TEST_F(RemovalFilesTest, SubfoldersBeyond259CharactersAreNotEntered) {
    const std::string deep = kSample + "\\" + std::string(100, 'a') + "\\" + std::string(100, 'b') +
                             "\\" + std::string(100, 'c');
    machine->files().AddFile(deep + "\\far.txt");
    DeleteTree(machine->files(), CodePage(), kSample.c_str());
    EXPECT_TRUE(Exists(deep + "\\far.txt"));
    EXPECT_EQ(machine->files().ListNames(kSample), std::vector<std::string>{std::string(100, 'a')});
}

}  // namespace
}  // namespace drvsweep
