#include "platform/sim/sim_registry.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <map>

#include "platform/multibyte_text.h"
#include "platform/sim/ascii_case.h"
#include "platform/win32_codes.h"

namespace drvsweep::sim {

namespace {

constexpr std::uint32_t kKeyEnumerateSubKeys = 0x8;
constexpr std::uint32_t kAllAccess = 0xF003F;
constexpr long kErrorNoAccess = 998;  // RegSetValueExA given no data for a size above 0
// The ANSI calls convert the path into a buffer of 261 UTF-16 units, NUL included.
constexpr std::size_t kMaxAnsiPath = 260;

struct Node {
    bool deleted = false;
    std::map<std::string, std::shared_ptr<Node>, LowerCaseLess> subkeys;
    std::map<std::string, RegValue, LowerCaseLess> values;
    // The value names in the order they were first written, the order RegEnumValueA gives.
    std::vector<std::string> valueOrder;
};

void StoreValue(Node& node, const std::string& name, std::uint32_t type, std::string bytes) {
    const auto inserted = node.values.emplace(name, RegValue{});
    if (inserted.second) {
        node.valueOrder.push_back(name);
    }
    inserted.first->second.type = type;
    inserted.first->second.bytes = std::move(bytes);
}

bool EraseValue(Node& node, const std::string& name) {
    if (node.values.erase(name) == 0) {
        return false;
    }
    node.valueOrder.erase(std::find_if(
        node.valueOrder.begin(), node.valueOrder.end(),
        [&name](const std::string& written) { return EqualIgnoringCase(written, name); }));
    return true;
}

// Splits a path as the registry does, at the backslashes that are characters of their own in
// the ANSI code page; false for a path that begins with a backslash.
bool SplitKeyPath(const CodePage& codePage, const std::string& path,
                  std::vector<std::string>* parts) {
    if (!path.empty() && path[0] == '\\') {
        return false;
    }
    std::size_t start = 0;
    while (start <= path.size()) {
        const char* separator = FindFirstBackslash(codePage, path.c_str() + start);
        const std::size_t end =
            separator == nullptr ? path.size() : static_cast<std::size_t>(separator - path.c_str());
        if (end > start) {
            parts->push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return true;
}

// The path of the key that an open in `view` reaches, as a 64-bit program sees the registry.
std::string PathInView(const CodePage& codePage, const std::string& path, RegistryView view,
                       Family family) {
    std::vector<std::string> parts;
    if (view == RegistryView::Native || family == Family::Win9x ||
        !SplitKeyPath(codePage, path, &parts) || parts.empty() ||
        !EqualIgnoringCase(parts[0], "Software") ||
        (parts.size() > 1 && EqualIgnoringCase(parts[1], "WOW6432Node"))) {
        return path;
    }
    // A path that SplitKeyPath accepts begins with its first component.
    return path.substr(0, parts[0].size()) + "\\WOW6432Node" + path.substr(parts[0].size());
}

void MarkDeleted(Node& node) {
    node.deleted = true;
    for (auto& subkey : node.subkeys) {
        MarkDeleted(*subkey.second);
    }
}

std::shared_ptr<Node> FindKey(const CodePage& codePage, const std::shared_ptr<Node>& root,
                              const std::string& path) {
    std::vector<std::string> parts;
    if (!SplitKeyPath(codePage, path, &parts)) {
        return nullptr;
    }
    std::shared_ptr<Node> node = root;
    for (const std::string& part : parts) {
        const auto found = node->subkeys.find(part);
        if (found == node->subkeys.end()) {
            return nullptr;
        }
        node = found->second;
    }
    return node;
}

void VisitBelow(const Node& node, const std::string& path, const SimRegistry::KeyVisitor& visit) {
    for (const auto& subkey : node.subkeys) {
        const std::string subkeyPath = path.empty() ? subkey.first : path + "\\" + subkey.first;
        visit(subkeyPath, nullptr, nullptr);
        for (const auto& value : subkey.second->values) {
            visit(subkeyPath, &value.first, &value.second);
        }
        VisitBelow(*subkey.second, subkeyPath, visit);
    }
}

}  // namespace

struct SimRegistry::State {
    explicit State(SimFaults& faultsIn) : faults(faultsIn) {
        for (auto& root : roots) {
            root = std::make_shared<Node>();
        }
    }

    const std::shared_ptr<Node>& Root(RegistryRoot root) const {
        return roots[static_cast<std::size_t>(root)];
    }

    SimFaults& faults;
    int openKeys = 0;
    long changes = 0;
    std::array<std::shared_ptr<Node>, 5> roots;
};

namespace {

class SimRegistryKey : public RegistryKey {
public:
    SimRegistryKey(std::shared_ptr<SimRegistry::State> state, std::shared_ptr<Node> node,
                   std::string path, std::uint32_t access);
    ~SimRegistryKey() override;
    SimRegistryKey(const SimRegistryKey&) = delete;
    SimRegistryKey& operator=(const SimRegistryKey&) = delete;

    long EnumKey(std::uint32_t index, char* name, std::uint32_t size) override;
    long QueryValue(const char* valueName, void* data, std::uint32_t* size) override;
    long EnumValue(std::uint32_t index, char* name, std::uint32_t nameSize, std::uint32_t* type,
                   void* data, std::uint32_t* dataSize) override;
    long SetValue(const char* valueName, std::uint32_t type, const void* data,
                  std::uint32_t size) override;
    long DeleteValue(const char* valueName) override;

private:
    // The check every call on the key makes: the fault rule, the access it needs (on the NT
    // family) and whether the key still exists.
    long Check(const char* call, const std::string& argument, std::uint32_t access) const;

    std::shared_ptr<SimRegistry::State> state_;
    std::shared_ptr<Node> node_;
    std::string path_;
    std::uint32_t access_;
};

}  // namespace

SimRegistryKey::SimRegistryKey(std::shared_ptr<SimRegistry::State> state,
                               std::shared_ptr<Node> node, std::string path, std::uint32_t access)
    : state_(std::move(state)), node_(std::move(node)), path_(std::move(path)), access_(access) {
    ++state_->openKeys;
}

SimRegistryKey::~SimRegistryKey() {
    long ignored = 0;
    state_->faults.ShouldFail("RegCloseKey", path_, &ignored);
    --state_->openKeys;
}

long SimRegistryKey::EnumKey(std::uint32_t index, char* name, std::uint32_t size) {
    long code = 0;
    if (state_->faults.ShouldFail("RegEnumKeyA", path_, &code)) {
        return code;
    }
    if ((access_ & kKeyEnumerateSubKeys) == 0) {
        return kErrorAccessDenied;
    }
    if (node_->deleted) {
        return kErrorKeyDeleted;
    }
    if (name == nullptr) {
        return kErrorInvalidParameter;
    }
    if (index >= node_->subkeys.size()) {
        return kErrorNoMoreItems;
    }
    const std::string& subkey = std::next(node_->subkeys.begin(), index)->first;
    if (subkey.size() >= size) {
        return kErrorMoreData;
    }
    std::memcpy(name, subkey.c_str(), subkey.size() + 1);
    return kErrorSuccess;
}

long SimRegistryKey::QueryValue(const char* valueName, void* data, std::uint32_t* size) {
    const std::string name = valueName ? valueName : "";
    long code = 0;
    if (state_->faults.ShouldFail("RegQueryValueExA", path_ + "\\" + name, &code)) {
        return code;
    }
    if ((access_ & kKeyQueryValue) == 0) {
        return kErrorAccessDenied;
    }
    if (node_->deleted) {
        return kErrorKeyDeleted;
    }
    const auto found = node_->values.find(name);
    if (found == node_->values.end()) {
        return kErrorFileNotFound;
    }
    if (size == nullptr) {
        return data == nullptr ? kErrorSuccess : kErrorInvalidParameter;
    }
    const std::string& bytes = found->second.bytes;
    const auto needed = static_cast<std::uint32_t>(bytes.size());
    if (data != nullptr && needed > *size) {
        *size = needed;
        return kErrorMoreData;
    }
    if (data != nullptr && needed > 0) {
        std::memcpy(data, bytes.data(), needed);
    }
    *size = needed;
    return kErrorSuccess;
}

long SimRegistryKey::Check(const char* call, const std::string& argument,
                           std::uint32_t access) const {
    long code = 0;
    if (state_->faults.ShouldFail(call, argument, &code)) {
        return code;
    }
    if ((access_ & access) == 0) {
        return kErrorAccessDenied;
    }
    return node_->deleted ? kErrorKeyDeleted : kErrorSuccess;
}

long SimRegistryKey::EnumValue(std::uint32_t index, char* name, std::uint32_t nameSize,
                               std::uint32_t* type, void* data, std::uint32_t* dataSize) {
    if (const long code = Check("RegEnumValueA", path_, kKeyQueryValue)) {
        return code;
    }
    if (name == nullptr || (data != nullptr && dataSize == nullptr)) {
        return kErrorInvalidParameter;
    }
    if (index >= node_->valueOrder.size()) {
        return kErrorNoMoreItems;
    }
    const std::string& valueName = node_->valueOrder[index];
    const RegValue& value = node_->values.find(valueName)->second;
    const auto needed = static_cast<std::uint32_t>(value.bytes.size());
    if (valueName.size() >= nameSize) {
        return kErrorMoreData;
    }
    if (data != nullptr && needed > *dataSize) {
        *dataSize = needed;
        return kErrorMoreData;
    }
    std::memcpy(name, valueName.c_str(), valueName.size() + 1);
    if (type != nullptr) {
        *type = value.type;
    }
    if (data != nullptr && needed > 0) {
        std::memcpy(data, value.bytes.data(), needed);
    }
    if (dataSize != nullptr) {
        *dataSize = needed;
    }
    return kErrorSuccess;
}

long SimRegistryKey::SetValue(const char* valueName, std::uint32_t type, const void* data,
                              std::uint32_t size) {
    ++state_->changes;
    const std::string name = valueName ? valueName : "";
    if (const long code = Check("RegSetValueExA", path_ + "\\" + name, kKeySetValue)) {
        return code;
    }
    if (data == nullptr && size > 0) {
        return kErrorNoAccess;
    }
    const char* bytes = static_cast<const char*>(data);
    StoreValue(*node_, name, type, size > 0 ? std::string(bytes, size) : std::string());
    return kErrorSuccess;
}

long SimRegistryKey::DeleteValue(const char* valueName) {
    ++state_->changes;
    const std::string name = valueName ? valueName : "";
    if (const long code = Check("RegDeleteValueA", path_ + "\\" + name, kKeySetValue)) {
        return code;
    }
    return EraseValue(*node_, name) ? kErrorSuccess : kErrorFileNotFound;
}

SimRegistry::SimRegistry(SimFaults& faults, const SimVersion& version)
    : state_(std::make_shared<State>(faults)), version_(version) {}

SimRegistry::~SimRegistry() = default;

long SimRegistry::OpenKeyInView(const char* path, std::uint32_t access, RegistryView view,
                                std::unique_ptr<RegistryKey>* key) {
    key->reset();
    const std::string given = path ? path : "";
    const std::string text = PathInView(version_.codePage(), given, view, version_.family());
    long code = 0;
    if (state_->faults.ShouldFail("RegOpenKeyExA", text, &code)) {
        return code;
    }
    if (given.size() > kMaxAnsiPath) {
        return kErrorMoreData;
    }
    if (!text.empty() && text[0] == '\\') {
        return kErrorBadPathname;
    }
    std::shared_ptr<Node> node =
        FindKey(version_.codePage(), state_->Root(RegistryRoot::LocalMachine), text);
    if (!node) {
        return kErrorFileNotFound;
    }
    // The 9x family ignores the access asked for.
    const std::uint32_t granted = version_.family() == Family::Win9x ? kAllAccess : access;
    *key = std::make_unique<SimRegistryKey>(state_, std::move(node), text, granted);
    return kErrorSuccess;
}

long SimRegistry::DeleteKeyInView(const char* path, RegistryView view) {
    ++state_->changes;
    const std::string text =
        PathInView(version_.codePage(), path ? path : "", view, version_.family());
    long code = 0;
    if (state_->faults.ShouldFail("RegDeleteKeyA", text, &code)) {
        return code;
    }
    if (text.size() > kMaxAnsiPath) {
        return kErrorMoreData;
    }
    std::vector<std::string> parts;
    if (!SplitKeyPath(version_.codePage(), text, &parts)) {
        return kErrorBadPathname;
    }
    if (parts.empty()) {
        return kErrorAccessDenied;  // HKEY_LOCAL_MACHINE itself cannot go
    }
    const std::shared_ptr<Node> node =
        FindKey(version_.codePage(), state_->Root(RegistryRoot::LocalMachine), text);
    if (!node) {
        return kErrorFileNotFound;
    }
    if (!node->subkeys.empty() && version_.family() == Family::Nt) {
        return kErrorAccessDenied;
    }
    RemoveTree(text);
    return kErrorSuccess;
}

long SimRegistry::CreateKeyInView(const char* path, std::uint32_t access, RegistryView view,
                                  std::unique_ptr<RegistryKey>* key, bool* created) {
    ++state_->changes;
    key->reset();
    const std::string given = path ? path : "";
    const std::string text = PathInView(version_.codePage(), given, view, version_.family());
    long code = 0;
    if (state_->faults.ShouldFail("RegCreateKeyExA", text, &code)) {
        return code;
    }
    if (given.size() > kMaxAnsiPath) {
        return kErrorMoreData;
    }
    std::vector<std::string> parts;
    if (!SplitKeyPath(version_.codePage(), text, &parts)) {
        return kErrorBadPathname;
    }
    const bool existed = KeyExists(text);
    CreateKey(text);
    if (created != nullptr) {
        *created = !existed;
    }
    const std::uint32_t granted = version_.family() == Family::Win9x ? kAllAccess : access;
    *key = std::make_unique<SimRegistryKey>(
        state_, FindKey(version_.codePage(), state_->Root(RegistryRoot::LocalMachine), text), text,
        granted);
    return kErrorSuccess;
}

int SimRegistry::openKeyCount() const {
    return state_->openKeys;
}

bool SimRegistry::CreateKey(const std::string& path, RegistryRoot root) {
    ++state_->changes;
    std::vector<std::string> parts;
    if (!SplitKeyPath(version_.codePage(), path, &parts)) {
        return false;
    }
    std::shared_ptr<Node> node = state_->Root(root);
    for (const std::string& part : parts) {
        std::shared_ptr<Node>& subkey = node->subkeys[part];
        if (!subkey) {
            subkey = std::make_shared<Node>();
        }
        node = subkey;
    }
    return true;
}

bool SimRegistry::KeyExists(const std::string& path, RegistryRoot root) const {
    return FindKey(version_.codePage(), state_->Root(root), path) != nullptr;
}

bool SimRegistry::RemoveTree(const std::string& path, RegistryRoot root) {
    ++state_->changes;
    std::vector<std::string> parts;
    if (!SplitKeyPath(version_.codePage(), path, &parts) || parts.empty()) {
        return false;
    }
    const std::string last = parts.back();
    parts.pop_back();
    std::shared_ptr<Node> parent = state_->Root(root);
    for (const std::string& part : parts) {
        const auto found = parent->subkeys.find(part);
        if (found == parent->subkeys.end()) {
            return false;
        }
        parent = found->second;
    }
    const auto found = parent->subkeys.find(last);
    if (found == parent->subkeys.end()) {
        return false;
    }
    MarkDeleted(*found->second);
    parent->subkeys.erase(found);
    return true;
}

std::vector<std::string> SimRegistry::SubkeyNames(const std::string& path,
                                                  RegistryRoot root) const {
    std::vector<std::string> names;
    if (const std::shared_ptr<Node> node = FindKey(version_.codePage(), state_->Root(root), path)) {
        for (const auto& subkey : node->subkeys) {
            names.push_back(subkey.first);
        }
    }
    return names;
}

bool SimRegistry::SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                           std::string bytes, RegistryRoot root) {
    ++state_->changes;
    if (!CreateKey(path, root)) {
        return false;
    }
    StoreValue(*FindKey(version_.codePage(), state_->Root(root), path), name, type,
               std::move(bytes));
    return true;
}

bool SimRegistry::SetString(const std::string& path, const std::string& name,
                            const std::string& text, RegistryRoot root) {
    return SetValue(path, name, kRegSz, text + '\0', root);
}

bool SimRegistry::RemoveValue(const std::string& path, const std::string& name, RegistryRoot root) {
    ++state_->changes;
    const std::shared_ptr<Node> node = FindKey(version_.codePage(), state_->Root(root), path);
    return node && EraseValue(*node, name);
}

std::optional<RegValue> SimRegistry::Value(const std::string& path, const std::string& name,
                                           RegistryRoot root) const {
    const std::shared_ptr<Node> node = FindKey(version_.codePage(), state_->Root(root), path);
    if (!node) {
        return std::nullopt;
    }
    const auto found = node->values.find(name);
    if (found == node->values.end()) {
        return std::nullopt;
    }
    return found->second;
}

long SimRegistry::changeCount() const {
    return state_->changes;
}

void SimRegistry::VisitKeys(const KeyVisitor& visit, RegistryRoot root) const {
    VisitBelow(*state_->Root(root), "", visit);
}

}  // namespace drvsweep::sim
