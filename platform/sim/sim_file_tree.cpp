#include "platform/sim/sim_file_tree.h"

#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "platform/multibyte_text.h"
#include "platform/sim/ascii_case.h"
#include "platform/sim/code_page.h"
#include "platform/sim/file_name_match.h"
#include "platform/win32_codes.h"

namespace drvsweep::sim {

namespace {

constexpr std::size_t kMaxComponent = 255;

std::uint32_t CopyOut(const std::string& text, char* buffer, std::uint32_t size) {
    const auto length = static_cast<std::uint32_t>(text.size());
    if (buffer == nullptr || length >= size) {
        return length + 1;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return length;
}

// Applies one path's components to `parts` as Windows normalises them.
void ApplyComponents(const CodePage& codePage, const std::string& path,
                     std::vector<std::string>* parts) {
    std::size_t start = 0;
    while (start <= path.size()) {
        const char* separator = FindFirstBackslash(codePage, path.c_str() + start);
        const std::size_t end =
            separator == nullptr ? path.size() : static_cast<std::size_t>(separator - path.c_str());
        std::string part = path.substr(start, end - start);
        start = end + 1;
        if (part == "..") {
            if (!parts->empty()) {
                parts->pop_back();
            }
            continue;
        }
        while (!part.empty() && (part.back() == '.' || part.back() == ' ')) {
            part.pop_back();
        }
        if (!part.empty()) {
            parts->push_back(std::move(part));
        }
    }
}

bool HasDrive(const std::string& path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

std::string DriveKey(const std::string& drive) {
    return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0])))) +
           ":";
}

}  // namespace

struct SimFileTree::Entry {
    std::string name;
    bool folder = true;
    std::uint32_t attributes = kFileAttributeDirectory;
    std::string bytes;
    bool inUse = false;
    Entry* parent = nullptr;
    std::map<std::string, std::unique_ptr<Entry>, UpperCaseLess> children;
};

struct SimFileTree::Resolved {
    std::string drive;  // as the caller wrote it, "C:" or "c:"
    std::vector<std::string> parts;

    std::string text() const {
        std::string text = drive + "\\";
        for (std::size_t i = 0; i < parts.size(); ++i) {
            text += (i > 0 ? "\\" : "") + parts[i];
        }
        return text;
    }
};

struct SimFileTree::State {
    explicit State(SimFaults& faultsIn) : faults(faultsIn) {}
    SimFaults& faults;
    int openSearches = 0;
};

namespace {

class SimFileSearch : public FileSearch {
public:
    SimFileSearch(std::shared_ptr<SimFileTree::State> state, std::string pattern,
                  std::vector<FoundFile> entries)
        : state_(std::move(state)), pattern_(std::move(pattern)), entries_(std::move(entries)) {
        ++state_->openSearches;
    }
    ~SimFileSearch() override {
        long ignored = 0;
        state_->faults.ShouldFail("FindClose", pattern_, &ignored);
        --state_->openSearches;
    }
    SimFileSearch(const SimFileSearch&) = delete;
    SimFileSearch& operator=(const SimFileSearch&) = delete;

    bool Next(FoundFile* entry) override {
        long ignored = 0;
        if (state_->faults.ShouldFail("FindNextFileA", pattern_, &ignored) ||
            next_ == entries_.size()) {
            return false;
        }
        *entry = entries_[next_++];
        return true;
    }

private:
    std::shared_ptr<SimFileTree::State> state_;
    std::string pattern_;
    std::vector<FoundFile> entries_;
    std::size_t next_ = 1;  // entry 0 went out with FindFirstFileA
};

FoundFile MakeFound(const std::string& name, std::uint32_t attributes) {
    FoundFile found;
    found.attributes = attributes;
    found.name.assign(name.c_str());
    return found;
}

}  // namespace

