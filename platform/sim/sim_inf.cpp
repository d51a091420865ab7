#include "platform/sim/sim_inf.h"

#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/sim/sim_inf_encoding.h"
#include "platform/sim/sim_inf_parser.h"
#include "platform/sim/sim_inf_strings.h"

namespace drvsweep::sim {
namespace {

// What every opened file shares with the reader that opened it, so that a file may outlive
// the reader.
struct InfReaderShared {
    InfReaderShared(FileReader reader, SimFaults& faults, const SimVersion& version)
        : reader(std::move(reader)), faults(faults), version(version) {}

    std::uint32_t codePage() const { return version.codePage().id(); }

    FileReader reader;
    SimFaults& faults;
    const SimVersion& version;
    int openCount = 0;
};

class SimInfFile : public InfFile {
public:
    SimInfFile(std::shared_ptr<InfReaderShared> shared, std::string path, ParsedInf inf,
               WideText folder)
        : shared_(std::move(shared)),
          path_(std::move(path)),
          inf_(std::move(inf)),
          folder_(std::move(folder)) {
        ++shared_->openCount;
    }
    ~SimInfFile() override { --shared_->openCount; }
    SimInfFile(const SimInfFile&) = delete;
    SimInfFile& operator=(const SimInfFile&) = delete;

    long LineCount(const char* section) override {
        if (Fails("SetupGetLineCountA", path_ + ":" + section)) {
            return -1;
        }
        const int index = inf_.FindSection(DecodeAnsi(shared_->codePage(), section));
        return index < 0 ? -1 : static_cast<long>(inf_.sections[index].lines.size());
    }

    bool FindFirstLine(const char* section, InfLine* line) override {
        if (Fails("SetupFindFirstLineA", path_ + ":" + section)) {
            return false;
        }
        const int index = inf_.FindSection(DecodeAnsi(shared_->codePage(), section));
        if (index < 0 || inf_.sections[index].lines.empty()) {
            return false;
        }
        *line = InfLine{this, this, static_cast<std::uint32_t>(index), 0};
        return true;
    }

    bool FindNextLine(InfLine* line) override {
        if (Fails("SetupFindNextLine", path_)) {
            return false;
        }
        const std::vector<InfLineData>* lines = Lines(*line);
        if (lines == nullptr || line->line + 1 >= lines->size()) {
            return false;
        }
        ++line->line;
        return true;
    }

    // The fields joined by commas, whole or not at all.
    bool LineText(const InfLine& line, char* text, std::uint32_t size) override {
        if (Fails("SetupGetLineTextA", path_)) {
            return false;
        }
        const std::vector<InfLineData>* lines = Lines(line);
        if (lines == nullptr || line.line >= lines->size()) {
            return false;
        }
        const std::vector<WideText>& fields = (*lines)[line.line].fields;
        std::string joined;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) {
                joined.push_back(',');
            }
            joined += Substituted(fields[i]);
        }
        return CopyOut(joined, text, size);
    }

    std::uint32_t FieldCount(const InfLine& line) override {
        if (Fails("SetupGetFieldCount", path_)) {
            return 0;
        }
        const std::vector<InfLineData>* lines = Lines(line);
        if (lines == nullptr || line.line >= lines->size()) {
            return 0;
        }
        return static_cast<std::uint32_t>((*lines)[line.line].fields.size());
    }

    // Field 0 is the key, which a line of several fields and no "=" lacks.
    bool StringField(const InfLine& line, std::uint32_t index, char* text,
                     std::uint32_t size) override {
        if (Fails("SetupGetStringFieldA", path_)) {
            return false;
        }
        const std::vector<InfLineData>* lines = Lines(line);
        if (lines == nullptr || line.line >= lines->size()) {
            return false;
        }
        const InfLineData& data = (*lines)[line.line];
        if (index == 0) {
            return data.hasKey && CopyOut(Substituted(data.key), text, size);
        }
        return index <= data.fields.size() &&
               CopyOut(Substituted(data.fields[index - 1]), text, size);
    }

private:
    std::string Substituted(const WideText& field) const {
        return EncodeAnsi(shared_->codePage(), SubstituteInfStrings(inf_, field, folder_));
    }

    // The whole text or nothing: it must fit with its NUL.
    static bool CopyOut(const std::string& whole, char* text, std::uint32_t size) {
        if (whole.size() + 1 > size) {
            return false;
        }
        std::memcpy(text, whole.c_str(), whole.size() + 1);
        return true;
    }

    bool Fails(const char* call, const std::string& argument) {
        long errorCode = 0;
        return shared_->faults.ShouldFail(call, argument, &errorCode);
    }

    // The lines of the section a context names, or null when the context is not one of
    // this file's.
    const std::vector<InfLineData>* Lines(const InfLine& line) const {
        if (line.currentInf != this || line.section >= inf_.sections.size()) {
            return nullptr;
        }
        return &inf_.sections[line.section].lines;
    }

    std::shared_ptr<InfReaderShared> shared_;
    std::string path_;
    ParsedInf inf_;
    WideText folder_;
};

// The files SetupOpenInfFileA tries: a bare file name is looked for in %windir%\inf, then
// in %windir%\system32 (never in the working directory); any other path is used as given.
std::vector<std::string> CandidatePaths(const std::string& path) {
    if (path.find_first_of("\\/") != std::string::npos) {
        return {path};
    }
    return {"C:\\windows\\inf\\" + path, "C:\\windows\\system32\\" + path};
}

// The folder that directory id 1 names: the file's folder with its trailing backslash. A
// relative path keeps its relative folder here, where Windows would make it absolute.
WideText FolderOf(std::uint32_t codePage, const std::string& path) {
    const WideText wide = DecodeAnsi(codePage, path);
    const std::size_t slash = wide.find_last_of(u"\\/");
    return slash == WideText::npos ? WideText() : wide.substr(0, slash + 1);
}

}  // namespace

struct SimInfFiles::State : InfReaderShared {
    using InfReaderShared::InfReaderShared;
};

SimInfFiles::SimInfFiles(FileReader reader, SimFaults& faults, const SimVersion& version)
    : state_(std::make_shared<State>(std::move(reader), faults, version)) {}

SimInfFiles::~SimInfFiles() = default;

std::unique_ptr<InfFile> SimInfFiles::OpenWin4(const char* path) {
    long errorCode = 0;
    if (state_->faults.ShouldFail("SetupOpenInfFileA", path, &errorCode)) {
        return nullptr;
    }
    for (const std::string& candidate : CandidatePaths(path)) {
        std::string bytes;
        if (!state_->reader(candidate, &bytes)) {
            continue;
        }
        ParsedInf inf;
        const std::uint32_t codePage = state_->codePage();
        if (bytes.empty() || !ParseInf(DecodeInfBytes(codePage, bytes), &inf) ||
            !HasWin4Signature(inf)) {
            return nullptr;
        }
        return std::make_unique<SimInfFile>(state_, path, std::move(inf),
                                            FolderOf(codePage, candidate));
    }
    return nullptr;
}

int SimInfFiles::openCount() const {
    return state_->openCount;
}

}  // namespace drvsweep::sim
