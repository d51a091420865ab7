#pragma once

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

// Calls visit(name) with the text of every [Manufacturer] line, the name of a models
// section; a name may come more than once. Stops at the first visit that returns true.
template <typename Visit>
bool VisitModelsSections(InfFile& inf, Visit visit) {
    return VisitSectionLines(inf, "Manufacturer", visit);
}

// Calls visit(line) with the upper-cased text of every line of one models section that fits
// 260 bytes, in order. Stops at the first visit that returns true and says so.
template <typename Visit>
bool VisitModelsLines(InfFile& inf, const CodePage& codePage, const char* section, Visit visit) {
    return VisitSectionLines(inf, section, [&](PathText line) {
        UpperCaseAscii(codePage, line.data());
        return visit(static_cast<const PathText&>(line));
    });
}

}  // namespace drvsweep
