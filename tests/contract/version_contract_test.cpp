#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/table_dump.h"
#include "tests/support/test_machine.h"

// GetVersion and GetSystemDefaultLangID report the family and language the scenario names: on
// Wine the runner sets them through HKCU\Software\Wine Version and LC_ALL, which also gives the
// ANSI code page: 936 for 2052, 950 for 1028, 1252 for 1033.
namespace drvsweep {
namespace {

// The first word of a scenario file, or `fallback` when the file is missing.
std::string ScenarioSetting(const std::string& file, const std::string& fallback) {
    const std::string text =
        testing::ReadTextFile(testing::FixturePath(testing::CurrentScenario() + "/" + file));
    const std::size_t end = text.find_first_of(" \t\r\n");
    return text.empty() ? fallback : text.substr(0, end);
}

TEST(VersionContract, ReportsTheScenariosFamilyAndLanguage) {
    std::unique_ptr<testing::TestMachine> machine = testing::OpenScenarioMachine();
    VersionInfo& version = machine->platform().version;
    const Family expected = ScenarioSetting("family", "nt") == "9x" ? Family::Win9x : Family::Nt;
    EXPECT_EQ(CurrentFamily(version), expected);
    EXPECT_EQ(std::to_string(version.DefaultLanguage()), ScenarioSetting("language", "1033"));
    const std::uint16_t language = version.DefaultLanguage();
    EXPECT_EQ(version.AnsiCodePage().id(), language == 2052   ? 936u
                                           : language == 1028 ? 950u
                                                              : 1252u);
}

}  // namespace
}  // namespace drvsweep
