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

// The worse of two outcomes: a folder is no better off than what it holds.
ItemOutcome Worse(ItemOutcome a, ItemOutcome b) {
    return static_cast<int>(a) > static_cast<int>(b) ? a : b;
}

// What becomes of an entry that stayed. Without a handler (the plain deletions) nothing more
// is done, and nothing is asked of the system.
ItemOutcome Left(const LeftEntryHandler* handleLeft, const char* path, bool folder,
                 ItemOutcome content) {
    return handleLeft == nullptr ? ItemOutcome::StillThere : (*handleLeft)(path, folder, content);
}

ItemOutcome WalkContents(FileSystem& files, const CodePage& codePage, const char* path,
                         const LeftEntryHandler* handleLeft);

// Every child path is longer than its parent and must fit 260 bytes, which bounds the depth of
// the recursion whatever the folders hold.
ItemOutcome DeleteEntry(FileSystem& files, const CodePage& codePage, const char* folder,
                        const FoundFile& entry, const LeftEntryHandler* handleLeft) {
    const char* name = entry.name.c_str();
    // A folder whose name ends in a two-byte character with 0x5C as its second byte, such as
    // Big5 功, does not end in a separator.
    PathText child;
    const bool named =
        child.appendAll(folder, EndsWithBackslash(codePage, folder) ? "" : "\\", name);
    files.SetAttributes(name, kFileAttributeArchive);
    if (entry.attributes != kFileAttributeDirectory) {
        if (files.RemoveFile(name)) {
            return ItemOutcome::Deleted;
        }
        return named ? Left(handleLeft, child.c_str(), false, ItemOutcome::Deleted)
                     : ItemOutcome::StillThere;
    }
    const ItemOutcome content =
        named ? WalkContents(files, codePage, child.c_str(), handleLeft) : ItemOutcome::StillThere;
    if (files.RemoveFolder(name)) {
        return ItemOutcome::Deleted;
    }
    return named ? Left(handleLeft, child.c_str(), true, content) : ItemOutcome::StillThere;
}

ItemOutcome WalkContents(FileSystem& files, const CodePage& codePage, const char* path,
                         const LeftEntryHandler* handleLeft) {
    SavedWorkingFolder saved(files);
    // Listing without having entered the folder would list, and delete in, whatever folder is
    // the working directory: for a subfolder, its parent.
    if (!saved.saved() || !files.SetCurrentFolder(path)) {
        return ItemOutcome::StillThere;
    }
    FoundFile entry;
    const std::unique_ptr<FileSearch> search = files.FindFirst("*.*", &entry);
    if (search == nullptr) {
        return ItemOutcome::StillThere;
    }
    ItemOutcome content = ItemOutcome::Deleted;
    do {
        if (!IsDotEntry(entry.name)) {
            content = Worse(content, DeleteEntry(files, codePage, path, entry, handleLeft));
        }
    } while (search->Next(&entry));
    return content;
}

}  // namespace

ItemOutcome DeleteTree(FileSystem& files, const CodePage& codePage, const char* path,
                       const LeftEntryHandler* handleLeft) {
    const ItemOutcome content = WalkContents(files, codePage, path, handleLeft);
    if (files.RemoveFolder(path)) {
        return ItemOutcome::Deleted;
    }
    return Left(handleLeft, path, true, content);
}

}  // namespace drvsweep
