#include "removal/folder_tree.h"

#include <cstring>
#include <memory>

#include "platform/fixed_text.h"
#include "platform/win32_codes.h"
#include "platform/working_folder.h"

namespace drvsweep {

namespace {

bool IsDotEntry(const PathText& name) {
    return std::strcmp(name.c_str(), ".") == 0 || std::strcmp(name.c_str(), "..") == 0;
}

// Every child path is longer than its parent and must fit 260 bytes, which bounds the depth of
// the recursion whatever the folders hold.
void DeleteEntry(FileSystem& files, const CodePage& codePage, const char* folder,
                 const FoundFile& entry) {
    const char* name = entry.name.c_str();
    files.SetAttributes(name, kFileAttributeArchive);
    if (entry.attributes != kFileAttributeDirectory) {
        files.RemoveFile(name);
        return;
    }
    // A folder whose name ends in a two-byte character with 0x5C as its second byte, such as
    // Big5 功, does not end in a separator.
    PathText child;
    if (child.appendAll(folder, EndsWithBackslash(codePage, folder) ? "" : "\\", name)) {
        DeleteTreeContents(files, codePage, child.c_str());
    }
    files.RemoveFolder(name);
}

}  // namespace

void DeleteTreeContents(FileSystem& files, const CodePage& codePage, const char* path) {
    SavedWorkingFolder saved(files);
    // Listing without having entered the folder would list, and delete in, whatever folder is
    // the working directory: for a subfolder, its parent.
    if (!saved.saved() || !files.SetCurrentFolder(path)) {
        return;
    }
    FoundFile entry;
    const std::unique_ptr<FileSearch> search = files.FindFirst("*.*", &entry);
    if (search == nullptr) {
        return;
    }
    do {
        if (!IsDotEntry(entry.name)) {
            DeleteEntry(files, codePage, path, entry);
        }
    } while (search->Next(&entry));
}

void DeleteTree(FileSystem& files, const CodePage& codePage, const char* path) {
    DeleteTreeContents(files, codePage, path);
    files.RemoveFolder(path);
}

}  // namespace drvsweep
