#include "platform/sim/sim_file_tree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/sim/file_name_match.h"
#include "platform/sim/sim_faults.h"
#include "platform/win32_codes.h"

namespace drvsweep::sim {
namespace {

class SimFileTreeTest : public ::testing::Test {
protected:
    SimFileTreeTest()
        : version(faults), registry(faults, version), files(faults, version, registry) {}

    void SetUp() override {
        for (const char* name : {"b.txt", "A.txt", "_c.txt", "noext", "[z.inf", "OEM1.INF",
                                 "oem2.inf", "oem10.inf", "oem5.infx"}) {
            files.AddFile(std::string("C:\\pr\\") + name, name);
        }
        files.AddFolder("C:\\pr\\sub\\deep");
    }

    // Every name FindFirstFileA/FindNextFileA give, or "<none>" when the search cannot start.
    std::vector<std::string> List(const char* pattern) {
        FoundFile entry;
        std::unique_ptr<FileSearch> search = files.FindFirst(pattern, &entry);
        if (!search) {
            return {"<none>"};
        }
        std::vector<std::string> names;
        do {
            names.push_back(entry.name.c_str());
        } while (search->Next(&entry));
        return names;
    }

    std::string Current() {
        char path[260] = {};
        return files.CurrentFolder(path, sizeof path) < sizeof path ? path : "<too long>";
    }

