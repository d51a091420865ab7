#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/dll_search.h"
#include "platform/sim/sim_dll_search_path.h"

namespace drvsweep {
namespace {

TEST(DllSearchTest, TheNarrowestSearchThisWindowsHasIsTaken) {
    const struct {
        const char* name;
        bool hasSetDefault;
        bool hasSetDirectory;
        const char* failingCall;
        DllSearch expected;
        std::vector<std::string> calls;
    } cases[] = {
        {"Windows 8 and later",
         true,
         true,
         "",
         DllSearch::SystemFolderOnly,
         {"SetDefaultDllDirectories"}},
        {"XP SP1 to 7 without the update",
         false,
         true,
         "",
         DllSearch::WithoutCurrentFolder,
         {"SetDllDirectoryA"}},
        {"SetDefaultDllDirectories fails",
         true,
         true,
         "SetDefaultDllDirectories",
         DllSearch::WithoutCurrentFolder,
         {"SetDefaultDllDirectories", "SetDllDirectoryA"}},
        {"SetDllDirectoryA fails",
         false,
         true,
         "SetDllDirectoryA",
         DllSearch::Unchanged,
         {"SetDllDirectoryA"}},
        {"9x, 2000 and XP before SP1", false, false, "", DllSearch::Unchanged, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim::SimFaults faults;
        if (*c.failingCall != '\0') {
            faults.Add({c.failingCall, "", 87});
        }
        sim::SimDllSearchPath os(faults);
        os.SetExports(c.hasSetDefault, c.hasSetDirectory);
        EXPECT_EQ(LimitDllSearch(os), c.expected);
        EXPECT_EQ(os.calls(), c.calls);
    }
}

}  // namespace
}  // namespace drvsweep
