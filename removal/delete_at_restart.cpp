#include "removal/delete_at_restart.h"

#include <cstring>
#include <memory>

#include "platform/multibyte_text.h"
#include "platform/restart_deletion.h"
#include "platform/win32_codes.h"
#include "removal/folder_tree.h"
#include "removal/one_file.h"

namespace drvsweep {

namespace {

enum class Listed { Nothing, File, Folder };

// What listing the path finds: an entry is gone only when the listing finds nothing.
Listed ListEntry(FileSystem& files, const char* path) {
    FoundFile found;
    const std::unique_ptr<FileSearch> search = files.FindFirst(path, &found);
    if (search == nullptr) {
        return Listed::Nothing;
    }
    return (found.attributes & kFileAttributeDirectory) != 0 ? Listed::Folder : Listed::File;
}

// A full path "X:\..." without wildcards and without components of dots alone. The tree walk
// hands over entries while the working directory is their folder, and Windows would resolve a
// relative path, or "..", to some other entry; a wildcard names no entry, and listing it would
// find others.
bool IsPlainFullPath(const CodePage& codePage, const char* path) {
    if (std::strlen(path) < 4 || path[1] != ':' || path[2] != '\\' ||
        std::strpbrk(path, "*?/") != nullptr) {
        return false;
    }
    for (const char* part = path + 3;;) {
        const char* end = FindFirstBackslash(codePage, part);
        const std::size_t length = end == nullptr ? std::strlen(part) : end - part;
        if (std::strspn(part, ". ") >= length) {
            return false;
        }
        if (end == nullptr) {
            return true;
        }
        part = end + 1;
    }
}

// Schedules an entry that stayed when it is of the kind expected and holds nothing left
// unscheduled.
ItemOutcome ScheduleIfLeft(Platform& platform, const char* path, bool folder, ItemOutcome content) {
    if (!IsPlainFullPath(platform.version.AnsiCodePage(), path)) {
        return ItemOutcome::StillThere;
    }
    const Listed listed = ListEntry(platform.files, path);
    if (listed == Listed::Nothing) {
        return ItemOutcome::Deleted;
    }
    if (listed != (folder ? Listed::Folder : Listed::File) || content == ItemOutcome::StillThere) {
        return ItemOutcome::StillThere;
    }
    return ScheduleDeletionAtRestart(platform.files, platform.version, path)
               ? ItemOutcome::DeletedAtRestart
               : ItemOutcome::StillThere;
}

}  // namespace

ItemOutcome DeleteFileOrAtRestart(Platform& platform, const char* path) {
    DeleteOneFile(platform.files, path);
    return ScheduleIfLeft(platform, path, false, ItemOutcome::Deleted);
}

ItemOutcome DeleteTreeOrAtRestart(Platform& platform, const char* folder, bool* scheduledSome) {
    *scheduledSome = false;
    const LeftEntryHandler schedule = [&platform, scheduledSome](const char* path, bool isFolder,
                                                                 ItemOutcome content) {
        const ItemOutcome outcome = ScheduleIfLeft(platform, path, isFolder, content);
        *scheduledSome = *scheduledSome || outcome == ItemOutcome::DeletedAtRestart;
        return outcome;
    };
    return DeleteTree(platform.files, platform.version.AnsiCodePage(), folder, &schedule);
}

}  // namespace drvsweep
