#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command_line.h"

namespace drvsweep::cli {
namespace {

TEST(SplitArguments, FollowsTheRuntimeRules) {
    const struct {
        const char* line;
        std::vector<std::string> split;
    } cases[] = {
        {"", {}},
        {"  \t ", {}},
        {"/list", {"/list"}},
        {"  /list   /format  json ", {"/list", "/format", "json"}},
        {"/log \"C:\\My Logs\\x.log\"", {"/log", "C:\\My Logs\\x.log"}},
        {"/log:\"C:\\a b\\\"", {"/log:C:\\a b\""}},
        {"a\\\\\"b c\"", {"a\\b c"}},
        {"a\\\\\\\"b", {"a\\\"b"}},
        {"USB\\VID_0C6E&PID_5210", {"USB\\VID_0C6E&PID_5210"}},
        {"\"\"", {""}},
        {"x\\", {"x\\"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(SplitArguments(c.line), c.split);
    }
}

TEST(ParseCommandLine, UnderstandsEveryUsageForm) {
    CommandLine line;
    std::string error;

    ASSERT_TRUE(ParseCommandLine({"/LIST", "-Format=JSON", "/out", "C:\\r.json"}, &line, &error))
        << error;
    EXPECT_EQ(line.action, Action::List);
    EXPECT_EQ(line.format, ReportFormat::Json);
    EXPECT_EQ(line.outFile, "C:\\r.json");

    ASSERT_TRUE(ParseCommandLine({"/remove", "usb\\vid_0c6e&pid_5210", "PCMCIA\\X", "/whatif", "/s",
                                  "/restart", "/log:C:\\x.log", "/format:csv"},
                                 &line, &error))
        << error;
    EXPECT_EQ(line.action, Action::Remove);
    EXPECT_FALSE(line.removeAll);
    EXPECT_EQ(line.devicePaths, (std::vector<std::string>{"usb\\vid_0c6e&pid_5210", "PCMCIA\\X"}));
    EXPECT_TRUE(line.whatIf);
    EXPECT_TRUE(line.quiet);
    EXPECT_EQ(line.restart, RestartChoice::IfNeeded);
    EXPECT_EQ(line.logFile, "C:\\x.log");
    EXPECT_EQ(line.format, ReportFormat::Csv);

    ASSERT_TRUE(ParseCommandLine({"/remove", "ALL", "/vendor", "/timeout", "30", "/forcerestart"},
                                 &line, &error))
        << error;
    EXPECT_TRUE(line.removeAll);
    EXPECT_TRUE(line.vendor);
    EXPECT_EQ(line.vendorTimeoutSeconds, 30);
    EXPECT_EQ(line.restart, RestartChoice::Always);

    ASSERT_TRUE(ParseCommandLine({"/remove", "all"}, &line, &error));
    EXPECT_EQ(line.restart, RestartChoice::Never);
    EXPECT_EQ(line.vendorTimeoutSeconds, kDefaultVendorTimeoutSeconds);
    EXPECT_EQ(line.format, ReportFormat::Text);
    EXPECT_FALSE(line.quiet);

    for (const char* quiet : {"/quiet", "/q", "-S", "/silent", "/VERYSILENT"}) {
        SCOPED_TRACE(quiet);
        ASSERT_TRUE(ParseCommandLine({"/remove", "all", quiet}, &line, &error)) << error;
        EXPECT_TRUE(line.quiet);
    }
    for (const std::vector<std::string>& help :
         {std::vector<std::string>{"/?"}, {"-help"}, {"/HELP"}, {"/list", "/?"}}) {
        ASSERT_TRUE(ParseCommandLine(help, &line, &error)) << error;
        EXPECT_EQ(line.action, Action::Help);
    }
    ASSERT_TRUE(ParseCommandLine({"/version"}, &line, &error));
    EXPECT_EQ(line.action, Action::Version);
}

TEST(ParseCommandLine, RefusesWhatItCannotUnderstand) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"list"},
        {"/lists"},
        {"/li"},
        {"/bogus"},
        {"/list", "/remove", "all"},
        {"/list", "/list"},
        {"/list", "/format"},
        {"/list", "/format", "xml"},
        {"/list", "/format:"},
        {"/list", "/out", "/format", "json"},
        {"/list", "/whatif"},
        {"/list", "/quiet"},
        {"/list", "USB\\X"},
        {"/list:yes"},
        {"/version", "/list"},
        {"/version", "/quiet"},
        {"/remove"},
        {"/remove", "/quiet"},
        {"/remove", "all", "USB\\X"},
        {"/remove", "all", "all"},
        {"/remove", "all", "/restart", "/norestart"},
        {"/remove", "all", "/forcerestart", "/restart"},
        {"/remove", "all", "/quiet", "/q"},
        {"/remove", "all", "/quiet:yes"},
        {"/remove", "all", "/timeout", "30"},
        {"/remove", "all", "/vendor", "/timeout", "0"},
        {"/remove", "all", "/vendor", "/timeout", "86401"},
        {"/remove", "all", "/vendor", "/timeout", "9999999999999"},
        {"/remove", "all", "/vendor", "/timeout", "-5"},
        {"/remove", "all", "/vendor", "/timeout", "1e3"},
        {"/remove", "all", "/log"},
        {"USB\\X", "/remove"},
    };
    for (const std::vector<std::string>& arguments : bad) {
        std::string joined;
        for (const std::string& a : arguments) {
            joined += a + " ";
        }
        SCOPED_TRACE(joined);
        CommandLine line;
        std::string error;
        EXPECT_FALSE(ParseCommandLine(arguments, &line, &error));
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace drvsweep::cli
