#include "platform/text_reads.h"

#include <cstring>

#include "platform/win32_codes.h"

namespace drvsweep {

namespace {

// Adopts raw bytes from the OS as a text when they hold a NUL within `length`, or when
// they have room for one after them.
bool AdoptText(const char* bytes, std::size_t length, PathText* out) {
    const void* nul = std::memchr(bytes, '\0', length);
    const std::size_t textLength =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - bytes) : length;
    return out->assign(bytes, textLength);
}

// A folder that a call stores the way GetWindowsDirectoryA does, with no trailing backslash.
template <typename Read>
bool ReadFolder(Read read, const CodePage& codePage, PathText* folder) {
    char buffer[kMaxPath] = {};
    const std::uint32_t length = read(buffer, static_cast<std::uint32_t>(sizeof buffer));
    if (length == 0 || length >= sizeof buffer) {
        return false;
    }
    if (strnlen(buffer, sizeof buffer) == sizeof buffer) {
        return false;
    }
    const std::size_t used = LengthWithoutTrailingBackslashes(codePage, buffer);
    return used > 0 && folder->assign(buffer, used);
}

}  // namespace

bool ReadWindowsFolder(FileSystem& files, const CodePage& codePage, PathText* folder) {
    return ReadFolder(
        [&files](char* path, std::uint32_t size) { return files.WindowsFolder(path, size); },
        codePage, folder);
}

bool ReadWow64Folder(DriverPackages& packages, const CodePage& codePage, PathText* folder) {
    return ReadFolder(
        [&packages](char* path, std::uint32_t size) {
            return packages.Wow64SystemFolder(path, size);
        },
        codePage, folder);
}

bool ReadShortPath(FileSystem& files, const char* path, PathText* shortPath) {
    char buffer[kMaxPath] = {};
    const std::uint32_t length = files.ShortPath(path, buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) {
        return false;
    }
    return AdoptText(buffer, length, shortPath);
}

bool ReadSubkeyName(RegistryKey& key, unsigned index, PathText* name) {
    return EnumSubkeyName(key, index, name) == kErrorSuccess;
}

long EnumSubkeyName(RegistryKey& key, unsigned index, PathText* name) {
    char buffer[kMaxPath] = {};
    const long status = key.EnumKey(index, buffer, sizeof buffer);
    if (status != kErrorSuccess) {
        return status;
    }
    return AdoptText(buffer, strnlen(buffer, sizeof buffer), name) ? kErrorSuccess : kErrorMoreData;
}

bool ReadStringValue(RegistryKey& key, const char* valueName, PathText* value) {
    return QueryStringValue(key, valueName, value) == kErrorSuccess;
}

long QueryStringValue(RegistryKey& key, const char* valueName, PathText* value) {
    char buffer[kMaxPath] = {};
    std::uint32_t size = sizeof buffer;
    const long status = key.QueryValue(valueName, buffer, &size);
    if (status != kErrorSuccess) {
        return status;
    }
    return size <= sizeof buffer && AdoptText(buffer, size, value) ? kErrorSuccess : kErrorMoreData;
}

RegistryRead RegistryReadOf(long status) {
    if (status == kErrorSuccess) {
        return RegistryRead::kRead;
    }
    return status == kErrorFileNotFound || status == kErrorNoMoreItems ? RegistryRead::kNotThere
                                                                       : RegistryRead::kFailed;
}

bool ReadLineText(InfFile& inf, const InfLine& line, PathText* text) {
    char buffer[kMaxPath] = {};
    if (!inf.LineText(line, buffer, sizeof buffer)) {
        return false;
    }
    return AdoptText(buffer, strnlen(buffer, sizeof buffer), text);
}

bool ReadStringField(InfFile& inf, const InfLine& line, std::uint32_t index, PathText* text) {
    char buffer[kMaxPath] = {};
    if (!inf.StringField(line, index, buffer, sizeof buffer)) {
        return false;
    }
    return AdoptText(buffer, strnlen(buffer, sizeof buffer), text);
}

}  // namespace drvsweep
