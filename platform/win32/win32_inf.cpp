#include "platform/win32/win32_inf.h"

#include <cstddef>

#include "platform/win32/scoped_handle.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {
namespace {

// InfLine is handed to the Setup API as its INFCONTEXT, byte for byte.
static_assert(sizeof(InfLine) == sizeof(INFCONTEXT), "InfLine must be laid out like INFCONTEXT");
static_assert(offsetof(InfLine, inf) == offsetof(INFCONTEXT, Inf), "InfLine::inf");
static_assert(offsetof(InfLine, currentInf) == offsetof(INFCONTEXT, CurrentInf),
              "InfLine::currentInf");
static_assert(offsetof(InfLine, section) == offsetof(INFCONTEXT, Section), "InfLine::section");
static_assert(offsetof(InfLine, line) == offsetof(INFCONTEXT, Line), "InfLine::line");

INFCONTEXT ToContext(const InfLine& line) {
    return INFCONTEXT{line.inf, line.currentInf, line.section, line.line};
}

InfLine FromContext(const INFCONTEXT& context) {
    return InfLine{context.Inf, context.CurrentInf, context.Section, context.Line};
}

struct InfFileTraits {
    static HINF Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HINF inf) { SetupCloseInfFile(inf); }
};

using ScopedInf = ScopedHandle<HINF, InfFileTraits>;

class Win32InfFile : public InfFile {
public:
    explicit Win32InfFile(HINF inf) : inf_(inf) {}

    long LineCount(const char* section) override { return SetupGetLineCountA(inf_.get(), section); }

    bool FindFirstLine(const char* section, InfLine* line) override {
        INFCONTEXT context;
        if (!SetupFindFirstLineA(inf_.get(), section, nullptr, &context)) {
            return false;
        }
        *line = FromContext(context);
        return true;
    }

    bool FindNextLine(InfLine* line) override {
        INFCONTEXT context = ToContext(*line);
        if (!SetupFindNextLine(&context, &context)) {
            return false;
        }
        *line = FromContext(context);
        return true;
    }

    bool LineText(const InfLine& line, char* text, std::uint32_t size) override {
        INFCONTEXT context = ToContext(line);
        return SetupGetLineTextA(&context, nullptr, nullptr, nullptr, text, size, nullptr) != FALSE;
    }

    std::uint32_t FieldCount(const InfLine& line) override {
        INFCONTEXT context = ToContext(line);
        return SetupGetFieldCount(&context);
    }

    bool StringField(const InfLine& line, std::uint32_t index, char* text,
                     std::uint32_t size) override {
        INFCONTEXT context = ToContext(line);
        return SetupGetStringFieldA(&context, index, text, size, nullptr) != FALSE;
    }

private:
    ScopedInf inf_;
};

}  // namespace

std::unique_ptr<InfFile> Win32InfFiles::OpenWin4(const char* path) {
    HINF inf = SetupOpenInfFileA(path, nullptr, INF_STYLE_WIN4, nullptr);
    if (inf == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<Win32InfFile>(inf);
}

}  // namespace drvsweep::win32
