#include "discovery/inf_index.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

#include "discovery/inf_folder.h"
#include "discovery/models_lines.h"

namespace drvsweep {

void InfIndex::ReadInfFolder(Family family) {
    family_ = family;
    lines_.clear();
    infs_.clear();
    const CodePage codePage = platform_.version.AnsiCodePage();
    VisitInfFolder(platform_, family, [&](const PathText& path, InfFile& inf) {
        const std::size_t linesBefore = lines_.size();
        // A section that [Manufacturer] names again holds the same lines, which could not
        // give a hit the first reading missed: it is read once, so that an INF that names
        // one long section many times costs its size once.
        std::unordered_set<std::string> sectionsRead;
        VisitModelsSections(inf, [&](const PathText& section) {
            if (!sectionsRead.insert(section.c_str()).second) {
                return false;
            }
            VisitModelsLines(inf, codePage, section.c_str(), [&](const PathText& line) {
                lines_.append(line.c_str(), line.size() + 1);
                return false;
            });
            return false;
        });
        if (lines_.size() > linesBefore) {
            infs_.push_back(IndexedInf{path.c_str(), lines_.size()});
        }
        return false;
    });
}

int InfIndex::FindDriverInf(const char* hardwareId, PathText* infPath) {
    PathText pattern;
    if (!ModelsPattern(platform_.version.AnsiCodePage(), hardwareId, &pattern)) {
        return 0;
    }
    // The family is asked at every lookup, as the search asks it; a change of family would
    // name another folder, which is then read in turn.
    const Family family = CurrentFamily(platform_.version);
    if (family_ != family) {
        ReadInfFolder(family);
    }
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
    const auto inf = std::upper_bound(
        infs_.begin(), infs_.end(), at,
        [](std::size_t offset, const IndexedInf& indexed) { return offset < indexed.linesEnd; });
    return infPath->assign(inf->path.c_str()) ? 1 : 0;
}

}  // namespace drvsweep
