#pragma once

#include "platform/fixed_text.h"
#include "platform/inf_files.h"
#include "platform/text_reads.h"

namespace drvsweep {

// Walks the lines of one INF section in order, as many as the Setup API counts, and calls
// visit(line) with the context of each. Stops at the first visit that returns true and says so.
template <typename Visit>
bool VisitSectionContexts(InfFile& inf, const char* section, Visit visit) {
    const long count = inf.LineCount(section);
    InfLine line;
    if (count < 1 || !inf.FindFirstLine(section, &line)) {
        return false;
    }
    for (long index = 0; index < count; ++index) {
        if (visit(static_cast<const InfLine&>(line))) {
            return true;
        }
        if (index + 1 < count && !inf.FindNextLine(&line)) {
            return false;
        }
    }
    return false;
}

// The same walk calling visit(text) with the text of every line that could be read into 260
// bytes; a line whose text does not fit is passed over.
template <typename Visit>
bool VisitSectionLines(InfFile& inf, const char* section, Visit visit) {
    return VisitSectionContexts(inf, section, [&](const InfLine& line) {
        PathText text;
        return ReadLineText(inf, line, &text) && visit(static_cast<const PathText&>(text));
    });
}

}  // namespace drvsweep
