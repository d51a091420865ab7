#pragma once

#include <set>
#include <string>
#include <vector>

#include "discovery/scanner_table.h"
#include "fuzz/fuzz_machine.h"
#include "fuzz/machine_snapshot.h"
#include "removal/removal_outcome.h"

namespace drvsweep::fuzz {

// What the removal of one scanner may delete, worked out from the machine before the removal
// runs and from the scanner's row, each item checked against the machine on its own terms
// rather than taken from the row on trust:
// - the Setup API devices whose hardware-ID list holds devicePath as one whole string, their
//   instance keys and the keys above them below Enum (the Setup API deletes emptied parents);
// - on the 9x family the device key Enum\<devicePath> and the driver class key that its first
//   instance names, when that names a key below a class branch (never the class root or a
//   whole branch);
// - when the row names its INF: the INF (a file of the INF folder that lists the device) and
//   its .pnf; the DLL (the TWAIN folder's name + ".dll", or Orbdrv.dll for a PC Card) in
//   system32, system32\drivers, system and SysWOW64; a PC Card's kernel driver files; and the
//   TWAIN folder below twain_32 and twain_64 with what lies inside, when the folder's name is a
//   plain relative name that the INF names whole;
// - on the NT family, when the row names its INF, the same for every other OEM*.INF of the INF
//   folder whose text holds devicePath, with every data source folder of the machine that such
//   an INF names whole (and Orbdrv for a PC Card): the scanner's other packages.
struct ScannerItems {
    std::set<std::string> devices;
    // Lower-cased key paths: the key and everything below it.
    std::vector<std::string> keyTrees;
    // Lower-cased keys that may go once the Setup API has emptied them.
    std::set<std::string> emptiedKeys;
    // Upper-cased file paths.
    std::set<std::string> files;
    // Upper-cased folder paths: the folder and everything below it.
    std::vector<std::string> fileTrees;
    // Upper-cased folder paths where files and folders may also be made and changed: the
    // folder of backups, within which alone a backup writes.
    std::vector<std::string> writableTrees;
};

ScannerItems ItemsOf(FuzzMachine& machine, const ScannerRecord& row);

// Adds what `items` allows to `all`.
void Merge(const ScannerItems& items, ScannerItems* all);

// What the maker's driver packages may take: every INF of the family's INF folder that holds a
// token of the maker, its .pnf, and the data source folders and DLLs it names whole (for a PC
// Card ID, the fixed Orbdrv files). A scan under faults that misses a device lists its package
// as a driver without a device, which the command line may then remove: the maker's own all
// the same.
ScannerItems MakerPackageItems(FuzzMachine& machine);

// A readable account of every change that `allowed` does not cover (null: nothing is allowed),
// empty when there is none. A change of attributes counts as allowed on items that may be
// deleted: the one-file step resets them before it deletes.
std::string AccountOfBreaches(const MachineChanges& changes, const ScannerItems* allowed);

// A readable account of where the built-in removal's outcome disagrees with the machine, empty
// when it does not: every item of its plan must lie within `allowed` (a device instance must
// be the row's own devicePath), and, unless a fault struck while it ran, an item it calls
// deleted must be gone as the oracle looks for it. Calling an item still there that is gone
// is allowed: a key that cannot be opened, say one whose path is too long, is not known to be
// gone.
std::string AccountOfOutcome(FuzzMachine& machine, const RemovalOutcome& outcome,
                             const ScannerItems& allowed, const ScannerRecord& row,
                             bool faultStruck);

// Prints what went wrong, with the row when there is one, and aborts: the fuzzer keeps the
// input, the corpus replay fails.
[[noreturn]] void ReportBreach(const std::string& step, const std::string& account,
                               const ScannerRecord* row);

// The plain relative folder name test of the oracle, written apart from the product's.
bool IsPlainRelativeName(const std::string& name);

}  // namespace drvsweep::fuzz
