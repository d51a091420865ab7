#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "fuzz/fuzz_machine.h"

namespace drvsweep::fuzz {

// Everything on a simulated machine that an operation of DrvSweep could change. Registry paths
// are keyed lower-cased and file paths upper-cased, as each compares names; the value kept is
// the path as stored, for the account of a breach.
struct MachineSnapshot {
    struct FileEntry {
        std::string path;
        bool folder = false;
        std::uint32_t attributes = 0;
        std::size_t size = 0;
    };

    std::map<std::string, std::string> keys;
    // Key (lower-cased) + "\n" + value name (lower-cased): the key's path, the name, the bytes.
    std::map<std::string, std::string> values;
    std::map<std::string, FileEntry> files;
    std::vector<std::string> devices;
    // What Windows deletes at the restart, each as written there, upper-cased: the NT family's
    // long paths, the 9x family's short paths. The bookkeeping behind it (the NT family's
    // PendingFileRenameOperations and the keys above it, the 9x family's WININIT files) is
    // left out of the keys, values and files.
    std::vector<std::string> scheduled;
    // On the 9x family, the long path (upper-cased) of every entry by its short path: a line
    // names an entry that a later step may delete, so it is mapped back in the snapshot in
    // which the entry was still there.
    std::map<std::string, std::string> longPathsByShort;
};

MachineSnapshot TakeSnapshot(FuzzMachine& machine);

// What changed between two snapshots, each entry by its path as stored.
struct MachineChanges {
    std::vector<std::string> deletedKeys;
    std::vector<std::string> createdKeys;
    // Values created, deleted or rewritten in keys that are still there.
    std::vector<std::string> changedValues;
    std::vector<std::string> deletedFiles;
    std::vector<std::string> createdFiles;
    // Attributes or size changed on an entry that is still there.
    std::vector<std::string> changedFiles;
    std::vector<std::string> removedDevices;
    std::vector<std::string> addedDevices;
    // Entries scheduled for deletion at the restart since the first snapshot, by their long
    // paths where either snapshot can map a short one back, otherwise as written.
    std::vector<std::string> scheduled;

    bool empty() const;
};

MachineChanges CompareSnapshots(const MachineSnapshot& before, const MachineSnapshot& after);

std::string LowerAscii(std::string text);
std::string UpperAscii(std::string text);

}  // namespace drvsweep::fuzz
