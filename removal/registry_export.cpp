#include "removal/registry_export.h"

#include <memory>

#include "platform/text_reads.h"
#include "platform/win32_codes.h"

namespace drvsweep {

namespace {

constexpr char kSoftware[] = "software\\";
constexpr char kWow32Software[] = "SOFTWARE\\WOW6432Node\\";
// RegEnumValueA's longest name (16383 characters) with its terminator, and the largest value
// a backup takes.
constexpr std::uint32_t kLongestValueName = 16384;
constexpr std::uint32_t kLargestValue = 1024u * 1024u;
// Deeper keys than this are no scanner's: the export stops rather than follow them.
constexpr int kDeepestKey = 32;

bool StartsWithSoftware(const std::string& path) {
    if (path.size() <= sizeof kSoftware - 1) {
        return false;
    }
    for (std::size_t i = 0; i < sizeof kSoftware - 1; ++i) {
        const char c = path[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != kSoftware[i]) {
            return false;
        }
    }
    return true;
}

bool ReadValues(RegistryKey& key, RegTextKey* out) {
    std::vector<char> name(kLongestValueName);
    std::string data(256, '\0');
    for (std::uint32_t index = 0;;) {
        std::uint32_t nameSize = kLongestValueName;
        std::uint32_t type = 0;
        std::uint32_t dataSize = static_cast<std::uint32_t>(data.size());
        const long status = key.EnumValue(index, name.data(), nameSize, &type, &data[0], &dataSize);
        if (status == kErrorNoMoreItems) {
            return true;
        }
        if (status == kErrorMoreData && data.size() < kLargestValue) {
            data.resize(kLargestValue);
            continue;
        }
        if (status != kErrorSuccess || dataSize > data.size()) {
            return false;
        }
        name.back() = '\0';
        out->values.push_back({name.data(), type, data.substr(0, dataSize)});
        ++index;
    }
}

bool ExportFrom(Registry& registry, const std::string& path, RegistryView view, int depth,
                std::vector<RegTextKey>* keys) {
    std::unique_ptr<RegistryKey> key;
    if (depth > kDeepestKey ||
        registry.OpenKeyInView(path.c_str(), kKeyRead, view, &key) != kErrorSuccess) {
        return false;
    }
    RegTextKey out;
    out.path = RegFilePathOf(path, view);
    if (!ReadValues(*key, &out)) {
        return false;
    }
    keys->push_back(out);
    for (unsigned index = 0;; ++index) {
        PathText subkey;
        const long status = EnumSubkeyName(*key, index, &subkey);
        if (status == kErrorNoMoreItems) {
            return true;
        }
        if (status != kErrorSuccess ||
            !ExportFrom(registry, path + "\\" + subkey.c_str(), view, depth + 1, keys)) {
            return false;
        }
    }
}

}  // namespace

std::string RegFilePathOf(const std::string& path, RegistryView view) {
    if (view != RegistryView::Wow32 || sizeof(void*) != 8 || !StartsWithSoftware(path)) {
        return path;
    }
    return kWow32Software + path.substr(sizeof kSoftware - 1);
}

bool ExportKeyTree(Registry& registry, const std::string& path, RegistryView view,
                   std::vector<RegTextKey>* keys) {
    return ExportFrom(registry, path, view, 0, keys);
}

}  // namespace drvsweep