namespace {

template <typename EntryType>
void VisitTree(const EntryType& entry, const std::string& path,
               const SimFileTree::EntryVisitor& visit) {
    visit(path, entry.folder, entry.attributes, entry.bytes.size(), entry.inUse);
    for (const auto& child : entry.children) {
        VisitTree(*child.second, path + "\\" + child.second->name, visit);
    }
}

}  // namespace

SimFileTree::SimFileTree(SimFaults& faults, const SimVersion& version, SimRegistry& registry)
    : state_(std::make_shared<State>(faults)),
      version_(version),
      registry_(registry),
      drives_(std::make_unique<Entry>()) {
    AddFolder(windowsFolder_);
}

SimFileTree::~SimFileTree() = default;

bool SimFileTree::Resolve(const std::string& path, Resolved* resolved) const {
    std::string text = path;
    for (char& c : text) {
        if (c == '/') {
            c = '\\';
        }
    }
    if (text.empty() || text.compare(0, 2, "\\\\") == 0) {
        return false;  // no network paths in the simulation
    }
    Resolved current;
    current.drive = currentFolder_.substr(0, 2);
    const CodePage& codePage = version_.codePage();
    ApplyComponents(codePage, currentFolder_.substr(2), &current.parts);
    if (HasDrive(text)) {
        resolved->drive = text.substr(0, 2);
        text = text.substr(2);
        if (text.empty() || text[0] != '\\') {
            // "X:name" is relative to the working directory when it is on drive X.
            if (DriveKey(resolved->drive) == DriveKey(current.drive)) {
                resolved->parts = current.parts;
            }
        }
    } else {
        resolved->drive = current.drive;
        if (text[0] != '\\') {
            resolved->parts = current.parts;
        }
    }
    ApplyComponents(codePage, text, &resolved->parts);
    return true;
}

SimFileTree::Entry* SimFileTree::FindParent(const Resolved& resolved) const {
    const auto drive = drives_->children.find(DriveKey(resolved.drive));
    if (drive == drives_->children.end() || resolved.parts.empty()) {
        return nullptr;
    }
    Entry* entry = drive->second.get();
    for (std::size_t i = 0; i + 1 < resolved.parts.size(); ++i) {
        const auto found = entry->children.find(resolved.parts[i]);
        if (found == entry->children.end() || !found->second->folder) {
            return nullptr;
        }
        entry = found->second.get();
    }
    return entry;
}

SimFileTree::Entry* SimFileTree::Find(const Resolved& resolved) const {
    if (resolved.parts.empty()) {
        const auto drive = drives_->children.find(DriveKey(resolved.drive));
        return drive == drives_->children.end() ? nullptr : drive->second.get();
    }
    Entry* parent = FindParent(resolved);
    if (parent == nullptr) {
        return nullptr;
    }
    const auto found = parent->children.find(resolved.parts.back());
    return found == parent->children.end() ? nullptr : found->second.get();
}

SimFileTree::Entry* SimFileTree::Create(const Resolved& resolved, bool folder) {
    std::unique_ptr<Entry>& drive = drives_->children[DriveKey(resolved.drive)];
    if (!drive) {
        drive = std::make_unique<Entry>();
        drive->name = DriveKey(resolved.drive);
        drive->parent = drives_.get();
    }
    Entry* entry = drive.get();
    for (std::size_t i = 0; i < resolved.parts.size(); ++i) {
        const std::string& name = resolved.parts[i];
        const bool last = i + 1 == resolved.parts.size();
        if (!entry->folder || name.size() > kMaxComponent) {
            return nullptr;
        }
        std::unique_ptr<Entry>& child = entry->children[name];
        if (!child) {
            child = std::make_unique<Entry>();
            child->name = name;
            child->folder = !last || folder;
            child->parent = entry;
        }
        if (last && child->folder != folder) {
            return nullptr;
        }
        entry = child.get();
    }
    return entry;
}

bool SimFileTree::Fail(long error) {
    lastError_ = error;
    return false;
}

