#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "discovery/inf_bytes.h"
#include "discovery/inf_folder.h"
#include "discovery/inf_index.h"
#include "discovery/inf_sections.h"
#include "discovery/models_lines.h"
#include "discovery/scanner_table.h"
#include "platform/text_reads.h"
#include "removal/removal_plan.h"
#include "tests/support/table_dump.h"
#include "tests/support/test_machine.h"

// The scan that opens only the INF files whose bytes may name the maker against the pass that
// opens every INF, over the simulated Windows and over the real Setup API under Wine alike.
namespace drvsweep {
namespace {

using testing::CurrentScenario;
using testing::DumpScannerTable;
using testing::FixturePath;
using testing::OpenScenarioMachine;
using testing::ReadTextFile;

std::string DumpPlan(const ScannerRecord& scanner, const RemovalPlan& plan) {
    std::string dump = std::string("scanner ") + scanner.devicePath.c_str() + "\n";
    for (const PlanItem& item : plan.items) {
        dump += std::string("  ") + PlanItemKindName(item.kind) + " " + item.path.c_str() + " " +
                item.package.infName.c_str() + " " + item.package.pnfPath.c_str() + " " +
                item.dataSourceFile.c_str() + "\n";
    }
    for (const KeptPackage& package : plan.kept) {
        dump +=
            std::string("  kept ") + package.infPath.c_str() + " " + package.usedBy.c_str() + "\n";
    }
    return dump;
}

// The table of one scan over an index of the given reading, and the plan of every row over the
// same index, as the command line plans its removals.
std::string ScanAndPlans(Platform& platform, InfIndex::Reading reading) {
    static ScannerTable table;
    InfIndex index(platform, reading);
    ScanInstalledScanners(platform, table, index);
    std::string dump = DumpScannerTable(table);
    RemovalPlanner planner(platform, index);
    for (std::int32_t row = 0; row <= table.lastIndex; ++row) {
        dump += DumpPlan(table.rows[row], planner.Plan(table.rows[row]));
    }
    return dump;
}

TEST(FilteredScanContract, TheMakersInfsGiveTheRowsAndPlansOfEveryInf) {
    std::unique_ptr<testing::TestMachine> machine = OpenScenarioMachine();
    Platform& platform = machine->platform();
    const std::string everyInf = ScanAndPlans(platform, InfIndex::Reading::kEveryInf);
    EXPECT_EQ(ScanAndPlans(platform, InfIndex::Reading::kMakersInfs), everyInf);
}

bool IsTokenCharacter(char c) {
    return c > ' ' && c < 0x7F && std::string("\"%,;=[]").find(c) == std::string::npos;
}

// The runs of token characters in a text the Setup API gave.
void AddWords(const char* text, std::vector<std::string>* words) {
    std::string word;
    for (const char* c = text;; ++c) {
        if (*c != '\0' && IsTokenCharacter(*c)) {
            word.push_back(*c);
            continue;
        }
        if (!word.empty()) {
            words->push_back(word.substr(0, 63));
        }
        word.clear();
        if (*c == '\0') {
            return;
        }
    }
}

// Every word of the line texts and fields of the sections the scan reads, and of a few others.
std::vector<std::string> WordsTheSetupApiReads(InfFile& inf) {
    std::vector<PathText> sections;
    for (const char* name : {"Version", "Manufacturer", "Strings", "DestinationDirs"}) {
        sections.emplace_back();
        sections.back().assign(name);
    }
    VisitModelsSections(inf, [&](const PathText& section) {
        sections.push_back(section);
        return false;
    });
    std::vector<std::string> words;
    for (const PathText& section : sections) {
        VisitSectionContexts(inf, section.c_str(), [&](const InfLine& line) {
            PathText text;
            if (ReadLineText(inf, line, &text)) {
                AddWords(text.c_str(), &words);
            }
            for (std::uint32_t field = 0; field <= inf.FieldCount(line); ++field) {
                if (ReadStringField(inf, line, field, &text)) {
                    AddWords(text.c_str(), &words);
                }
            }
            return false;
        });
    }
    return words;
}

// Every file of the scenario's INF folder is read whole, byte for byte as the fixture holds
// it, and every word the Setup API reads from it is one its bytes may name.
TEST(FilteredScanContract, EveryWordTheSetupApiReadsIsOneTheBytesMayName) {
    std::unique_ptr<testing::TestMachine> machine = OpenScenarioMachine();
    Platform& platform = machine->platform();
    const CodePage codePage = platform.version.AnsiCodePage();
    PathText windows;
    PathText folder;
    PathText pattern;
    ASSERT_TRUE(ReadWindowsFolder(platform.files, codePage, &windows));
    ASSERT_TRUE(ReadInfFolder(platform, &folder));
    ASSERT_TRUE(pattern.appendAll(folder, "\\*.inf"));
    const std::string hostFolder =
        CurrentScenario() +
        (CurrentFamily(platform.version) == Family::Nt ? "/windir/inf/" : "/windir/inf/other/");
    FoundFile entry;
    std::unique_ptr<FileSearch> search = platform.files.FindFirst(pattern.c_str(), &entry);
    ASSERT_TRUE(search);
    do {
        PathText path;
        ASSERT_TRUE(path.appendAll(folder, "\\", entry.name));
        SCOPED_TRACE(path.c_str());
        std::string bytes;
        ASSERT_EQ(platform.files.ReadWholeFile(path.c_str(), 1 << 20, &bytes), FileRead::Read);
        // Under Wine the folder also holds Wine's own INF files, which no fixture has.
        const std::string fixture = FixturePath(hostFolder + entry.name.c_str());
        if (std::ifstream(fixture, std::ios::binary).good()) {
            EXPECT_EQ(bytes, ReadTextFile(fixture));
        }
        std::unique_ptr<InfFile> inf = platform.inf.OpenWin4(path.c_str());
        if (!inf) {
            continue;
        }
        const InfBytes infBytes(bytes, windows.c_str());
        for (const std::string& word : WordsTheSetupApiReads(*inf)) {
            EXPECT_TRUE(InfBytesMayName(infBytes, word.c_str())) << word;
        }
    } while (search->Next(&entry));
}

}  // namespace
}  // namespace drvsweep
