// How long the start-up scan takes on a machine with many OEM INF files, beside two floors: one
// pass that opens each INF of the folder once and reads every line of its [Manufacturer] and
// models sections (decorated ones too) with the same Setup API calls, the floor of a scan that
// opens every INF; and one read of every INF's bytes, the floor of a scan that opens only the
// INF files whose bytes may name the maker. The scan that opens every INF, as it was before, is
// measured too.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iomanip>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "discovery/inf_folder.h"
#include "discovery/inf_index.h"
#include "discovery/inf_sections.h"
#include "discovery/models_lines.h"
#include "discovery/scanner_table.h"
#include "removal/removal_plan.h"
#include "tests/support/test_machine.h"

namespace drvsweep {
namespace {

ScannerTable table;

// Each models section that the [Manufacturer] lines name, decorated ones included, is read once.
long ReadModelsLinesOnce(Platform& platform) {
    long lines = 0;
    VisitInfFolder(platform, CurrentFamily(platform.version), [&](const PathText&, InfFile& inf) {
        std::set<std::string> sectionsRead;
        VisitModelsSections(inf, [&](const PathText& section) {
            if (!sectionsRead.insert(section.c_str()).second) {
                return false;
            }
            VisitSectionLines(inf, section.c_str(), [&](const PathText&) {
                ++lines;
                return false;
            });
            return false;
        });
        return false;
    });
    return lines;
}

// Every INF's bytes read once, as the scan reads them, and none opened with the Setup API.
std::size_t ReadEveryInfsBytes(Platform& platform) {
    std::size_t bytesRead = 0;
    VisitInfFolder(
        platform, CurrentFamily(platform.version), [](const PathText&, InfFile&) { return false; },
        [&](const PathText& path) {
            std::string bytes;
            platform.files.ReadWholeFile(path.c_str(), 16u << 20, &bytes);
            bytesRead += bytes.size();
            return false;
        });
    return bytesRead;
}

// The scanner count the machine was made with (DRVSWEEP_BENCH_SCANNERS); every one of them
// must be found with its INF, or the figures would measure some other work.
int ExpectedScanners() {
    const char* count = std::getenv("DRVSWEEP_BENCH_SCANNERS");
    return count ? std::atoi(count) : 4;
}

void CheckTable(benchmark::State& state) {
    const int expected = ExpectedScanners();
    bool complete = table.lastIndex + 1 == expected;
    for (int row = 0; complete && row < expected; ++row) {
        complete = !table.rows[row].infPath.empty();
    }
    if (!complete) {
        state.SkipWithError("the benchmark machine should show its scanners with INF files");
    }
}

void BM_Floor(benchmark::State& state) {
    std::unique_ptr<testing::TestMachine> machine = testing::OpenScenarioMachine();
    long lines = 0;
    for (auto _ : state) {
        lines = ReadModelsLinesOnce(machine->platform());
        benchmark::DoNotOptimize(lines);
    }
    state.counters["lines"] = static_cast<double>(lines);
}

void BM_Scan(benchmark::State& state) {
    std::unique_ptr<testing::TestMachine> machine = testing::OpenScenarioMachine();
    for (auto _ : state) {
        ScanInstalledScanners(machine->platform(), table);
        benchmark::DoNotOptimize(table.lastIndex);
    }
    CheckTable(state);
}

void BM_ReadInfBytes(benchmark::State& state) {
    std::unique_ptr<testing::TestMachine> machine = testing::OpenScenarioMachine();
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = ReadEveryInfsBytes(machine->platform());
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_ScanOpeningEveryInf(benchmark::State& state) {
    std::unique_ptr<testing::TestMachine> machine = testing::OpenScenarioMachine();
    for (auto _ : state) {
        InfIndex index(machine->platform(), InfIndex::Reading::kEveryInf);
        ScanInstalledScanners(machine->platform(), table, index);
        benchmark::DoNotOptimize(table.lastIndex);
    }
    CheckTable(state);
}

// The scan and the removal plan of every scanner it found, as a /remove all run makes them:
// one index, one planner. The plan's cost is this less the scan's.
void BM_ScanAndPlanEveryScanner(benchmark::State& state) {
    std::unique_ptr<testing::TestMachine> machine = testing::OpenScenarioMachine();
    std::size_t items = 0;
    for (auto _ : state) {
        InfIndex index(machine->platform());
        ScanInstalledScanners(machine->platform(), table, index);
        RemovalPlanner planner(machine->platform(), index);
        items = 0;
        for (std::int32_t row = 0; row <= table.lastIndex; ++row) {
            items += planner.Plan(table.rows[row]).items.size();
        }
        benchmark::DoNotOptimize(items);
    }
    CheckTable(state);
    state.counters["items"] = static_cast<double>(items);
}

constexpr int kRepetitions = 9;
BENCHMARK(BM_Floor)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);
BENCHMARK(BM_Scan)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);
BENCHMARK(BM_ReadInfBytes)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);
BENCHMARK(BM_ScanOpeningEveryInf)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);
BENCHMARK(BM_ScanAndPlanEveryScanner)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);

// The console report, followed by the ratio of each scan's median to each floor's median.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians_[run.run_name.function_name] = {run.GetAdjustedRealTime(),
                                                        run.GetAdjustedCPUTime()};
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const char* scan :
             {"BM_Scan", "BM_ScanOpeningEveryInf", "BM_ScanAndPlanEveryScanner"}) {
            for (const char* floor : {"BM_Floor", "BM_ReadInfBytes"}) {
                const auto scanTimes = medians_.find(scan);
                const auto floorTimes = medians_.find(floor);
                if (scanTimes == medians_.end() || floorTimes == medians_.end()) {
                    continue;
                }
                // Through the report's own stream, so that the line is not cut into its table.
                GetOutputStream() << std::fixed << std::setprecision(2) << "ratio " << scan << " / "
                                  << floor << " at " << ExpectedScanners() << " scanners: wall "
                                  << scanTimes->second.wall / floorTimes->second.wall << ", CPU "
                                  << scanTimes->second.cpu / floorTimes->second.cpu << "\n";
            }
        }
    }

private:
    struct Times {
        double wall;
        double cpu;
    };
    std::map<std::string, Times> medians_;
};

}  // namespace
}  // namespace drvsweep

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    drvsweep::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