bool SimFileTree::BeginCall(const char* call, const char* path, Resolved* resolved) {
    const std::string text = path ? path : "";
    const bool resolves = Resolve(text, resolved);
    long code = 0;
    if (state_->faults.ShouldFail(call, resolves ? resolved->text() : text, &code)) {
        return Fail(code);
    }
    return resolves || Fail(kErrorPathNotFound);
}

long SimFileTree::MissingError(const Resolved& resolved) const {
    return FindParent(resolved) != nullptr ? kErrorFileNotFound : kErrorPathNotFound;
}

std::uint32_t SimFileTree::WindowsFolder(char* path, std::uint32_t size) {
    long code = 0;
    if (state_->faults.ShouldFail("GetWindowsDirectoryA", "", &code)) {
        lastError_ = code;
        return 0;
    }
    return CopyOut(windowsFolder_, path, size);
}

std::uint32_t SimFileTree::CurrentFolder(char* path, std::uint32_t size) {
    long code = 0;
    if (state_->faults.ShouldFail("GetCurrentDirectoryA", "", &code)) {
        lastError_ = code;
        return 0;
    }
    return CopyOut(currentFolder_, path, size);
}

bool SimFileTree::SetCurrentFolder(const char* path) {
    Resolved resolved;
    if (!BeginCall("SetCurrentDirectoryA", path, &resolved)) {
        return false;
    }
    const Entry* entry = Find(resolved);
    if (entry == nullptr) {
        return Fail(MissingError(resolved));
    }
    if (!entry->folder) {
        return Fail(kErrorDirectory);
    }
    currentFolder_ = resolved.text();
    return true;
}

std::unique_ptr<FileSearch> SimFileTree::FindFirst(const char* pattern, FoundFile* first) {
    const std::string text = pattern ? pattern : "";
    Resolved resolved;
    if (!BeginCall("FindFirstFileA", pattern, &resolved)) {
        return nullptr;
    }
    if (resolved.parts.empty() || EndsWithBackslash(version_.codePage(), text.c_str()) ||
        text.back() == '/') {
        Fail(kErrorFileNotFound);
        return nullptr;
    }
    const std::string namePattern = resolved.parts.back();
    const Entry* folder = FindParent(resolved);
    if (folder == nullptr) {
        Fail(kErrorPathNotFound);
        return nullptr;
    }
    std::vector<FoundFile> entries;
    if (folder->parent != drives_.get()) {
        const std::pair<const char*, const Entry*> dots[] = {{".", folder}, {"..", folder->parent}};
        for (const auto& dot : dots) {
            if (MatchesFilePattern(dot.first, namePattern)) {
                entries.push_back(MakeFound(dot.first, dot.second->attributes));
            }
        }
    }
    for (const auto& child : folder->children) {
        if (MatchesFilePattern(child.first, namePattern)) {
            entries.push_back(MakeFound(child.first, child.second->attributes));
        }
    }
    if (entries.empty()) {
        Fail(kErrorFileNotFound);
        return nullptr;
    }
    *first = entries.front();
    return std::make_unique<SimFileSearch>(state_, resolved.text(), std::move(entries));
}

bool SimFileTree::SetAttributes(const char* path, std::uint32_t attributes) {
    ++changes_;
    Resolved resolved;
    if (!BeginCall("SetFileAttributesA", path, &resolved)) {
        return false;
    }
    Entry* entry = Find(resolved);
    if (entry == nullptr) {
        return Fail(MissingError(resolved));
    }
    const std::uint32_t kept = attributes & (kFileAttributeHidden | kFileAttributeSystem);
    entry->attributes = entry->folder
                            ? kept | kFileAttributeDirectory
                            : kept | kFileAttributeArchive | (attributes & kFileAttributeReadOnly);
    return true;
}

bool SimFileTree::RemoveFile(const char* path) {
    ++changes_;
    Resolved resolved;
    if (!BeginCall("DeleteFileA", path, &resolved)) {
        return false;
    }
    Entry* entry = Find(resolved);
    if (entry == nullptr) {
        return Fail(MissingError(resolved));
    }
    if (entry->folder || (entry->attributes & kFileAttributeReadOnly) != 0) {
        return Fail(kErrorAccessDenied);
    }
    if (entry->inUse) {
        return Fail(kErrorSharingViolation);
    }
    entry->parent->children.erase(entry->name);
    return true;
}

