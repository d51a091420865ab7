#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "discovery/driver_inf.h"

namespace drvsweep {

// The driver INF lookup of one scan. The first lookup reads the INF folder once, as the
// search would read it to its end: the upper-cased models lines of every INF, in listing
// order, section by section, line by line. Every later lookup answers from those lines, with
// the result the search gives on the same folder. Nothing is read before the first lookup;
// what was read is dropped with the index, so a new scan reads the folder again.
class InfIndex : public DriverInfLookup {
public:
    explicit InfIndex(Platform& platform) : platform_(platform) {}
    InfIndex(const InfIndex&) = delete;
    InfIndex& operator=(const InfIndex&) = delete;

    int FindDriverInf(const char* hardwareId, PathText* infPath) override;

private:
    // An INF with at least one models line; its lines end at `linesEnd` in lines_.
    struct IndexedInf {
        std::string path;
        std::size_t linesEnd;
    };

    void ReadInfFolder(Family family);

    Platform& platform_;
    // The family whose INF folder was read; none before the first lookup.
    std::optional<Family> family_;
    // Every models line, each ended by a NUL: a hardware ID, which holds no NUL, can only
    // be found within one line, and the first place it is found is the search's first hit.
    std::string lines_;
    std::vector<IndexedInf> infs_;
};

}  // namespace drvsweep
