#include "discovery/inf_index.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <unordered_set>

#include "discovery/inf_bytes.h"
#include "discovery/inf_folder.h"
#include "discovery/models_lines.h"
#include "platform/text_reads.h"

namespace drvsweep {

namespace {

// What the maker's hardware IDs hold once upper-cased: its USB vendor ID and its PC Card IDs.
constexpr const char* kMakerTokens[] = {"VID_0C6E", "RDN-CQ-D41E", "QUORIN"};

bool HoldsMakerToken(const char* upperText) {
    return std::any_of(std::begin(kMakerTokens), std::end(kMakerTokens),
                       [&](const char* token) { return std::strstr(upperText, token) != nullptr; });
}

// The largest INF whose bytes are read; a larger one is opened with the Setup API unread.
constexpr std::uint32_t kMaxInfBytes = 16u << 20;

}  // namespace

void InfIndex::ReadFolderOnce() {
    // The family is asked at every question, as the search asks it; a change of family would
    // name another folder, which is then read in turn.
    const Family family = CurrentFamily(platform_.version);
    if (family_ != family) {
        ReadFolder(family);
    }
}

void InfIndex::ReadFolderFor(const PathText& pattern) {
    ReadFolderOnce();
    if (!passedOver_.empty() && !HoldsMakerToken(pattern.c_str())) {
        reading_ = Reading::kEveryInf;
        ReadFolder(*family_);
    }
}

bool InfIndex::MayNameMaker(const PathText& path, const PathText& windowsFolder) {
    std::string bytes;
    // A file that cannot be read is opened, as the pass that opens every INF would.
    if (platform_.files.ReadWholeFile(path.c_str(), kMaxInfBytes, &bytes) != FileRead::Read) {
        return true;
    }
    const InfBytes inf(bytes, windowsFolder.c_str());
    if (std::any_of(std::begin(kMakerTokens), std::end(kMakerTokens),
                    [&](const char* token) { return InfBytesMayName(inf, token); })) {
        return true;
    }
    PathText upperPath = path;
    UpperCaseAscii(platform_.version.AnsiCodePage(), upperPath.data());
    passedOver_.emplace(upperPath.c_str(), path.c_str());
    return false;
}

void InfIndex::ReadFolder(Family family) {
    family_ = family;
    lines_.clear();
    infs_.clear();
    infsByUpperPath_.clear();
    passedOver_.clear();
    makerPackages_.clear();
    makerPackagesByUpperPath_.clear();
    const CodePage codePage = platform_.version.AnsiCodePage();
    PathText windowsFolder;
    InfChoice choose;
    if (reading_ == Reading::kMakersInfs &&
        ReadWindowsFolder(platform_.files, codePage, &windowsFolder)) {
        choose = [&](const PathText& path) { return MayNameMaker(path, windowsFolder); };
    }
    VisitInfFolder(
        platform_, family,
        [&](const PathText& path, InfFile& inf) {
            MakerPackage package;
            package.infPath = path;
            // A section that [Manufacturer] names again, in any case, holds the same lines, which
            // could not give a hit the first reading missed: it is read once, so that an INF that
            // names one long section many times costs its size once.
            std::unordered_set<std::string> sectionsRead;
            VisitModelsSections(inf, [&](PathText section) {
                UpperCaseAscii(codePage, section.data());
                if (!sectionsRead.insert(section.c_str()).second) {
                    return false;
                }
                VisitModelsLines(inf, codePage, section.c_str(),
                                 [&](const PathText& text, const InfLine& line) {
                                     lines_.append(text.c_str(), text.size() + 1);
                                     if (HoldsMakerToken(text.c_str())) {
                                         IndexMakerModels(inf, line, &package);
                                     }
                                     return false;
                                 });
                return false;
            });
            PathText upperPath = path;
            UpperCaseAscii(codePage, upperPath.data());
            infsByUpperPath_.emplace(upperPath.c_str(), infs_.size());
            infs_.push_back(IndexedInf{path.c_str(), lines_.size()});
            if (!package.models.empty()) {
                package.twain = ReadTwainFolderOf(inf, codePage, &package.twainFolder);
                makerPackagesByUpperPath_.emplace(upperPath.c_str(), makerPackages_.size());
                makerPackages_.push_back(package);
            }
            return false;
        },
        choose);
}

// The line's hardware IDs are its fields from the second on (the first names the install
// section), read as the Setup API splits them.
void InfIndex::IndexMakerModels(InfFile& inf, const InfLine& line, MakerPackage* package) const {
    const CodePage codePage = platform_.version.AnsiCodePage();
    PathText description;
    if (!ReadStringField(inf, line, 0, &description)) {
        description.clear();
    }
    const std::uint32_t count = inf.FieldCount(line);
    for (std::uint32_t index = 2; index <= count; ++index) {
        PathText hardwareId;
        if (!ReadStringField(inf, line, index, &hardwareId)) {
            continue;
        }
        PathText upper = hardwareId;
        UpperCaseAscii(codePage, upper.data());
        // Hardware IDs are compared in upper case, as Windows compares them.
        const bool known = std::any_of(package->models.begin(), package->models.end(),
                                       [&](const MakerModel& model) {
                                           PathText upperKnown = model.hardwareId;
                                           UpperCaseAscii(codePage, upperKnown.data());
                                           return upperKnown == upper;
                                       });
        if (!known && HoldsMakerToken(upper.c_str())) {
            package->models.push_back(MakerModel{hardwareId, description});
        }
    }
}

const InfIndex::IndexedInf& InfIndex::InfAt(std::size_t at) const {
    return *std::upper_bound(
        infs_.begin(), infs_.end(), at,
        [](std::size_t offset, const IndexedInf& indexed) { return offset < indexed.linesEnd; });
}

int InfIndex::FindDriverInf(const char* hardwareId, PathText* infPath) {
    PathText pattern;
    if (!ModelsPattern(platform_.version.AnsiCodePage(), hardwareId, &pattern)) {
        return 0;
    }
    ReadFolderFor(pattern);
    if (lines_.empty()) {
        return 0;
    }
    // An empty pattern is found in the first line of all, as strstr finds it.
    std::size_t at = 0;
    if (!pattern.empty()) {
        const char* begin = pattern.c_str();
        const auto hit =
            std::search(lines_.begin(), lines_.end(),
                        std::boyer_moore_horspool_searcher(begin, begin + pattern.size()));
        if (hit == lines_.end()) {
            return 0;
        }
        at = static_cast<std::size_t>(hit - lines_.begin());
    }
    return infPath->assign(InfAt(at).path.c_str()) ? 1 : 0;
}

int InfIndex::FindInfInFolder(const char* name, PathText* infPath) {
    ReadFolderOnce();
    PathText wanted;
    if (!ReadInfFolder(platform_, &wanted) || !wanted.appendAll("\\", name)) {
        return 0;
    }
    UpperCaseAscii(platform_.version.AnsiCodePage(), wanted.data());
    const auto inf = infsByUpperPath_.find(wanted.c_str());
    if (inf != infsByUpperPath_.end()) {
        return infPath->assign(infs_[inf->second].path.c_str()) ? 1 : 0;
    }
    // An INF passed over is one of the folder's files that open as INF files if it opens now.
    const auto passed = passedOver_.find(wanted.c_str());
    if (passed == passedOver_.end() || !platform_.inf.OpenWin4(passed->second.c_str())) {
        return 0;
    }
    return infPath->assign(passed->second.c_str()) ? 1 : 0;
}

std::vector<PathText> InfIndex::FindEveryDriverInf(const char* hardwareId) {
    std::vector<PathText> found;
    PathText pattern;
    if (!ModelsPattern(platform_.version.AnsiCodePage(), hardwareId, &pattern) || pattern.empty()) {
        return found;
    }
    ReadFolderFor(pattern);
    const char* begin = pattern.c_str();
    const std::boyer_moore_horspool_searcher searcher(begin, begin + pattern.size());
    for (auto from = lines_.begin();;) {
        const auto hit = std::search(from, lines_.end(), searcher);
        if (hit == lines_.end()) {
            return found;
        }
        const IndexedInf& inf = InfAt(static_cast<std::size_t>(hit - lines_.begin()));
        PathText path;
        if (path.assign(inf.path.c_str())) {
            found.push_back(path);
        }
        // The next INF's lines begin where this one's end.
        from = lines_.begin() + static_cast<std::ptrdiff_t>(inf.linesEnd);
    }
}

std::vector<MakerPackage> InfIndex::MakerPackages() {
    ReadFolderOnce();
    return makerPackages_;
}

TwainFolderRead InfIndex::ReadTwainFolder(const char* infPath, PathText* folder) {
    ReadFolderOnce();
    PathText upper;
    if (upper.assign(infPath)) {
        UpperCaseAscii(platform_.version.AnsiCodePage(), upper.data());
        const auto found = makerPackagesByUpperPath_.find(upper.c_str());
        if (found != makerPackagesByUpperPath_.end()) {
            const MakerPackage& package = makerPackages_[found->second];
            if (package.twain == TwainFolderRead::kFolder) {
                *folder = package.twainFolder;
            }
            return package.twain;
        }
    }
    return drvsweep::ReadTwainFolder(platform_, infPath, folder);
}

std::vector<MakerPackage> UncachedInfLookup::MakerPackages() {
    return InfIndex(platform_).MakerPackages();
}

}  // namespace drvsweep
