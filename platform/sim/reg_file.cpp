#include "platform/sim/reg_file.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "platform/sim/ascii_case.h"
#include "platform/sim/code_page.h"

namespace drvsweep::sim {

namespace {

struct RegOperation {
    enum class Kind { CreateKey, DeleteKey, SetValue, DeleteValue };
    Kind kind = Kind::CreateKey;
    RegistryRoot root = RegistryRoot::LocalMachine;
    std::string path;
    std::string name;
    RegValue value;
};

struct KeyName {
    RegistryRoot root = RegistryRoot::LocalMachine;
    std::string path;
};

constexpr const char* kHeaderAnsi = "REGEDIT4";
constexpr const char* kHeaderUnicode = "Windows Registry Editor Version 5.00";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::size_t SkipBlanks(const std::string& text, std::size_t pos) {
    while (pos < text.size() && IsBlank(text[pos])) {
        ++pos;
    }
    return pos;
}

std::string TrimEnd(std::string text) {
    while (!text.empty() && IsBlank(text.back())) {
        text.pop_back();
    }
    return text;
}

// Nothing but blanks and an optional comment from pos on.
bool RestIsEmpty(const std::string& text, std::size_t pos) {
    pos = SkipBlanks(text, pos);
    return pos == text.size() || text[pos] == ';';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Reads 1 to maxDigits hex digits at *pos.
std::optional<std::uint32_t> ReadHexNumber(const std::string& text, std::size_t* pos,
                                           std::size_t maxDigits) {
    std::uint32_t number = 0;
    std::size_t digits = 0;
    while (*pos < text.size() && HexDigit(text[*pos]) >= 0) {
        if (++digits > maxDigits) {
            return std::nullopt;
        }
        number = number * 16 + static_cast<std::uint32_t>(HexDigit(text[(*pos)++]));
    }
    if (digits == 0) {
        return std::nullopt;
    }
    return number;
}

bool StartsWith(const std::string& text, std::size_t pos, const char* prefix) {
    return text.compare(pos, std::char_traits<char>::length(prefix), prefix) == 0;
}

std::string LittleEndian(std::uint32_t number) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<char>((number >> (8 * i)) & 0xFF));
    }
    return bytes;
}

class RegTextParser {
public:
    RegTextParser(const std::string& text, std::vector<RegOperation>* operations)
        : operations_(operations) {
        SplitLines(text);
    }

    bool Parse(std::string* error);

private:
    void SplitLines(const std::string& text);
    bool Fail(const std::string& reason);
    bool ParseKeyLine(const std::string& line);
    bool ParseValueLine(const std::string& line);
    bool ParseQuoted(const std::string& line, std::size_t* pos, std::string* text);
    bool ParseHexList(std::string list, std::string* bytes);
    bool ParseData(const std::string& line, std::size_t pos, RegOperation* operation);

    std::vector<RegOperation>* operations_;
    std::vector<std::string> lines_;
    std::size_t current_ = 0;
    bool unicodeData_ = false;
    std::optional<KeyName> key_;
    std::string reason_;
};

void RegTextParser::SplitLines(const std::string& text) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines_.push_back(std::move(line));
        start = end + 1;
    }
}

bool RegTextParser::Fail(const std::string& reason) {
    reason_ = reason;
    return false;
}

bool RegTextParser::Parse(std::string* error) {
    const std::string header = TrimEnd(lines_.front());
    if (header == kHeaderUnicode) {
        unicodeData_ = true;
    } else if (header != kHeaderAnsi) {
        *error = "line 1: not a REGEDIT4 or Version 5.00 header: " + lines_.front();
        return false;
    }
    for (current_ = 1; current_ < lines_.size(); ++current_) {
        const std::size_t firstLine = current_;
        const std::string& line = lines_[current_];
        const std::size_t start = SkipBlanks(line, 0);
        bool parsed = true;
        if (start == line.size() || line[start] == ';') {
            continue;
        }
        if (line[start] == '[') {
            parsed = ParseKeyLine(line.substr(start));
        } else if (line[start] == '"' || line[start] == '@') {
            parsed = ParseValueLine(line.substr(start));
        } else {
            parsed = Fail("not a key, a value or a comment");
        }
        if (!parsed) {
            *error =
                "line " + std::to_string(firstLine + 1) + ": " + reason_ + ": " + lines_[firstLine];
            return false;
        }
    }
    return true;
}

