#pragma once

#include <functional>

#include "platform/file_system.h"
#include "platform/multibyte_text.h"
#include "removal/item_outcome.h"

namespace drvsweep {

// Decides what becomes of an entry that DeleteTree could not delete, given by its full path. For
// a folder, `content` is the worst outcome of what was inside it (StillThere as well when the
// folder could not be entered and listed); for a file it is Deleted.
using LeftEntryHandler =
    std::function<ItemOutcome(const char* path, bool folder, ItemOutcome content)>;

// Deletes everything below the folder at `path`, then the folder itself. It works through the
// working directory, one level at a time, and puts the directory it found back before it
// returns. It deletes nothing in a folder that cannot be entered or listed, or when the working
// directory cannot be saved to be put back. An entry is entered as a folder only when its
// listed attribute word is FILE_ATTRIBUTE_DIRECTORY alone; any other entry is deleted as a
// file (a folder with a further attribute bit then stays, with its content). Each entry that
// stays is handed to `handleLeft` (when given), a folder after its content. An entry whose
// full path does not fit 260 bytes is neither entered nor handed over, and counts as
// StillThere in the content of the folders above it. Answers the outcome of the folder:
// Deleted when it is gone, otherwise what the handler says of it (StillThere without one).
// Paths are ANSI text in `codePage`.
ItemOutcome DeleteTree(FileSystem& files, const CodePage& codePage, const char* path,
                       const LeftEntryHandler* handleLeft = nullptr);

}  // namespace drvsweep