bool SimFileTree::RemoveFolder(const char* path) {
    ++changes_;
    Resolved resolved;
    if (!BeginCall("RemoveDirectoryA", path, &resolved)) {
        return false;
    }
    Entry* entry = Find(resolved);
    if (entry == nullptr) {
        return Fail(MissingError(resolved));
    }
    if (!entry->folder) {
        return Fail(kErrorDirectory);
    }
    Resolved current;
    Resolve(currentFolder_, &current);
    if (entry == Find(current) || entry->inUse) {
        return Fail(kErrorSharingViolation);
    }
    if (resolved.parts.empty() || (entry->attributes & kFileAttributeReadOnly) != 0) {
        return Fail(kErrorAccessDenied);
    }
    if (!entry->children.empty()) {
        return Fail(kErrorDirNotEmpty);
    }
    entry->parent->children.erase(entry->name);
    return true;
}

bool SimFileTree::DeleteAtRestart(const char* path) {
    ++changes_;
    Resolved resolved;
    if (!BeginCall("MoveFileExA", path, &resolved)) {
        return false;
    }
    if (version_.family() != Family::Nt) {
        return Fail(kErrorCallNotImplemented);
    }
    std::string list;
    if (const std::optional<RegValue> value =
            registry_.Value(kSessionManagerKey, kPendingRenamesValue)) {
        list = value->bytes;
        // The list ends in the empty string that closes a REG_MULTI_SZ; the entry goes before it.
        if (!list.empty() && list.back() == '\0') {
            list.pop_back();
        }
    }
    list += "\\??\\" + resolved.text() + '\0' + '\0' + '\0';
    registry_.SetValue(kSessionManagerKey, kPendingRenamesValue, kRegMultiSz, list);
    return true;
}

std::uint32_t SimFileTree::ShortPath(const char* path, char* shortPath, std::uint32_t size) {
    Resolved resolved;
    if (!BeginCall("GetShortPathNameA", path, &resolved)) {
        return 0;
    }
    if (Find(resolved) == nullptr) {
        Fail(MissingError(resolved));
        return 0;
    }
    std::string text = resolved.drive + "\\";
    for (std::size_t i = 0; i < resolved.parts.size(); ++i) {
        const std::string shortName = ShortFileName(resolved.parts[i]);
        text += (i > 0 ? "\\" : "") + (shortName.empty() ? resolved.parts[i] : shortName);
    }
    return CopyOut(text, shortPath, size);
}

FileRead SimFileTree::ReadWholeFile(const char* path, std::uint32_t maxBytes, std::string* bytes) {
    Resolved resolved;
    if (!BeginCall("ReadFile", path, &resolved)) {
        return FileRead::Failed;
    }
    const Entry* entry = Find(resolved);
    if (entry == nullptr) {
        Fail(MissingError(resolved));
        return FileRead::Missing;
    }
    if (entry->folder) {
        Fail(kErrorAccessDenied);
        return FileRead::Failed;
    }
    if (entry->bytes.size() > maxBytes) {
        return FileRead::Failed;
    }
    *bytes = entry->bytes;
    return FileRead::Read;
}

bool SimFileTree::WriteWholeFile(const char* path, const std::string& bytes) {
    ++changes_;
    Resolved resolved;
    if (!BeginCall("WriteFile", path, &resolved)) {
        return false;
    }
    Entry* entry = Find(resolved);
    if (entry == nullptr) {
        if (FindParent(resolved) == nullptr) {
            return Fail(kErrorPathNotFound);
        }
        entry = Create(resolved, false);
        if (entry == nullptr) {
            return Fail(kErrorPathNotFound);
        }
    } else if (entry->folder ||
               (entry->attributes &
                (kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem)) != 0) {
        return Fail(kErrorAccessDenied);
    } else if (entry->inUse) {
        return Fail(kErrorSharingViolation);
    }
    entry->bytes = bytes;
    entry->attributes = kFileAttributeArchive;
    return true;
}

