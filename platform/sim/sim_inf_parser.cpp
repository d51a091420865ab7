#include "platform/sim/sim_inf_parser.h"

#include <algorithm>
#include <cstddef>

namespace drvsweep::sim {
namespace {

constexpr char16_t kEndOfFile = 0x1A;         // Ctrl-Z ends the text wherever it stands
constexpr std::size_t kMaxFieldLength = 511;  // longer fields are cut without an error
constexpr std::size_t kMaxSectionNameLength = 255;
constexpr std::size_t kStop = static_cast<std::size_t>(-1);

// A character-level state machine that reproduces how the Setup API splits an INF into
// sections, lines and fields. Its quirks are deliberate: white space inside a field is kept
// and only its ends are trimmed, a backslash followed by nothing but blanks or a comment
// joins the next line, one followed by anything else stays, and quotes only group.
class InfParser {
public:
    InfParser(const WideText& text, ParsedInf* inf) : text_(text), inf_(*inf) {}

    bool Run() {
        std::size_t position = 0;
        while (position != kStop) {
            position = Step(position);
        }
        return !failed_;
    }

private:
    enum class State {
        kLineStart,
        kSectionName,
        kKey,
        kValue,
        kBackslash,
        kQuoted,
        kLeadingSpace,
        kTrailingSpace,
        kComment
    };

    std::size_t Step(std::size_t p) {
        switch (state_) {
            case State::kLineStart:
                return LineStart(p);
            case State::kSectionName:
                return SectionName(p);
            case State::kKey:
            case State::kValue:
                return FieldText(p);
            case State::kBackslash:
                return Backslash(p);
            case State::kQuoted:
                return Quoted(p);
            case State::kLeadingSpace:
                return LeadingSpace(p);
            case State::kTrailingSpace:
                return TrailingSpace(p);
            case State::kComment:
                return Comment(p);
        }
        return kStop;
    }

    // A NUL counts as a blank where a value or a run of blanks is being read, and as text
    // everywhere else (at a line start, in a key, after "=" or ","), as Wine 8.0 treats it.
    static bool IsBlank(char16_t c, bool inKey) { return IsInfSpace(c) || (c == u'\0' && !inKey); }

    bool AtEnd(std::size_t p) const { return p >= text_.size() || text_[p] == kEndOfFile; }
    bool AtLineEnd(std::size_t p) const { return AtEnd(p) || text_[p] == u'\n'; }

    // Moves the text from the pending start up to `end` into the token; NULs become blanks.
    void Take(std::size_t end) {
        const std::size_t room = kMaxFieldLength - token_.size();
        const std::size_t length = std::min(end - start_, room);
        for (std::size_t i = 0; i < length; ++i) {
            const char16_t c = text_[start_ + i];
            token_.push_back(c == u'\0' ? u' ' : c);
        }
        start_ = end;
    }

    std::size_t Fail() {
        failed_ = true;
        return kStop;
    }

    // Returns to the field being read (key or value) after a quote, blank run or backslash.
    std::size_t Resume(std::size_t p) {
        state_ = field_;
        return p;
    }

    std::size_t StartComment(std::size_t p, State after) {
        afterComment_ = after;
        state_ = State::kComment;
        return p;
    }

    bool AddField(bool isKey) {
        if (!lineOpen_) {
            if (section_ < 0) {
                return false;  // text before the first section
            }
            inf_.sections[section_].lines.emplace_back();
            lineOpen_ = true;
        }
        InfLineData& line = inf_.sections[section_].lines.back();
        if (isKey) {
            line.hasKey = true;
            line.key = token_;
        } else {
            line.fields.push_back(token_);
        }
        token_.clear();
        return true;
    }

    void CloseLine() {
        if (lineOpen_) {
            InfLineData& line = inf_.sections[section_].lines.back();
            if (!line.hasKey && line.fields.size() == 1) {
                line.hasKey = true;
                line.key = line.fields.front();
            }
        }
        lineOpen_ = false;
    }

    std::size_t LineStart(std::size_t p) {
        for (; !AtEnd(p); ++p) {
            const char16_t c = text_[p];
            if (c == u'\n') {
                CloseLine();
            } else if (c == u';') {
                return StartComment(p + 1, State::kLineStart);
            } else if (c == u'[') {
                start_ = p + 1;
                state_ = State::kSectionName;
                return p + 1;
            } else if (!IsInfSpace(c)) {
                start_ = p;
                state_ = State::kKey;
                return p;
            }
        }
        CloseLine();
        return kStop;
    }

    std::size_t SectionName(std::size_t p) {
        for (; !AtLineEnd(p); ++p) {
            if (text_[p] != u']') {
                continue;
            }
            Take(p);
            if (token_.size() > kMaxSectionNameLength) {
                return Fail();
            }
            section_ = inf_.FindSection(token_);
            if (section_ < 0) {
                inf_.sections.push_back(InfSectionData{token_, {}});
                section_ = static_cast<int>(inf_.sections.size()) - 1;
            }
            token_.clear();
            return StartComment(p + 1, State::kLineStart);  // the rest of the line is ignored
        }
        return Fail();
    }

