#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32_codes.h"
#include "platform/working_folder.h"
#include "tests/support/test_machine.h"

// Files and folders as Wine answers them, over the simulated Windows and over the real one
// alike, on the scenario contract_files. Each test works in a folder of its own below
// C:\windows\contract, because under Wine the tests of one run share one prefix.
namespace drvsweep {
namespace {

const char kListFolder[] = "C:\\windows\\contract\\list";
const char kAttributesFolder[] = "C:\\windows\\contract\\attributes";
const char kRemoveFolder[] = "C:\\windows\\contract\\remove";

class FilesContract : public ::testing::Test {
protected:
    void SetUp() override { machine_ = testing::OpenScenarioMachine(); }

    FileSystem& files() { return machine_->platform().files; }

    std::string CurrentFolder() {
        char folder[260] = {};
        const std::uint32_t length = files().CurrentFolder(folder, sizeof folder);
        return length > 0 && length < sizeof folder ? folder : "(failed)";
    }

    // The whole listing as "name attributes" entries, in the order found; "(none)" when
    // FindFirstFileA finds nothing.
    std::vector<std::string> Listing(const std::string& pattern) {
        std::vector<std::string> entries;
        FoundFile found;
        std::unique_ptr<FileSearch> search = files().FindFirst(pattern.c_str(), &found);
        if (!search) {
            return {"(none)"};
        }
        do {
            char attributes[16];
            std::snprintf(attributes, sizeof attributes, " %02x",
                          static_cast<unsigned>(found.attributes));
            entries.push_back(found.name.c_str() + std::string(attributes));
        } while (search->Next(&found));
        return entries;
    }

