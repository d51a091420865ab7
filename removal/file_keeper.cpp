#include "removal/file_keeper.h"

#include <cstring>
#include <memory>

#include "discovery/inf_folder.h"
#include "platform/text_reads.h"
#include "platform/win32_codes.h"

namespace drvsweep {

namespace {

constexpr std::uint32_t kMaxInfBytes = 32u * 1024u * 1024u;
constexpr char kBeyondAscii = 0x7F;

bool IsNameBreak(char c) {
    return static_cast<unsigned char>(c) <= ' ' || std::strchr(",=;\"%\\/[]:@", c) != nullptr;
}

bool IsUtf16(const std::string& bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        return true;
    }
    return bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0';
}

char FoldAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
}

}  // namespace

std::string FoldedInfText(const CodePage& codePage, const std::string& bytes) {
    std::string text;
    text.reserve(bytes.size());
    if (IsUtf16(bytes)) {
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const unsigned unit = static_cast<unsigned char>(bytes[i]) |
                                  (static_cast<unsigned char>(bytes[i + 1]) << 8);
            // A surrogate pair is one character: its second half adds nothing.
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                continue;
            }
            text.push_back(unit < 0x80 ? FoldAscii(static_cast<unsigned char>(unit))
                                       : kBeyondAscii);
        }
        return text;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            text.push_back(FoldAscii(c));
            continue;
        }
        if (codePage.IsLeadByte(c) && i + 1 < bytes.size()) {
            ++i;
        }
        text.push_back(kBeyondAscii);
    }
    return text;
}

void FileKeeper::ReadInfFoldersOnce() {
    if (read_) {
        return;
    }
    read_ = true;
    PathText windows;
    if (!ReadWindowsFolder(platform_.files, platform_.version.AnsiCodePage(), &windows)) {
        unreadable_ = "the Windows folder cannot be read";
        return;
    }
    for (const char* piece : {"\\inf", "\\inf\\other"}) {
        PathText folder;
        if (folder.appendAll(windows, piece) &&
            (piece[4] == '\0' || CurrentFamily(platform_.version) == Family::Win9x)) {
            ReadInfFolder(folder);
        }
    }
}

void FileKeeper::ReadInfFolder(const PathText& folder) {
    PathText pattern;
    FoundFile found;
    if (!pattern.appendAll(folder, "\\*.inf")) {
        unreadable_ = "the INF folder's path is too long";
        return;
    }
    const std::unique_ptr<FileSearch> search = platform_.files.FindFirst(pattern.c_str(), &found);
    if (search == nullptr) {
        return;
    }
    const CodePage codePage = platform_.version.AnsiCodePage();
    do {
        PathText path;
        std::string bytes;
        if ((found.attributes & kFileAttributeDirectory) != 0) {
            continue;
        }
        if (!path.appendAll(folder, "\\", found.name) ||
            platform_.files.ReadWholeFile(path.c_str(), kMaxInfBytes, &bytes) != FileRead::Read) {
            unreadable_ = std::string(found.name.c_str()) + " cannot be read";
            continue;
        }
        const std::size_t index = infs_.size();
        infs_.push_back(path);
        texts_.push_back(FoldedInfText(codePage, bytes));
        const std::string& text = texts_.back();
        std::size_t start = 0;
        for (std::size_t at = 0; at <= text.size(); ++at) {
            if (at == text.size() || IsNameBreak(text[at])) {
                if (at > start) {
                    std::vector<std::size_t>& holders = names_[text.substr(start, at - start)];
                    if (holders.empty() || holders.back() != index) {
                        holders.push_back(index);
                    }
                }
                start = at + 1;
            }
        }
    } while (search->Next(&found));
}

std::string FileKeeper::ListedBy(const char* name, const std::vector<PathText>& removedInfs) {
    const CodePage codePage = platform_.version.AnsiCodePage();
    const std::string folded = FoldedInfText(codePage, name);
    std::vector<std::size_t> holders;
    if (folded.find(' ') == std::string::npos) {
        const auto found = names_.find(folded);
        if (found != names_.end()) {
            holders = found->second;
        }
    } else {
        // A name with blanks is no single word of the text: find it whole between breaks.
        for (std::size_t index = 0; index < texts_.size(); ++index) {
            const std::string& text = texts_[index];
            for (std::size_t at = text.find(folded); at != std::string::npos;
                 at = text.find(folded, at + 1)) {
                const std::size_t end = at + folded.size();
                if ((at == 0 || IsNameBreak(text[at - 1])) &&
                    (end == text.size() || IsNameBreak(text[end]))) {
                    holders.push_back(index);
                    break;
                }
            }
        }
    }
    for (std::size_t index : holders) {
        bool removed = false;
        for (const PathText& inf : removedInfs) {
            removed = removed || EqualsIgnoringCase(codePage, inf.c_str(), infs_[index].c_str());
        }
        FoundFile found;
        // An INF an earlier removal of the run took names nothing any more.
        if (!removed && platform_.files.FindFirst(infs_[index].c_str(), &found) != nullptr) {
            return std::string("listed by ") + FileNamePart(infs_[index].c_str());
        }
    }
    return {};
}

bool FileKeeper::IsCountedShared(const char* path) {
    for (RegistryView view : {RegistryView::Native, RegistryView::Wow32}) {
        std::unique_ptr<RegistryKey> key;
        std::uint32_t count = 0;
        std::uint32_t size = sizeof(count);
        if (platform_.registry.OpenKeyInView(
                "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", kKeyQueryValue, view,
                &key) == kErrorSuccess &&
            key->QueryValue(path, &count, &size) == kErrorSuccess && size == sizeof(count) &&
            count > 0) {
            return true;
        }
    }
    return false;
}

std::string FileKeeper::WhyKept(const char* path, const std::vector<PathText>& removedInfs) {
    ReadInfFoldersOnce();
    if (!unreadable_.empty()) {
        return "another INF may list it: " + unreadable_;
    }
    std::string reason = ListedBy(FileNamePart(path), removedInfs);
    if (!reason.empty()) {
        return reason;
    }
    if (platform_.fileFacts.IsProtectedSystemFile(path) == FactAnswer::Yes) {
        return "Windows protects it";
    }
    if (IsCountedShared(path)) {
        return "SharedDLLs counts it";
    }
    std::string company;
    if (platform_.fileFacts.CompanyName(path, &company) == FactAnswer::Yes &&
        StartsWithIgnoringCase(platform_.version.AnsiCodePage(), company.c_str(), "Microsoft")) {
        return "a Windows file (" + company + ")";
    }
    return {};
}

}  // namespace drvsweep
