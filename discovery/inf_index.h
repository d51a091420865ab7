#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "discovery/driver_inf.h"
#include "discovery/maker_package.h"

namespace drvsweep {

// The driver INF lookup of one scan. The first question reads the INF folder once, as the
// search would read it to its end: the upper-cased models lines of every INF, in listing order,
// section by section (every decorated section too), line by line, and, per INF, the maker's
// hardware IDs its lines list. Every later question is answered from what was read, with the
// result the search gives on the same folder. Nothing is read before the first question; what
// was read is dropped with the index, so a new scan reads the folder again.
//
// Nearly every INF of a machine belongs to another maker, and opening it with the Setup API
// only to learn that is most of the pass's cost: by default the pass reads each INF's bytes
// once and opens only those that may name the maker (InfBytesMayName with "VID_0C6E",
// "RDN-CQ-D41E" or "QUORIN"), or that cannot be read. The answers are those of the pass that
// opens every INF: a hardware ID that holds none of the maker's tokens is looked for by a pass
// that opens every INF, and an INF passed over is opened when a question names it.
class InfIndex : public DriverInfLookup {
public:
    enum class Reading {
        kMakersInfs,  // opens the INF files whose bytes may name the maker
        kEveryInf,    // opens every INF file of the folder
    };

    explicit InfIndex(Platform& platform, Reading reading = Reading::kMakersInfs)
        : platform_(platform), reading_(reading) {}
    InfIndex(const InfIndex&) = delete;
    InfIndex& operator=(const InfIndex&) = delete;

    int FindDriverInf(const char* hardwareId, PathText* infPath) override;
    int FindInfInFolder(const char* name, PathText* infPath) override;

    // Every INF whose models lines hold hardwareId (case ignored, containment), in listing
    // order, each once: all the driver packages of one scanner, an updated driver's older
    // versions included.
    std::vector<PathText> FindEveryDriverInf(const char* hardwareId);

    std::vector<MakerPackage> MakerPackages() override;
    // A maker's package's TWAIN line as the pass read it; any other INF is opened and read.
    TwainFolderRead ReadTwainFolder(const char* infPath, PathText* folder) override;

private:
    // An INF that opened; its models lines end at `linesEnd` in lines_.
    struct IndexedInf {
        std::string path;
        std::size_t linesEnd;
    };

    // Reads the current family's folder unless it was read already.
    void ReadFolderOnce();
    // The same for a question about the upper-cased hardware ID `pattern`: where it holds none
    // of the maker's tokens and INF files were passed over, the folder is read again, every INF
    // opened.
    void ReadFolderFor(const PathText& pattern);
    void ReadFolder(Family family);
    // Whether the pass opens the INF at `path`; records an INF it passes over.
    bool MayNameMaker(const PathText& path, const PathText& windowsFolder);
    void IndexMakerModels(InfFile& inf, const InfLine& line, MakerPackage* package) const;
    // The INF in which lines_ holds offset `at`.
    const IndexedInf& InfAt(std::size_t at) const;

    Platform& platform_;
    Reading reading_;
    // The family whose INF folder was read; none before the first question.
    std::optional<Family> family_;
    // Every models line, each ended by a NUL: a hardware ID, which holds no NUL, can only
    // be found within one line, and the first place it is found is the search's first hit.
    std::string lines_;
    std::vector<IndexedInf> infs_;
    // Every INF that opened, by its upper-cased path: its place in infs_.
    std::unordered_map<std::string, std::size_t> infsByUpperPath_;
    // Every INF passed over unopened, by its upper-cased path: its path as listed.
    std::unordered_map<std::string, std::string> passedOver_;
    std::vector<MakerPackage> makerPackages_;
    // The maker's packages by their upper-cased paths: their places in makerPackages_.
    std::unordered_map<std::string, std::size_t> makerPackagesByUpperPath_;
};

}  // namespace drvsweep
