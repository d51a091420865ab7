// How long the start-up scan takes on a machine with many OEM INF files: every matching
// device with a description reads the INF folder afresh, file by file, until its own INF.
#include <benchmark/benchmark.h>

#include <memory>

#include "discovery/scanner_table.h"
#include "tests/support/test_machine.h"

namespace drvsweep {
namespace {

ScannerTable table;

void BM_ScanInstalledScanners(benchmark::State& state) {
    std::unique_ptr<testing::TestMachine> machine = testing::OpenScenarioMachine();
    for (auto _ : state) {
        ScanInstalledScanners(machine->platform(), table);
        benchmark::DoNotOptimize(table.lastIndex);
    }
    if (table.lastIndex != 3 || table.rows[3].infPath.empty()) {
        state.SkipWithError("the benchmark machine should show 4 scanners with INF files");
    }
}
BENCHMARK(BM_ScanInstalledScanners)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace drvsweep

BENCHMARK_MAIN();
