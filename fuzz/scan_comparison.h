#pragma once

#include "fuzz/fuzz_machine.h"

namespace drvsweep::fuzz {

// Before any driver acts: the scan that opens only the INF files whose bytes may name the maker
// gives the rows, and every row the plan, that the pass opening every INF gives. Both run with
// the faults set aside, which are then put back as they were (counts included): a fault that
// strikes the n-th call of one pass would strike another call of the other. Reports a breach
// otherwise.
void CheckFilteredScan(FuzzMachine& machine);

}  // namespace drvsweep::fuzz