    SimFaults faults;
    SimVersion version;
    SimRegistry registry;
    SimFileTree files;
};

using Names = std::vector<std::string>;

TEST_F(SimFileTreeTest, PatternsListMatchesInWinesOrder) {
    const struct {
        const char* pattern;
        Names names;
    } kCases[] = {
        {"C:\\pr\\*",
         {".", "..", "A.txt", "b.txt", "noext", "OEM1.INF", "oem10.inf", "oem2.inf", "oem5.infx",
          "sub", "[z.inf", "_c.txt"}},
        {"C:\\pr\\*.*",
         {".", "..", "A.txt", "b.txt", "noext", "OEM1.INF", "oem10.inf", "oem2.inf", "oem5.infx",
          "sub", "[z.inf", "_c.txt"}},
        {"C:\\PR\\oem*.inf", {"OEM1.INF", "oem10.inf", "oem2.inf", "oem5.infx"}},
        {"C:/pr/oem?.inf", {"OEM1.INF", "oem2.inf"}},
        {"C:\\pr\\noext.*", {"noext"}},
        {"C:\\*", {"pr", "windows"}},
        {"C:\\pr", {"pr"}},
        {"C:\\pr\\", {"<none>"}},
        {"C:\\pr\\nomatch*", {"<none>"}},
        {"C:\\nofolder\\*", {"<none>"}},
        {"pr\\sub\\*", {".", "..", "deep"}},
    };
    for (const auto& listing : kCases) {
        SCOPED_TRACE(listing.pattern);
        EXPECT_EQ(List(listing.pattern), listing.names);
        EXPECT_EQ(files.openSearchCount(), 0);
    }
}

TEST_F(SimFileTreeTest, ASearchListsWhatWasThereWhenItStarted) {
    FoundFile entry;
    std::unique_ptr<FileSearch> search = files.FindFirst("C:\\pr\\*.txt", &entry);
    ASSERT_TRUE(search);
    EXPECT_TRUE(files.RemoveFile("C:\\pr\\b.txt"));
    ASSERT_TRUE(search->Next(&entry));
    EXPECT_STREQ(entry.name.c_str(), "b.txt");
    EXPECT_EQ(entry.attributes, kFileAttributeArchive);
    EXPECT_EQ(files.openSearchCount(), 1);
}

TEST_F(SimFileTreeTest, RelativePathsResolveAgainstTheWorkingDirectory) {
    const struct {
        const char* path;
        const char* current;
    } kCases[] = {
        {"C:\\PR\\.\\sub\\..\\SUB", "C:\\PR\\SUB"},
        {"c:/pr/sub/", "c:\\pr\\sub"},
        {"deep", "c:\\pr\\sub\\deep"},
        {"..\\..", "c:\\pr"},
        {"C:..", "C:\\"},
        {"\\pr\\sub.\\deep ", "C:\\pr\\sub\\deep"},
        {"C:\\..\\..\\pr", "C:\\pr"},
        {"C:\\\\pr\\\\sub", "C:\\pr\\sub"},
    };
    for (const auto& change : kCases) {
        SCOPED_TRACE(change.path);
        EXPECT_TRUE(files.SetCurrentFolder(change.path));
        EXPECT_EQ(Current(), change.current);
    }
    EXPECT_TRUE(files.Exists("..\\b.TXT"));
    EXPECT_FALSE(files.SetCurrentFolder("..\\b.txt"));
    EXPECT_EQ(files.lastError(), kErrorDirectory);
    EXPECT_FALSE(files.SetCurrentFolder("C:\\nope"));
    EXPECT_EQ(files.lastError(), kErrorFileNotFound);
    EXPECT_EQ(Current(), "C:\\pr\\sub");
}

TEST_F(SimFileTreeTest, FolderTextsFollowTheGetWindowsDirectoryProtocol) {
    char path[16] = {};
    EXPECT_EQ(files.WindowsFolder(path, 10), 11u) << "room for the NUL is needed";
    EXPECT_EQ(files.WindowsFolder(path, 11), 10u);
    EXPECT_STREQ(path, "C:\\windows");
    EXPECT_EQ(files.CurrentFolder(path, 3), 4u);
    EXPECT_EQ(files.CurrentFolder(path, 4), 3u);
    EXPECT_STREQ(path, "C:\\");
}

TEST_F(SimFileTreeTest, SetAttributesStoresTheWordAsWineDoes) {
    const struct {
        const char* path;
        std::uint32_t set;
        std::uint32_t stored;
    } kCases[] = {
        {"C:\\pr\\A.txt", kFileAttributeReadOnly, 0x21},
        {"C:\\pr\\A.txt", 0, kFileAttributeArchive},
        {"C:\\pr\\A.txt", kFileAttributeNormal, kFileAttributeArchive},
        {"C:\\pr\\A.txt", kFileAttributeNormal | kFileAttributeHidden, 0x22},
        {"C:\\pr\\A.txt", kFileAttributeSystem | kFileAttributeDirectory, 0x24},
        {"C:\\pr\\sub", kFileAttributeArchive, kFileAttributeDirectory},
        {"C:\\pr\\sub", kFileAttributeReadOnly | kFileAttributeHidden, 0x12},
    };
    for (const auto& change : kCases) {
        SCOPED_TRACE(change.set);
        EXPECT_TRUE(files.SetAttributes(change.path, change.set));
        EXPECT_EQ(files.Attributes(change.path), change.stored);
    }
    EXPECT_FALSE(files.SetAttributes("C:\\pr\\missing", kFileAttributeArchive));
    EXPECT_EQ(files.lastError(), kErrorFileNotFound);
}

// The short names GetShortPathNameA gives on Wine 8.
TEST(FileNameMatchTest, ShortNamesAreWines) {
    const struct {
        const char* name;
        const char* shortName;
    } kCases[] = {
        {"oem5.infx", "OEM5~IZ0.INF"},
        {"Quorin K5210.inf", "QUOR~IED.INF"},
        {"a.b.c", "A_B~~54C.C"},
        {"longfilename.txt", "LONG~LMQ.TXT"},
        {"x[1].inf", "X_1_~H0L.INF"},
        {".hidden", "_HID~45N"},
        {"sp ace", "SP_A~IJX"},
        {"verylongname", "VERY~FQH"},
        {"abc.de f", "ABC~~GHE.DE_"},
        {"mixed~Case.Inf", "MIXE~LL1.INF"},
        {"ab", ""},
        {"~tilde.inf", ""},
        {"oem10.inf", ""},
    };
    for (const auto& name : kCases) {
        SCOPED_TRACE(name.name);
        EXPECT_EQ(ShortFileName(name.name), name.shortName);
    }
    EXPECT_TRUE(MatchesFilePattern("oem5.infx", "oem*.inf"));
    EXPECT_TRUE(MatchesFilePattern("noext", "*.*"));
    EXPECT_TRUE(MatchesFilePattern("abc", "abc.*"));
    EXPECT_FALSE(MatchesFilePattern("oem10.infx", "oem?.inf"));
    EXPECT_FALSE(MatchesFilePattern("abc.de f", "*.d"));
}

TEST_F(SimFileTreeTest, DeletionsFailWithWindowsErrors) {
    files.AddFile("C:\\pr\\ro.dll", "", kFileAttributeReadOnly | kFileAttributeHidden);
    files.AddFile("C:\\pr\\sub\\busy.dll");
    files.SetInUse("C:\\pr\\sub\\busy.dll", true);
    files.AddFolder("C:\\pr\\rofolder", kFileAttributeDirectory | kFileAttributeReadOnly);
    ASSERT_TRUE(files.SetCurrentFolder("C:\\pr\\sub\\deep"));
    const struct {
        bool folder;
        const char* path;
        long error;
    } kCases[] = {
        {false, "C:\\pr\\ro.dll", kErrorAccessDenied},
        {false, "C:\\pr\\sub", kErrorAccessDenied},
        {false, "C:\\pr\\missing.dll", kErrorFileNotFound},
        {false, "C:\\pr\\missing\\x.dll", kErrorPathNotFound},
        {false, "..\\busy.dll", kErrorSharingViolation},
        {true, "C:\\pr\\sub\\deep", kErrorSharingViolation},
        {true, ".", kErrorSharingViolation},
        {true, "C:\\pr\\sub", kErrorDirNotEmpty},
        {true, "C:\\pr\\b.txt", kErrorDirectory},
        {true, "C:\\pr\\missing", kErrorFileNotFound},
        {true, "C:\\pr\\missing\\deeper", kErrorPathNotFound},
        {true, "C:\\pr\\rofolder", kErrorAccessDenied},
        {true, "C:\\", kErrorAccessDenied},
    };
    for (const auto& deletion : kCases) {
        SCOPED_TRACE(deletion.path);
        EXPECT_FALSE(deletion.folder ? files.RemoveFolder(deletion.path)
                                     : files.RemoveFile(deletion.path));
        EXPECT_EQ(files.lastError(), deletion.error);
    }
    ASSERT_TRUE(files.SetCurrentFolder("C:\\"));
    EXPECT_TRUE(files.RemoveFolder("pr\\sub\\deep"));
    EXPECT_TRUE(files.RemoveFile("C:\\PR\\B.TXT"));
    EXPECT_EQ(files.ListNames("C:\\pr\\sub"), Names{"busy.dll"});
    EXPECT_FALSE(files.Exists("C:\\pr\\b.txt"));
}

TEST_F(SimFileTreeTest, FaultsStrikeTheResolvedPath) {
    ASSERT_TRUE(files.SetCurrentFolder("C:\\pr"));
    faults.Add(FaultRule{"DeleteFileA", "C:\\pr\\b.txt", 32, 0, 1});
    EXPECT_FALSE(files.RemoveFile("b.txt"));
    EXPECT_EQ(files.lastError(), 32);
    EXPECT_TRUE(files.RemoveFile("b.txt"));
    EXPECT_EQ(List("*.txt"), (Names{"A.txt", "_c.txt"}));
    faults.Add(FaultRule{"FindNextFileA", "C:\\pr\\*", 5, 2, -1});
    EXPECT_EQ(List("*"), (Names{".", "..", "A.txt"})) << "the listing breaks off half-way";
}

TEST_F(SimFileTreeTest, AHostFolderIsCopiedIn) {
    namespace fs = std::filesystem;
    const fs::path host = fs::temp_directory_path() / ("sim_file_tree_" + std::to_string(getpid()));
    fs::create_directories(host / "inf" / "other");
    std::ofstream(host / "inf" / "other" / "Oem3.INF") << "[Version]";
    std::string error;
    EXPECT_TRUE(files.MapHostFolder(host.string(), "C:\\windows", &error)) << error;
    std::string bytes;
    EXPECT_TRUE(files.ReadFile("C:\\windows\\INF\\other\\oem3.inf", &bytes));
    EXPECT_EQ(bytes, "[Version]");
    std::ofstream(host / "inf" / "other" / "OEM3.inf") << "";
    EXPECT_FALSE(files.MapHostFolder(host.string(), "C:\\windows", &error));
    EXPECT_NE(error.find("case"), std::string::npos) << error;
    fs::remove_all(host);
}

}  // namespace
}  // namespace drvsweep::sim