    // The key (left of "=") or a value field. A key only ends at "=", ";" or the end of the
    // line; a comma first makes the whole line a list of value fields, "=" included.
    std::size_t FieldText(std::size_t p) {
        const bool inKey = state_ == State::kKey;
        std::size_t tokenEnd = start_;
        for (; !AtLineEnd(p); ++p) {
            const char16_t c = text_[p];
            if (c == u',' && inKey) {
                break;
            }
            if ((c == u'=' && inKey) || (c == u',' && !inKey)) {
                Take(tokenEnd);
                if (!AddField(inKey)) {
                    return Fail();
                }
                start_ = p + 1;
                field_ = State::kValue;
                state_ = State::kLeadingSpace;
                return p + 1;
            }
            if (c == u';') {
                Take(tokenEnd);
                if (!AddField(false)) {
                    return Fail();
                }
                return StartComment(p + 1, State::kLineStart);
            }
            if (c == u'"') {
                Take(p);  // blanks before the quote stay in the field
                start_ = p + 1;
                field_ = state_;
                state_ = State::kQuoted;
                return p + 1;
            }
            if (c == u'\\') {
                Take(tokenEnd);
                start_ = p;
                field_ = state_;
                state_ = State::kBackslash;
                return p;
            }
            if (!IsBlank(c, inKey)) {
                tokenEnd = p + 1;
            } else {
                Take(p);
                field_ = state_;
                state_ = State::kTrailingSpace;
                return p;
            }
        }
        Take(tokenEnd);
        if (inKey) {
            state_ = State::kValue;  // no "=": what was read becomes the first value field
            return p;
        }
        if (!AddField(false)) {
            return Fail();
        }
        state_ = State::kLineStart;
        return p;
    }

    // After a backslash: only more backslashes, blanks or a comment up to the line end make
    // it a line continuation; anything else keeps the backslash (and what followed it).
    std::size_t Backslash(std::size_t p) {
        for (; !AtEnd(p); ++p) {
            const char16_t c = text_[p];
            if (c == u'\n') {
                start_ = p + 1;
                state_ = State::kLeadingSpace;
                return p + 1;
            }
            if (c == u';') {
                return StartComment(p + 1, State::kBackslash);
            }
            if (c != u'\\' && !IsInfSpace(c)) {
                Take(p);
                return Resume(p);
            }
        }
        start_ = p;
        return Resume(p);
    }

    // Inside quotes everything up to the closing quote or the line end is literal; two
    // quotes in a row stand for one.
    std::size_t Quoted(std::size_t p) {
        for (; !AtLineEnd(p); ++p) {
            if (text_[p] != u'"') {
                continue;
            }
            if (p + 1 < text_.size() && text_[p + 1] == u'"') {
                Take(p + 1);
                start_ = p + 2;
                ++p;
            } else {
                Take(p);
                start_ = p + 1;
                return Resume(p + 1);
            }
        }
        Take(p);
        return Resume(p);
    }

    std::size_t LeadingSpace(std::size_t p) {
        for (; !AtLineEnd(p); ++p) {
            if (text_[p] == u'\\') {
                start_ = p;
                state_ = State::kBackslash;
                return p;
            }
            if (!IsInfSpace(text_[p])) {
                break;
            }
        }
        start_ = p;
        return Resume(p);
    }

    // Blanks inside a field: the pending start stays before them, so that they are kept
    // when more text follows and dropped when the field ends.
    std::size_t TrailingSpace(std::size_t p) {
        for (; !AtLineEnd(p); ++p) {
            if (text_[p] == u'\\') {
                state_ = State::kBackslash;
                return p;
            }
            if (!IsBlank(text_[p], false)) {
                break;
            }
        }
        return Resume(p);
    }

    std::size_t Comment(std::size_t p) {
        while (!AtLineEnd(p)) {
            ++p;
        }
        state_ = afterComment_;
        return p;
    }

    const WideText& text_;
    ParsedInf& inf_;
    State state_ = State::kLineStart;
    State field_ = State::kKey;
    State afterComment_ = State::kLineStart;
    std::size_t start_ = 0;
    WideText token_;
    int section_ = -1;
    bool lineOpen_ = false;
    bool failed_ = false;
};

}  // namespace

int ParsedInf::FindSection(const WideText& name) const {
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (EqualsIgnoringCase(sections[i].name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const InfLineData* ParsedInf::FindKeyLine(int section, const WideText& key) const {
    if (section < 0) {
        return nullptr;
    }
    for (const InfLineData& line : sections[section].lines) {
        if (line.hasKey && EqualsIgnoringCase(line.key, key)) {
            return &line;
        }
    }
    return nullptr;
}

bool ParseInf(const WideText& text, ParsedInf* inf) {
    return InfParser(text, inf).Run();
}

bool HasWin4Signature(const ParsedInf& inf) {
    const InfLineData* line = inf.FindKeyLine(inf.FindSection(u"Version"), u"Signature");
    if (line == nullptr || line->fields.empty()) {
        return false;
    }
    const WideText& signature = line->fields.front();
    return EqualsIgnoringCase(signature, u"$Chicago$") ||
           EqualsIgnoringCase(signature, u"$Windows NT$") ||
           EqualsIgnoringCase(signature, u"$Windows 95$");
}

}  // namespace drvsweep::sim
