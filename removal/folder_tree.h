#pragma once

#include <functional>

#include "platform/file_system.h"
#include "platform/multibyte_text.h"
#include "removal/removal_outcome.h"

namespace drvsweep {

// Deletes everything below the folder at `path` and leaves the folder. It works through the
// working directory, one level at a time, and puts the directory it found back before it
// returns. It deletes nothing when the folder cannot be entered or listed, or when the working
// directory cannot be saved to be put back. An entry is entered as a folder only when its
// listed attribute word is FILE_ATTRIBUTE_DIRECTORY alone; any other entry is deleted as a
// file (a folder with a further attribute bit then stays, with its content). A subfolder whose
// full path does not fit 260 bytes is not entered. Paths are ANSI text in `codePage`.
void DeleteTreeContents(FileSystem& files, const CodePage& codePage, const char* path);

// DeleteTreeContents, then the folder itself (which stays when something is left inside).
void DeleteTree(FileSystem& files, const CodePage& codePage, const char* path);

// Decides what becomes of an entry that DeleteTreeHandingOverLeft could not delete, given by its
// full path. For a folder, `content` is the worst outcome of what was inside it (StillThere as
// well when the folder could not be entered and listed); for a file it is Deleted.
using LeftEntryHandler =
    std::function<ItemOutcome(const char* path, bool folder, ItemOutcome content)>;

// DeleteTree, which hands each entry that stays to `handleLeft`, a folder after its content, and
// answers the outcome of the folder: Deleted when it is gone, otherwise what the handler says of
// it. An entry whose full path does not fit 260 bytes cannot be named: it stays without being
// handed over, and counts as StillThere in the content of the folders above it.
ItemOutcome DeleteTreeHandingOverLeft(FileSystem& files, const CodePage& codePage, const char* path,
                                      const LeftEntryHandler& handleLeft);

}  // namespace drvsweep
