#include "discovery/models_lines.h"

namespace drvsweep {

bool ModelsPattern(const CodePage& codePage, const char* hardwareId, PathText* pattern) {
    if (!pattern->assign(hardwareId)) {
        return false;
    }
    UpperCaseAscii(codePage, pattern->data());
    return true;
}

std::vector<PathText> ModelsSectionsOfLine(InfFile& inf, const InfLine& line) {
    std::vector<PathText> sections;
    const std::uint32_t count = inf.FieldCount(line);
    PathText models;
    if (count < 1 || !ReadStringField(inf, line, 1, &models) || models.empty()) {
        return sections;
    }
    sections.push_back(models);
    for (std::uint32_t index = 2; index <= count; ++index) {
        PathText decoration;
        PathText decorated;
        if (ReadStringField(inf, line, index, &decoration) && !decoration.empty() &&
            decorated.appendAll(models, ".", decoration)) {
            sections.push_back(decorated);
        }
    }
    return sections;
}

}  // namespace drvsweep
