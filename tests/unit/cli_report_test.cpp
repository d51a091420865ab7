#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/run_log.h"
#include "cli/run_report.h"
#include "cli/utf_text.h"
#include "tests/support/json_value.h"

namespace drvsweep::cli {
namespace {

using testing::JsonValue;

// A removal report whose texts carry everything a format must survive: Chinese, a character
// past U+FFFF, quotes, commas, line breaks, backslashes and formula starts.
RunReport TrickyReport() {
    RunReport report;
    report.command = "remove";
    report.toolVersion = "1.0.0";
    report.computerName = "PC-\"42\"";
    report.timeUtc = "2026-12-08T23:05:09Z";
    report.exitCode = 1603;
    report.removed = 0;
    report.remaining = 1;
    report.restart = "required";
    report.logPath = "C:\\windows\\Logs\\DrvSweep\\DrvSweep.log";
    ScannerReport scanner;
    scanner.devicePath = "USB\\VID_0C6E&PID_5210";
    scanner.bus = "usb";
    scanner.description =
        "Quorin K5210 \xE6\x89\xAB\xE6\x8F\x8F\xE4\xBB\xAA \xF0\x9F\x93\xA0, \"new\"\r\nline";
    scanner.infPath = "=HYPERLINK(\"x\")";
    scanner.twainFolder = "+1";
    scanner.driverDll = "-2";
    scanner.kernelDriver = "@3";
    scanner.plan = {{"driverFile", "C:\\windows\\system32\\QuorinK5210.dll", ""}};
    scanner.method = RemovalMethod::BuiltIn;
    scanner.result = ScannerResult::Remaining;
    scanner.remaining = {{"driverFile", "C:\\windows\\system32\\QuorinK5210.dll", "still present"}};
    scanner.pendingRestart = {{"dataSourceFolder", "C:\\windows\\twain_32\\QuorinK5210",
                               "goes when the computer restarts"}};
    report.scanners.push_back(scanner);
    return report;
}

TEST(ReportJson, IsOneLineOfAsciiThatReadsBackWhole) {
    const RunReport report = TrickyReport();
    const std::string json = FormatJson(report);
    ASSERT_GE(json.size(), 2u);
    EXPECT_EQ(json.substr(json.size() - 2), "\r\n");
    const std::string body = json.substr(0, json.size() - 2);
    for (const char c : body) {
        ASSERT_TRUE(c >= 0x20 && c < 0x7F) << "byte " << static_cast<int>(c);
    }
    EXPECT_NE(body.find("\\u626b\\u63cf\\u4eea"), std::string::npos);
    EXPECT_NE(body.find("\\ud83d\\udce0"), std::string::npos);

    JsonValue value;
    std::string error;
    ASSERT_TRUE(testing::ParseJson(body, &value, &error)) << error;
    EXPECT_EQ(value["schemaVersion"].number, 1);
    EXPECT_EQ(value["toolVersion"].text, "1.0.0");
    EXPECT_EQ(value["computerName"].text, "PC-\"42\"");
    EXPECT_EQ(value["timeUtc"].text, "2026-12-08T23:05:09Z");
    EXPECT_EQ(value["exitCode"].number, 1603);
    EXPECT_EQ(value["restart"].text, "required");
    ASSERT_EQ(value["scanners"].items.size(), 1u);
    const JsonValue& scanner = value["scanners"].items[0];
    EXPECT_EQ(scanner["description"].text, report.scanners[0].description);
    EXPECT_EQ(scanner["devicePath"].text, "USB\\VID_0C6E&PID_5210");
    EXPECT_EQ(scanner["infPath"].text, "=HYPERLINK(\"x\")");
    EXPECT_EQ(scanner["result"].text, "remaining");
    ASSERT_EQ(scanner["remaining"].items.size(), 1u);
    EXPECT_EQ(scanner["remaining"].items[0]["reason"].text, "still present");
    EXPECT_EQ(scanner["plan"].items[0]["kind"].text, "driverFile");
}

TEST(ReportCsv, ReadsBackWithAHeaderAndGuardedFormulas) {
    const RunReport report = TrickyReport();
    std::vector<std::vector<std::string>> rows;
    std::string error;
    ASSERT_TRUE(testing::ParseCsv(FormatCsv(report), &rows, &error)) << error;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], "devicePath");
    EXPECT_EQ(rows[0].size(), rows[1].size());
    EXPECT_EQ(rows[1][0], "USB\\VID_0C6E&PID_5210");
    EXPECT_EQ(rows[1][2], report.scanners[0].description);
    EXPECT_EQ(rows[1][3], "'=HYPERLINK(\"x\")");
    EXPECT_EQ(rows[1][4], "'+1");
    EXPECT_EQ(rows[1][5], "'-2");
    EXPECT_EQ(rows[1][6], "'@3");
    EXPECT_EQ(rows[0][13], "pendingRestart");
    EXPECT_EQ(
        rows[1][13],
        "dataSourceFolder C:\\windows\\twain_32\\QuorinK5210 (goes when the computer restarts)");
    EXPECT_EQ(rows[1][14], "driverFile C:\\windows\\system32\\QuorinK5210.dll (still present)");
}

TEST(ReportText, NamesEveryFieldAndEndsWithTheSummary) {
    const std::string text = FormatText(TrickyReport());
    EXPECT_NE(text.find("scanner USB\\VID_0C6E&PID_5210\r\n"), std::string::npos);
    EXPECT_NE(text.find("  remaining: driverFile C:\\windows\\system32\\QuorinK5210.dll (still "
                        "present)\r\n"),
              std::string::npos);
    const std::string summary =
        "result=1603 removed=0 pendingRestart=0 remaining=1 restart=required "
        "log=C:\\windows\\Logs\\DrvSweep\\DrvSweep.log\r\n";
    ASSERT_GE(text.size(), summary.size());
    EXPECT_EQ(text.substr(text.size() - summary.size()), summary);
    EXPECT_EQ(SummaryLine(TrickyReport()), summary);
}

TEST(UtfText, ConvertsBothWaysAndReplacesWhatIsBroken) {
    EXPECT_EQ(Utf16ToUtf8(u"K5210 \u626b\U0001F4E0"), "K5210 \xE6\x89\xAB\xF0\x9F\x93\xA0");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"
                          "a"),
              u"\uFFFD\uFFFD"
              u"a");
    EXPECT_EQ(JsonString("a\"\\\x01\x7F"), "\"a\\\"\\\\\\u0001\\u007f\"");
    EXPECT_EQ(CsvField("plain"), "\"plain\"");
    EXPECT_EQ(CsvField("a\"b"), "\"a\"\"b\"");
}

TEST(CmTraceLine, HasTheFieldsTheLogReadersExpect) {
    const UtcTime time{2026, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(CmTraceLine("Removing x", LogType::Warning, time, "SYSTEM", 77),
              "<![LOG[Removing x]LOG]!><time=\"05:06:07.008+000\" date=\"03-04-2026\" "
              "component=\"DrvSweep\" context=\"SYSTEM\" type=\"2\" thread=\"77\" file=\"\">\r\n");
    const std::string line = CmTraceLine("a\r\nb]LOG]!>c", LogType::Error, time, "us\"er", 1);
    EXPECT_EQ(line.find("\r\n"), line.size() - 2);
    EXPECT_EQ(line.find("]LOG]!>"), line.find("]LOG]!><time"));
    EXPECT_NE(line.find("context=\"us'er\""), std::string::npos);
}

}  // namespace
}  // namespace drvsweep::cli
