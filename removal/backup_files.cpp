#include "removal/backup_files.h"

#include <cstring>
#include <memory>

#include "platform/win32_codes.h"

namespace drvsweep {

bool ListFolder(FileSystem& files, const std::string& folder, std::vector<FoundFile>* entries) {
    entries->clear();
    FoundFile entry;
    const std::unique_ptr<FileSearch> search = files.FindFirst((folder + "\\*").c_str(), &entry);
    if (search == nullptr) {
        // An empty folder still lists "." and "..": no listing at all means no folder.
        return false;
    }
    do {
        if (std::strcmp(entry.name.c_str(), ".") != 0 &&
            std::strcmp(entry.name.c_str(), "..") != 0) {
            entries->push_back(entry);
        }
    } while (search->Next(&entry));
    return true;
}

bool FindEntry(FileSystem& files, const std::string& path, std::uint32_t* attributes) {
    FoundFile entry;
    if (files.FindFirst(path.c_str(), &entry) == nullptr) {
        return false;
    }
    *attributes = entry.attributes;
    return true;
}

bool IsPlainFolder(FileSystem& files, const std::string& path) {
    std::uint32_t attributes = 0;
    return FindEntry(files, path, &attributes) &&
           (attributes & (kFileAttributeDirectory | kFileAttributeReparsePoint)) ==
               kFileAttributeDirectory;
}

bool RelativeBelow(const CodePage& codePage, const std::string& folder, const std::string& path,
                   std::string* relative) {
    if (folder.empty() || path.size() <= folder.size() + 1 || path[folder.size()] != '\\' ||
        !StartsWithIgnoringCase(codePage, path.c_str(), folder.c_str()) ||
        EndsWithBackslash(codePage, folder.c_str())) {
        return false;
    }
    *relative = path.substr(folder.size() + 1);
    return true;
}

std::string ParentFolder(const std::string& path) {
    const std::size_t last = path.rfind('\\');
    return last == std::string::npos ? std::string() : path.substr(0, last);
}

bool IsPlainRelativePath(const CodePage& codePage, const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        return false;
    }
    std::string component;
    for (const char* c = path.c_str();; c = NextChar(codePage, c)) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        const bool single = NextChar(codePage, c) == c + 1 || *c == '\0';
        if (*c == '\0' || (single && byte == '\\')) {
            if (component.empty() || component == "." || component == ".." ||
                component.back() == ' ' || component.back() == '.') {
                return false;
            }
            if (*c == '\0') {
                return true;
            }
            component.clear();
            continue;
        }
        if (single && (byte < 0x20 || std::strchr("/:*?\"<>|", byte) != nullptr)) {
            return false;
        }
        component.append(c, static_cast<std::size_t>(NextChar(codePage, c) - c));
    }
}

}  // namespace drvsweep
