#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/multibyte_text.h"

namespace drvsweep {

// The largest file a backup copies or a restore puts back: driver files are far smaller, and
// each is held in memory whole while it is copied.
constexpr std::uint32_t kLargestBackupFile = 256u * 1024u * 1024u;

// The entries of a folder, "." and ".." left out; false when the folder cannot be listed. A
// folder that is empty lists no entry and answers true.
bool ListFolder(FileSystem& files, const std::string& folder, std::vector<FoundFile>* entries);

// Whether the listing finds `path` as a folder (FILE_ATTRIBUTE_DIRECTORY alone, no link).
bool IsPlainFolder(FileSystem& files, const std::string& path);

// Whether the listing finds `path` at all, and its attributes when it does.
bool FindEntry(FileSystem& files, const std::string& path, std::uint32_t* attributes);

// Whether `path` lies below `folder` (not the folder itself), case ignored as the code page
// folds; *relative is then the part after the folder and its backslash.
bool RelativeBelow(const CodePage& codePage, const std::string& folder, const std::string& path,
                   std::string* relative);

// The folder part of a full path: all before its last backslash.
std::string ParentFolder(const std::string& path);

// Whether a relative path is plain: components of allowed characters joined by single
// backslashes, none of them "." or "..", no drive, stream or device colon.
bool IsPlainRelativePath(const CodePage& codePage, const std::string& path);

}  // namespace drvsweep