bool SimFileTree::RenameFile(const char* from, const char* to) {
    ++changes_;
    Resolved source;
    if (!BeginCall("MoveFileA", from, &source)) {
        return false;
    }
    Resolved target;
    if (!Resolve(to ? to : "", &target)) {
        return Fail(kErrorPathNotFound);
    }
    Entry* entry = Find(source);
    if (entry == nullptr) {
        return Fail(MissingError(source));
    }
    Entry* parent = FindParent(target);
    if (parent == nullptr) {
        return Fail(kErrorPathNotFound);
    }
    if (Find(target) != nullptr) {
        return Fail(kErrorAlreadyExists);
    }
    if (source.parts.empty() || target.parts.back().size() > kMaxComponent) {
        return Fail(kErrorAccessDenied);
    }
    for (const Entry* above = parent; above != nullptr; above = above->parent) {
        if (above == entry) {
            return Fail(kErrorAccessDenied);
        }
    }
    bool held = false;
    VisitTree(*entry, "",
              [&held](const std::string&, bool, std::uint32_t, std::size_t, bool inUse) {
                  held = held || inUse;
              });
    // The working directory is held open like an entry in use, so no folder above it moves.
    Resolved current;
    Resolve(currentFolder_, &current);
    for (const Entry* above = Find(current); above != nullptr && !held; above = above->parent) {
        held = above == entry;
    }
    if (held) {
        return Fail(kErrorSharingViolation);
    }
    std::unique_ptr<Entry> moved = std::move(entry->parent->children[entry->name]);
    entry->parent->children.erase(entry->name);
    moved->name = target.parts.back();
    moved->parent = parent;
    parent->children[moved->name] = std::move(moved);
    return true;
}

bool SimFileTree::MakeFolder(const char* path) {
    ++changes_;
    Resolved resolved;
    if (!BeginCall("CreateDirectoryA", path, &resolved)) {
        return false;
    }
    if (Find(resolved) != nullptr) {
        return Fail(kErrorAlreadyExists);
    }
    const Entry* parent = FindParent(resolved);
    if (parent == nullptr || !parent->folder) {
        return Fail(kErrorPathNotFound);
    }
    if (resolved.parts.back().size() > kMaxComponent) {
        return Fail(kErrorFilenameExcedRange);
    }
    Create(resolved, true);
    return true;
}

bool SimFileTree::MakeAdministratorsFolder(const char* path) {
    long code = 0;
    if (state_->faults.ShouldFail("ConvertStringSecurityDescriptorToSecurityDescriptorA",
                                  path ? path : "", &code)) {
        return Fail(code);
    }
    if (version_.family() != Family::Nt) {
        return Fail(kErrorCallNotImplemented);
    }
    if (MakeFolder(path)) {
        Resolved resolved;
        Resolve(path, &resolved);
        securedFolders_.push_back(resolved.text());
        return true;
    }
    return lastError_ == kErrorAlreadyExists;
}

std::uint32_t SimFileTree::CommonAppDataFolder(char* path, std::uint32_t size) {
    long code = 0;
    if (state_->faults.ShouldFail("SHGetFolderPathA", "", &code)) {
        lastError_ = code;
        return 0;
    }
    return commonAppDataFolder_.empty() ? 0 : CopyOut(commonAppDataFolder_, path, size);
}

int SimFileTree::openSearchCount() const {
    return state_->openSearches;
}

bool SimFileTree::AddFolder(const std::string& path, std::uint32_t attributes) {
    ++changes_;
    Resolved resolved;
    Entry* entry = Resolve(path, &resolved) ? Create(resolved, true) : nullptr;
    if (entry == nullptr) {
        return false;
    }
    entry->attributes = attributes;
    return true;
}

