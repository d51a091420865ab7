#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/fixed_text.h"
#include "platform/platform.h"

namespace drvsweep {

// Tells whether a file a scanner package installed belongs to others as well, so that the removal
// must keep it. Asked once per file; the INF folders are read once, at the first question.
class FileKeeper {
public:
    explicit FileKeeper(Platform& platform) : platform_(platform) {}

    // Why the file at `path` stays, or empty when it may go. It stays when: an INF of the INF
    // folders (%windir%\inf, and inf\other on the 9x family) other than `removedInfs` names it,
    // Windows' own (layout.inf) included, or an INF there cannot be read; Windows protects it;
    // SharedDLLs counts it (either registry view); or its version resource names Microsoft as
    // its company (Windows' own file, wherever a package put a copy).
    std::string WhyKept(const char* path, const std::vector<PathText>& removedInfs);

private:
    void ReadInfFoldersOnce();
    void ReadInfFolder(const PathText& folder);
    std::string ListedBy(const char* name, const std::vector<PathText>& removedInfs);
    bool IsCountedShared(const char* path);

    Platform& platform_;
    bool read_ = false;
    std::vector<PathText> infs_;
    // Each INF's text: ASCII letters folded to lower case, UTF-16 read as such, every character
    // beyond ASCII one 0x7F.
    std::vector<std::string> texts_;
    // Every name an INF's text holds (split at blanks, separators and INF punctuation): the INFs
    // that hold it.
    std::unordered_map<std::string, std::vector<std::size_t>> names_;
    std::string unreadable_;
};

// The text FileKeeper searches: ANSI bytes in `codePage`, or UTF-16LE (with a BOM, or a first
// character whose high byte is zero); ASCII letters lower-cased; each character beyond ASCII
// one 0x7F, so that a name compares equal only where its ASCII characters do.
std::string FoldedInfText(const CodePage& codePage, const std::string& bytes);

}  // namespace drvsweep