    std::unique_ptr<testing::TestMachine> machine_;
};

TEST_F(FilesContract, ReportsTheWindowsFolder) {
    char folder[260] = {};
    EXPECT_EQ(files().WindowsFolder(folder, sizeof folder), 10u);
    EXPECT_STREQ(folder, "C:\\windows");
    // Too small a buffer gets the size needed, its NUL counted.
    EXPECT_EQ(files().WindowsFolder(folder, 10), 11u);
    EXPECT_EQ(files().WindowsFolder(folder, 11), 10u);
}

TEST_F(FilesContract, ChangesTheCurrentFolder) {
    SavedWorkingFolder saved(files());
    ASSERT_TRUE(saved.saved());
    struct Case {
        const char* path;
        bool changes;
        const char* after;
    };
    const Case cases[] = {
        {"C:\\windows\\contract\\", true, "C:\\windows\\contract"},  // trailing \ dropped
        {"list", true, "C:\\windows\\contract\\list"},
        {"..", true, "C:\\windows\\contract"},
        {"C:\\windows\\contract\\missing", false, "C:\\windows\\contract"},
        {"C:\\windows\\contract\\list\\notes.txt", false, "C:\\windows\\contract"},
        {"C:\\", true, "C:\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(files().SetCurrentFolder(c.path), c.changes);
        EXPECT_EQ(CurrentFolder(), c.after);
    }
    ASSERT_TRUE(files().SetCurrentFolder("C:\\windows\\contract"));
    char folder[260] = {};
    EXPECT_EQ(files().CurrentFolder(folder, 19), 20u);
}

// Wine lists a folder sorted by upper-cased names ("B" before "_", unlike the registry's
// order), "." and ".." first in a "*" listing. A long name that is not a valid 8.3 name also
// matches through its generated short name: "oem5.infx" is OEM5~xxx.INF, so "oem*.inf" and
// "*.inf" find it, as they do on Windows with short names on.
TEST_F(FilesContract, ListsFoldersInWinesOrder) {
    SavedWorkingFolder saved(files());
    ASSERT_TRUE(saved.saved());
    ASSERT_TRUE(files().SetCurrentFolder(kListFolder));
    const std::vector<std::string> infFiles = {"oem1.inf 20", "oem10.inf 20", "oem2.inf 20",
                                               "OEM4.INF 20", "oem5.infx 20", "oemb.inf 20",
                                               "oem_x.inf 20"};
    struct Case {
        std::string pattern;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {"oem*.inf", infFiles},
        {std::string(kListFolder) + "\\oem*.inf", infFiles},
        {"*.inf", infFiles},
        {"*.*",
         {". 10", ".. 10", "notes.txt 20", "oem1.inf 20", "oem10.inf 20", "oem2.inf 20",
          "OEM4.INF 20", "oem5.infx 20", "oemb.inf 20", "oem_x.inf 20", "sub 10"}},
        {"sub\\*", {". 10", ".. 10", "inner.txt 20"}},
        {"sub", {"sub 10"}},
        {"OEM1.INF", {"oem1.inf 20"}},
        {"nothing*.inf", {"(none)"}},
        {"C:\\windows\\contract\\missing\\*.*", {"(none)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(Listing(c.pattern), c.entries);
    }
}

// A read-only file cannot be deleted until its attributes are set back to archive alone;
// hidden files delete as they are. Folders take the call but keep reporting the folder
// attribute alone.
TEST_F(FilesContract, SetsAttributesAndDeletesFiles) {
    SavedWorkingFolder saved(files());
    ASSERT_TRUE(saved.saved());
    ASSERT_TRUE(files().SetCurrentFolder(kAttributesFolder));

    EXPECT_TRUE(files().SetAttributes("readonly.txt", kFileAttributeReadOnly));
    EXPECT_EQ(Listing("readonly.txt"), std::vector<std::string>{"readonly.txt 21"});
    EXPECT_FALSE(files().RemoveFile("readonly.txt"));
    EXPECT_TRUE(files().SetAttributes("readonly.txt", kFileAttributeArchive));
    EXPECT_EQ(Listing("readonly.txt"), std::vector<std::string>{"readonly.txt 20"});
    EXPECT_TRUE(files().RemoveFile("readonly.txt"));
    EXPECT_FALSE(files().RemoveFile("readonly.txt"));

    EXPECT_TRUE(files().SetAttributes("hidden.txt", kFileAttributeHidden));
    EXPECT_EQ(Listing("hidden.txt"), std::vector<std::string>{"hidden.txt 22"});
    EXPECT_TRUE(files().RemoveFile("hidden.txt"));
    EXPECT_EQ(Listing("hidden.txt"), std::vector<std::string>{"(none)"});

    EXPECT_FALSE(files().SetAttributes("missing.txt", kFileAttributeArchive));
    EXPECT_TRUE(files().SetAttributes("folder", kFileAttributeArchive));
    EXPECT_EQ(Listing("folder"), std::vector<std::string>{"folder 10"});
}

// DeleteFileA refuses folders; RemoveDirectoryA refuses files, folders that are not empty and
// the current directory, which the process holds open.
TEST_F(FilesContract, RemovesOnlyEmptyFoldersNotInUse) {
    SavedWorkingFolder saved(files());
    ASSERT_TRUE(saved.saved());
    ASSERT_TRUE(files().SetCurrentFolder(kRemoveFolder));

    EXPECT_FALSE(files().RemoveFile("full"));
    EXPECT_FALSE(files().RemoveFolder("full"));
    EXPECT_FALSE(files().RemoveFolder("file.txt"));
    EXPECT_FALSE(files().RemoveFolder("missing"));

    EXPECT_TRUE(files().RemoveFile("gone\\only.txt"));
    EXPECT_TRUE(files().RemoveFolder("gone"));
    EXPECT_EQ(Listing("gone"), std::vector<std::string>{"(none)"});

    ASSERT_TRUE(files().SetCurrentFolder("busy"));
    EXPECT_TRUE(files().RemoveFile("busy.txt"));
    EXPECT_FALSE(files().RemoveFolder("C:\\windows\\contract\\remove\\busy"));
    ASSERT_TRUE(files().SetCurrentFolder(".."));
    EXPECT_TRUE(files().RemoveFolder("busy"));
    EXPECT_EQ(Listing("*"), (std::vector<std::string>{". 10", ".. 10", "file.txt 20", "full 10"}));
}

}  // namespace
}  // namespace drvsweep
