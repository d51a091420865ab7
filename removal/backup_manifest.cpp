#include "removal/backup_manifest.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>

namespace drvsweep {

namespace {

constexpr std::size_t kLargestManifest = 8u * 1024u * 1024u;
constexpr int kDeepest = 16;
// Far more values than any backup lists, few enough that a manifest of one-byte values cannot
// take the memory of a machine.
constexpr std::size_t kMostValues = 1000000;
constexpr char kTool[] = "DrvSweep";

std::string Quoted(const std::string& bytes) {
    std::string out = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// Builds one object, a member per line.
class Members {
public:
    explicit Members(int depth) : indent_(static_cast<std::size_t>(depth) * 2, ' ') {}
    Members& Add(const char* name, const std::string& json) {
        body_ += (body_.empty() ? "" : ",\r\n") + indent_ + "  " + Quoted(name) + ": " + json;
        return *this;
    }
    Members& Text(const char* name, const std::string& text) { return Add(name, Quoted(text)); }
    std::string Close() const { return "{\r\n" + body_ + "\r\n" + indent_ + "}"; }

private:
    std::string indent_;
    std::string body_;
};

template <typename T, typename F>
std::string List(const std::vector<T>& items, F json) {
    std::string out = "[";
    for (const T& item : items) {
        out += (out.size() > 1 ? ",\r\n    " : "\r\n    ") + json(item);
    }
    return out + (items.empty() ? "]" : "\r\n  ]");
}

// The byte of a JSON escape of one letter (\n, \", ...).
bool ShortEscape(char letter, char* byte) {
    static const char kPairs[] = "\"\"\\\\//b\bf\fn\nr\rt\t";
    for (std::size_t i = 0; i + 1 < sizeof kPairs; i += 2) {
        if (kPairs[i] == letter) {
            *byte = kPairs[i + 1];
            return true;
        }
    }
    return false;
}

// A parsed JSON value.
struct Json {
    enum class Kind { Null, Boolean, Number, Text, List, Object } kind = Kind::Null;
    std::uint64_t number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> members;
};

class Parser {
public:
    Parser(const std::string& json, std::string* error) : json_(json), error_(*error) {}

    bool Parse(Json* value) {
        if (!Value(value, 0)) {
            return false;
        }
        Blanks();
        return at_ == json_.size() || Fail("text after the end");
    }

private:
    bool Fail(const std::string& why) {
        error_ = why + " at byte " + std::to_string(at_);
        return false;
    }

    void Blanks() {
        while (at_ < json_.size() && (json_[at_] == ' ' || json_[at_] == '\t' ||
                                      json_[at_] == '\r' || json_[at_] == '\n')) {
            ++at_;
        }
    }

    bool Word(const char* word) {
        const std::string w = word;
        if (json_.compare(at_, w.size(), w) != 0) {
            return false;
        }
        at_ += w.size();
        return true;
    }

    bool Value(Json* value, int depth) {
        if (depth > kDeepest) {
            return Fail("nesting too deep");
        }
        if (++values_ > kMostValues) {
            return Fail("too many values");
        }
        Blanks();
        if (at_ >= json_.size()) {
            return Fail("the text ends early");
        }
        const char c = json_[at_];
        if (c == '{') {
            return Object(value, depth);
        }
        if (c == '[') {
            return Array(value, depth);
        }
        if (c == '"') {
            value->kind = Json::Kind::Text;
            return Text(&value->text);
        }
        if (c >= '0' && c <= '9') {
            value->kind = Json::Kind::Number;
            if (c == '0' && at_ + 1 < json_.size() && json_[at_ + 1] >= '0' &&
                json_[at_ + 1] <= '9') {
                return Fail("a number with a leading zero");
            }
            for (; at_ < json_.size() && json_[at_] >= '0' && json_[at_] <= '9'; ++at_) {
                // Any 64-bit size reads back, and nothing beyond.
                const auto digit = static_cast<std::uint64_t>(json_[at_] - '0');
                if (value->number > (UINT64_MAX - digit) / 10) {
                    return Fail("a number too large");
                }
                value->number = value->number * 10 + digit;
            }
            return true;
        }
        if (Word("true") || Word("false")) {
            value->kind = Json::Kind::Boolean;
            return true;
        }
        if (Word("null")) {
            return true;
        }
        return Fail("no value");
    }

    bool Text(std::string* text) {
        ++at_;
        while (at_ < json_.size()) {
            const char c = json_[at_++];
            if (c == '"') {
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x80) {
                return Fail("a byte in a text that is not written as \\u00XX");
            }
            if (c != '\\') {
                text->push_back(c);
                continue;
            }
            if (at_ >= json_.size()) {
                break;
            }
            const char e = json_[at_++];
            char shortEscape = 0;
            if (ShortEscape(e, &shortEscape)) {
                text->push_back(shortEscape);
            } else if (e == 'u') {
                unsigned code = 0;
                for (int i = 0; i < 4; ++i) {
                    const char h = at_ < json_.size() ? json_[at_++] : 'x';
                    const int digit = h >= '0' && h <= '9'   ? h - '0'
                                      : h >= 'a' && h <= 'f' ? h - 'a' + 10
                                      : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                                             : -1;
                    if (digit < 0) {
                        return Fail("a \\u escape that cannot be read");
                    }
                    code = code * 16 + static_cast<unsigned>(digit);
                }
                if (code > 0xFF) {
                    return Fail("a \\u escape above 00FF");
                }
                text->push_back(static_cast<char>(code));
            } else {
                return Fail("an escape that cannot be read");
            }
        }
        return Fail("a text that does not end");
    }

    bool Array(Json* value, int depth) {
        value->kind = Json::Kind::List;
        ++at_;
        Blanks();
        if (at_ < json_.size() && json_[at_] == ']') {
            ++at_;
            return true;
        }
        while (true) {
            value->items.emplace_back();
            if (!Value(&value->items.back(), depth + 1)) {
                return false;
            }
            Blanks();
            if (at_ < json_.size() && json_[at_] == ',') {
                ++at_;
            } else if (at_ < json_.size() && json_[at_] == ']') {
                ++at_;
                return true;
            } else {
                return Fail("a list that does not end");
            }
        }
    }

    bool Object(Json* value, int depth) {
        value->kind = Json::Kind::Object;
        ++at_;
        Blanks();
        if (at_ < json_.size() && json_[at_] == '}') {
            ++at_;
            return true;
        }
        while (true) {
            Blanks();
            std::string name;
            if (at_ >= json_.size() || json_[at_] != '"') {
                return Fail("a member without a name");
            }
            if (!Text(&name)) {
                return false;
            }
            Blanks();
            if (at_ >= json_.size() || json_[at_++] != ':') {
                return Fail("a member without a colon");
            }
            Json member;
            if (!Value(&member, depth + 1)) {
                return false;
            }
            if (!value->members.emplace(name, std::move(member)).second) {
                return Fail("the member \"" + name + "\" twice");
            }
            Blanks();
            if (at_ < json_.size() && json_[at_] == ',') {
                ++at_;
            } else if (at_ < json_.size() && json_[at_] == '}') {
                ++at_;
                return true;
            } else {
                return Fail("an object that does not end");
            }
        }
    }

    const std::string& json_;
    std::string& error_;
    std::size_t at_ = 0;
    std::size_t values_ = 0;
};

// Reads members of an object into fields, the first missing or mistyped one named in error.
class Fields {
public:
    Fields(const Json& object, const std::string& where, std::string* error)
        : object_(object), where_(where), error_(*error) {}

    bool Text(const char* name, std::string* out) {
        const Json* member = Find(name, Json::Kind::Text);
        if (member != nullptr) {
            *out = member->text;
        }
        return member != nullptr;
    }

    bool Number(const char* name, std::uint64_t* out) {
        const Json* member = Find(name, Json::Kind::Number);
        if (member != nullptr) {
            *out = member->number;
        }
        return member != nullptr;
    }

    const Json* List(const char* name) { return Find(name, Json::Kind::List); }

private:
    const Json* Find(const char* name, Json::Kind kind) {
        const auto found = object_.members.find(name);
        if (found == object_.members.end() || found->second.kind != kind) {
            error_ = where_ + " has no valid \"" + name + "\"";
            return nullptr;
        }
        return &found->second;
    }

    const Json& object_;
    std::string where_;
    std::string& error_;
};

bool IsView(const std::string& view, bool key) {
    return view == "native" || view == "wow32" || (!key && view.empty());
}

bool IsSha256(const std::string& text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

template <typename T, typename F>
bool ReadList(Fields& fields, const char* name, std::vector<T>* out, std::string* error, F read) {
    const Json* list = fields.List(name);
    if (list == nullptr) {
        return false;
    }
    for (const Json& item : list->items) {
        if (item.kind != Json::Kind::Object) {
            *error = std::string("an entry of \"") + name + "\" is no object";
            return false;
        }
        Fields entry(item, std::string("an entry of \"") + name + "\"", error);
        out->emplace_back();
        if (!read(entry, &out->back())) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string ManifestToJson(const BackupManifest& m) {
    Members root(0);
    root.Text("tool", kTool)
        .Text("toolVersion", m.toolVersion)
        .Text("created", m.created)
        .Text("family", m.family)
        .Add("codePage", std::to_string(m.codePage))
        .Add("programBits", std::to_string(m.programBits))
        .Text("windowsFolder", m.windowsFolder)
        .Text("devicePath", m.devicePath)
        .Text("description", m.description)
        .Text("scannerInf", m.scannerInf)
        .Text("regFile", m.regFile)
        .Add("items", List(m.items,
                           [](const BackupItem& i) {
                               return "{\"kind\": " + Quoted(i.kind) +
                                      ", \"path\": " + Quoted(i.path) +
                                      ", \"view\": " + Quoted(i.view) + "}";
                           }))
        .Add("files", List(m.files,
                           [](const BackupFile& f) {
                               return "{\"stored\": " + Quoted(f.stored) +
                                      ", \"original\": " + Quoted(f.original) +
                                      ", \"size\": " + std::to_string(f.size) +
                                      ", \"sha256\": " + Quoted(f.sha256) + "}";
                           }))
        .Add("folders", List(m.folders, [](const std::string& f) { return Quoted(f); }))
        .Add("keys", List(m.keys,
                          [](const BackupKey& k) {
                              return "{\"path\": " + Quoted(k.path) +
                                     ", \"view\": " + Quoted(k.view) + "}";
                          }))
        .Add("packages", List(m.packages, [](const BackupPackage& p) {
                 return "{\"infPath\": " + Quoted(p.infPath) + ", \"folder\": " + Quoted(p.folder) +
                        ", \"inf\": " + Quoted(p.inf) + "}";
             }));
    return root.Close() + "\r\n";
}

bool ManifestFromJson(const std::string& json, BackupManifest* m, std::string* error) {
    *m = BackupManifest();
    if (json.size() > kLargestManifest) {
        *error = "the manifest is over 8 MB";
        return false;
    }
    Json root;
    if (!Parser(json, error).Parse(&root)) {
        return false;
    }
    if (root.kind != Json::Kind::Object) {
        *error = "the manifest is no object";
        return false;
    }
    Fields fields(root, "the manifest", error);
    std::string tool;
    std::uint64_t codePage = 0;
    std::uint64_t bits = 0;
    const bool read =
        fields.Text("tool", &tool) && fields.Text("toolVersion", &m->toolVersion) &&
        fields.Text("created", &m->created) && fields.Text("family", &m->family) &&
        fields.Number("codePage", &codePage) && fields.Number("programBits", &bits) &&
        fields.Text("windowsFolder", &m->windowsFolder) &&
        fields.Text("devicePath", &m->devicePath) && fields.Text("description", &m->description) &&
        fields.Text("scannerInf", &m->scannerInf) && fields.Text("regFile", &m->regFile) &&
        ReadList(fields, "items", &m->items, error,
                 [error](Fields& f, BackupItem* i) {
                     if (!(f.Text("kind", &i->kind) && f.Text("path", &i->path) &&
                           f.Text("view", &i->view))) {
                         return false;
                     }
                     if (!IsView(i->view, false)) {
                         *error = "the view of " + i->path + " is neither native nor wow32";
                         return false;
                     }
                     return true;
                 }) &&
        ReadList(fields, "files", &m->files, error,
                 [error](Fields& f, BackupFile* file) {
                     if (!(f.Text("stored", &file->stored) && f.Text("original", &file->original) &&
                           f.Number("size", &file->size) && f.Text("sha256", &file->sha256))) {
                         return false;
                     }
                     if (!IsSha256(file->sha256)) {
                         *error = "the SHA-256 of " + file->stored + " cannot be read";
                         return false;
                     }
                     return true;
                 }) &&
        ReadList(fields, "keys", &m->keys, error,
                 [error](Fields& f, BackupKey* k) {
                     if (!(f.Text("path", &k->path) && f.Text("view", &k->view))) {
                         return false;
                     }
                     if (!IsView(k->view, true)) {
                         *error = "the view of the key " + k->path + " is neither native nor wow32";
                         return false;
                     }
                     return true;
                 }) &&
        ReadList(fields, "packages", &m->packages, error, [](Fields& f, BackupPackage* p) {
            return f.Text("infPath", &p->infPath) && f.Text("folder", &p->folder) &&
                   f.Text("inf", &p->inf);
        });
    if (!read) {
        return false;
    }
    const Json* folders = fields.List("folders");
    if (folders == nullptr) {
        return false;
    }
    for (const Json& folder : folders->items) {
        if (folder.kind != Json::Kind::Text) {
            *error = "an entry of \"folders\" is no text";
            return false;
        }
        m->folders.push_back(folder.text);
    }
    if (tool != kTool || (m->family != "nt" && m->family != "9x") || codePage > 0xFFFF ||
        (bits != 32 && bits != 64)) {
        *error = "the manifest is not one of DrvSweep's";
        return false;
    }
    m->codePage = static_cast<std::uint32_t>(codePage);
    m->programBits = static_cast<int>(bits);
    return true;
}

}  // namespace drvsweep
