#pragma once

#include <vector>

#include "platform/sim/sim_inf_encoding.h"

namespace drvsweep::sim {

// One line of a section: its key (left of "=") when it has one, and its value fields. A
// line with one field and no "=" has that field as its key too, as the Setup API keeps it.
struct InfLineData {
    bool hasKey = false;
    WideText key;
    std::vector<WideText> fields;
};

struct InfSectionData {
    WideText name;
    std::vector<InfLineData> lines;
};

// An INF file as the Setup API holds it after parsing: sections with the same name (in any
// case) merged in file order, quotes and comments gone, strings not yet substituted.
struct ParsedInf {
    std::vector<InfSectionData> sections;

    // The index of the section named `name` (case-insensitive), or -1.
    int FindSection(const WideText& name) const;

    // The first line of the section whose key is `key` (case-insensitive), or null.
    const InfLineData* FindKeyLine(int section, const WideText& key) const;
};

// Parses the characters of an INF file. False where the Setup API refuses the file: a line
// before the first section, a section name without "]" or longer than 255 characters.
bool ParseInf(const WideText& text, ParsedInf* inf);

// Whether [Version] has a Signature of $Chicago$, $Windows NT$ or $Windows 95$ (any case),
// which SetupOpenInfFileA requires of a Windows 4 style INF.
bool HasWin4Signature(const ParsedInf& inf);

}  // namespace drvsweep::sim