bool RegTextParser::ParseKeyLine(const std::string& line) {
    std::size_t close = line.find(']');
    while (close != std::string::npos && !RestIsEmpty(line, close + 1)) {
        close = line.find(']', close + 1);
    }
    if (close == std::string::npos) {
        return Fail("a key line must end with ']'");
    }
    const bool deleting = line.size() > 1 && line[1] == '-';
    const std::string full = line.substr(deleting ? 2 : 1, close - (deleting ? 2 : 1));
    const std::size_t slash = full.find('\\');
    const std::string rootName = full.substr(0, slash);
    static const struct {
        const char* name;
        RegistryRoot root;
    } kRoots[] = {
        {"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
        {"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
        {"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
        {"HKEY_USERS", RegistryRoot::Users},
        {"HKEY_CURRENT_CONFIG", RegistryRoot::CurrentConfig},
    };
    std::optional<RegistryRoot> root;
    for (const auto& known : kRoots) {
        if (EqualIgnoringCase(rootName, known.name)) {
            root = known.root;
        }
    }
    if (!root) {
        return Fail("unknown root key");
    }
    KeyName key{*root, slash == std::string::npos ? "" : full.substr(slash + 1)};
    if (!key.path.empty() && key.path[0] == '\\') {
        return Fail("the key path begins with a backslash");
    }
    if (deleting && key.path.empty()) {
        return Fail("a root key cannot be deleted");
    }
    RegOperation operation;
    operation.kind = deleting ? RegOperation::Kind::DeleteKey : RegOperation::Kind::CreateKey;
    operation.root = key.root;
    operation.path = key.path;
    operations_->push_back(std::move(operation));
    key_ = deleting ? std::nullopt : std::optional<KeyName>(key);
    return true;
}

bool RegTextParser::ParseQuoted(const std::string& line, std::size_t* pos, std::string* text) {
    for (std::size_t i = *pos + 1; i < line.size(); ++i) {
        if (line[i] == '"') {
            *pos = i + 1;
            return true;
        }
        if (line[i] != '\\') {
            text->push_back(line[i]);
            continue;
        }
        if (++i == line.size()) {
            break;
        }
        switch (line[i]) {
            case '\\':
            case '"':
                text->push_back(line[i]);
                break;
            case 'n':
                text->push_back('\n');
                break;
            case 'r':
                text->push_back('\r');
                break;
            case '0':
                text->push_back('\0');
                break;
            default:
                return Fail(std::string("unknown escape \\") + line[i]);
        }
    }
    return Fail("the closing quote is missing");
}

bool RegTextParser::ParseValueLine(const std::string& line) {
    RegOperation operation;
    std::size_t pos = line[0] == '@' ? 1 : 0;
    if (pos == 0 && !ParseQuoted(line, &pos, &operation.name)) {
        return false;
    }
    pos = SkipBlanks(line, pos);
    if (pos == line.size() || line[pos] != '=') {
        return Fail("'=' expected after the value name");
    }
    if (!key_) {
        return Fail("a value outside a key");
    }
    operation.root = key_->root;
    operation.path = key_->path;
    if (!ParseData(line, SkipBlanks(line, pos + 1), &operation)) {
        return false;
    }
    operations_->push_back(std::move(operation));
    return true;
}

bool RegTextParser::ParseData(const std::string& line, std::size_t pos, RegOperation* operation) {
    operation->kind = RegOperation::Kind::SetValue;
    RegValue& value = operation->value;
    if (StartsWith(line, pos, "-")) {
        operation->kind = RegOperation::Kind::DeleteValue;
        return RestIsEmpty(line, pos + 1) || Fail("junk after '-'");
    }
    if (StartsWith(line, pos, "\"")) {
        value.type = kRegSz;
        if (!ParseQuoted(line, &pos, &value.bytes)) {
            return false;
        }
        value.bytes.push_back('\0');
        return RestIsEmpty(line, pos) || Fail("junk after the string");
    }
    if (StartsWith(line, pos, "dword:")) {
        pos = SkipBlanks(line, pos + 6);
        const std::optional<std::uint32_t> number = ReadHexNumber(line, &pos, 8);
        if (!number || !RestIsEmpty(line, pos)) {
            return Fail("a dword takes 1 to 8 hex digits");
        }
        value.type = kRegDword;
        value.bytes = LittleEndian(*number);
        return true;
    }
    if (StartsWith(line, pos, "hex:")) {
        value.type = kRegBinary;
        pos += 4;
    } else if (StartsWith(line, pos, "hex(")) {
        pos += 4;
        const std::optional<std::uint32_t> type = ReadHexNumber(line, &pos, 8);
        if (!type || !StartsWith(line, pos, "):")) {
            return Fail("hex(N): expected");
        }
        value.type = *type;
        pos += 2;
    } else {
        return Fail("unknown value data");
    }
    if (!ParseHexList(line.substr(pos), &value.bytes)) {
        return false;
    }
    const bool text =
        value.type == kRegSz || value.type == kRegExpandSz || value.type == kRegMultiSz;
    if (unicodeData_ && text) {
        if (value.bytes.size() % 2 != 0) {
            return Fail("UTF-16 text of an odd number of bytes");
        }
        value.bytes = Utf16LeToAnsi(value.bytes);
    }
    // RegSetValueEx adds the NUL a string's bytes lack (Windows and Wine alike), so regedit
    // stores hex(1):41,42 as "AB" and its terminator.
    if (text && !value.bytes.empty() && value.bytes.back() != '\0') {
        value.bytes.push_back('\0');
    }
    return true;
}

bool RegTextParser::ParseHexList(std::string list, std::string* bytes) {
    std::string joined;
    for (;;) {
        list = TrimEnd(list.substr(0, list.find(';')));
        if (list.empty() || list.back() != '\\') {
            joined += list;
            break;
        }
        list.pop_back();
        joined += list;
        if (++current_ == lines_.size()) {
            return Fail("the hex list goes on past the end of the file");
        }
        list = lines_[current_].substr(SkipBlanks(lines_[current_], 0));
    }
    std::size_t pos = 0;
    while (pos < joined.size()) {
        const std::optional<std::uint32_t> byte = ReadHexNumber(joined, &pos, 2);
        if (!byte) {
            return Fail("a hex list holds bytes of 1 or 2 hex digits separated by commas");
        }
        bytes->push_back(static_cast<char>(*byte));
        if (pos < joined.size() && joined[pos++] != ',') {
            return Fail("a hex list holds bytes of 1 or 2 hex digits separated by commas");
        }
    }
    return true;
}

void Apply(const RegOperation& operation, SimRegistry* registry) {
    switch (operation.kind) {
        case RegOperation::Kind::CreateKey:
            registry->CreateKey(operation.path, operation.root);
            break;
        case RegOperation::Kind::DeleteKey:
            registry->RemoveTree(operation.path, operation.root);
            break;
        case RegOperation::Kind::SetValue:
            registry->SetValue(operation.path, operation.name, operation.value.type,
                               operation.value.bytes, operation.root);
            break;
        case RegOperation::Kind::DeleteValue:
            registry->RemoveValue(operation.path, operation.name, operation.root);
            break;
    }
}

}  // namespace

bool LoadRegText(const std::string& fileBytes, SimRegistry* registry, std::string* error) {
    const bool utf16 = fileBytes.size() >= 2 && fileBytes[0] == '\xFF' && fileBytes[1] == '\xFE';
    const std::string text = utf16 ? Utf16LeToAnsi(fileBytes.substr(2)) : fileBytes;
    std::vector<RegOperation> operations;
    if (!RegTextParser(text, &operations).Parse(error)) {
        return false;
    }
    for (const RegOperation& operation : operations) {
        Apply(operation, registry);
    }
    return true;
}

bool LoadRegFile(const std::string& hostPath, SimRegistry* registry, std::string* error) {
    std::ifstream file(hostPath, std::ios::binary);
    if (!file) {
        *error = "cannot read " + hostPath;
        return false;
    }
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (!LoadRegText(bytes, registry, error)) {
        *error = hostPath + ": " + *error;
        return false;
    }
    return true;
}

}  // namespace drvsweep::sim