bool SimFileTree::AddFile(const std::string& path, const std::string& bytes,
                          std::uint32_t attributes) {
    ++changes_;
    Resolved resolved;
    Entry* entry =
        Resolve(path, &resolved) && !resolved.parts.empty() ? Create(resolved, false) : nullptr;
    if (entry == nullptr) {
        return false;
    }
    entry->bytes = bytes;
    entry->attributes = attributes;
    return true;
}

bool SimFileTree::Erase(const std::string& path) {
    Resolved resolved;
    Entry* entry = Resolve(path, &resolved) ? Find(resolved) : nullptr;
    if (entry == nullptr || resolved.parts.empty()) {
        return false;
    }
    entry->parent->children.erase(entry->name);
    return true;
}

bool SimFileTree::Exists(const std::string& path) const {
    return Attributes(path) != kInvalidFileAttributes;
}

std::uint32_t SimFileTree::Attributes(const std::string& path) const {
    Resolved resolved;
    const Entry* entry = Resolve(path, &resolved) ? Find(resolved) : nullptr;
    return entry ? entry->attributes : kInvalidFileAttributes;
}

bool SimFileTree::SetRawAttributes(const std::string& path, std::uint32_t attributes) {
    ++changes_;
    Resolved resolved;
    Entry* entry = Resolve(path, &resolved) ? Find(resolved) : nullptr;
    if (entry == nullptr) {
        return false;
    }
    entry->attributes = attributes;
    return true;
}

std::vector<std::string> SimFileTree::ListNames(const std::string& folder) const {
    std::vector<std::string> names;
    Resolved resolved;
    if (const Entry* entry = Resolve(folder, &resolved) ? Find(resolved) : nullptr) {
        for (const auto& child : entry->children) {
            names.push_back(child.first);
        }
    }
    return names;
}

bool SimFileTree::ReadFile(const std::string& path, std::string* bytes) const {
    Resolved resolved;
    const Entry* entry = Resolve(path, &resolved) ? Find(resolved) : nullptr;
    if (entry == nullptr || entry->folder) {
        return false;
    }
    *bytes = entry->bytes;
    return true;
}

void SimFileTree::SetInUse(const std::string& path, bool inUse) {
    Resolved resolved;
    if (Entry* entry = Resolve(path, &resolved) ? Find(resolved) : nullptr) {
        entry->inUse = inUse;
    }
}

bool SimFileTree::MapHostFolder(const std::string& hostFolder, const std::string& folder,
                                std::string* error) {
    namespace fs = std::filesystem;
    if (!AddFolder(folder)) {
        *error = "cannot create " + folder;
        return false;
    }
    std::error_code code;
    std::set<std::string, UpperCaseLess> names;
    for (fs::directory_iterator it(hostFolder, code), end; !code && it != end; it.increment(code)) {
        std::string name;
        if (!HostNameToAnsi(it->path().filename().string(), version_.codePage().id(), &name)) {
            *error = it->path().string() + ": the name has no form in the ANSI code page";
            return false;
        }
        const std::string target = folder + "\\" + name;
        if (!names.insert(name).second) {
            *error = it->path().string() + ": another name differs from it only in case";
            return false;
        }
        if (it->is_directory(code)) {
            if (!MapHostFolder(it->path().string(), target, error)) {
                return false;
            }
            continue;
        }
        std::ifstream file(it->path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file),
                                std::istreambuf_iterator<char>()};
        if (!file || !AddFile(target, bytes)) {
            *error = "cannot copy " + it->path().string() + " to " + target;
            return false;
        }
    }
    if (code) {
        *error = "cannot list " + hostFolder + ": " + code.message();
        return false;
    }
    return true;
}

void SimFileTree::VisitEntries(const EntryVisitor& visit) const {
    for (const auto& drive : drives_->children) {
        VisitTree(*drive.second, drive.second->name, visit);
    }
}

}  // namespace drvsweep::sim
