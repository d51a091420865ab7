#pragma once

#include <vector>

#include "discovery/inf_sections.h"
#include "platform/fixed_text.h"
#include "platform/inf_files.h"
#include "platform/multibyte_text.h"

namespace drvsweep {

// The INF search compares hardware IDs and models lines in upper case, so that case is
// ignored on both sides; only single-byte letters change, never the second byte of a
// double-byte character of the code page.

// The hardware ID in the form the models lines are searched for; false when it does not fit
// 260 bytes.
bool ModelsPattern(const CodePage& codePage, const char* hardwareId, PathText* pattern);

// The models sections one [Manufacturer] line names, read with the Setup API's field calls: the
// first field names the undecorated section, and every further field that is not empty is a
// TargetOS decoration (NTx86, NTamd64.10.0...16299, ...) naming "<first field>.<decoration>".
// Every decoration counts, whatever the architecture: an INF that lists a device for any
// platform is that device's. A line whose first field is empty or cannot be read into 260 bytes
// names nothing; a decorated name that does not fit is left out.
std::vector<PathText> ModelsSectionsOfLine(InfFile& inf, const InfLine& line);

// Calls visit(name) with every models section the [Manufacturer] lines name, in order; a name
// may come more than once. Stops at the first visit that returns true.
template <typename Visit>
bool VisitModelsSections(InfFile& inf, Visit visit) {
    return VisitSectionContexts(inf, "Manufacturer", [&](const InfLine& line) {
        for (const PathText& section : ModelsSectionsOfLine(inf, line)) {
            if (visit(section)) {
                return true;
            }
        }
        return false;
    });
}

// Calls visit(text, line) with the upper-cased text of every line of one models section that
// fits 260 bytes, and the line's context, in order. Stops at the first visit that returns true
// and says so.
template <typename Visit>
bool VisitModelsLines(InfFile& inf, const CodePage& codePage, const char* section, Visit visit) {
    return VisitSectionContexts(inf, section, [&](const InfLine& line) {
        PathText text;
        if (!ReadLineText(inf, line, &text)) {
            return false;
        }
        UpperCaseAscii(codePage, text.data());
        return visit(static_cast<const PathText&>(text), line);
    });
}

}  // namespace drvsweep
