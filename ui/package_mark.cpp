#include "ui/package_mark.h"

#include "ui/interface_strings.h"

namespace drvsweep {

namespace {

// By language slot: GBK bytes, Big5 bytes, ASCII.
const char* const kPackageOnlyMarks[kLanguageSlots] = {
    " \xa3\xa8\xce\xde\xc9\xe8\xb1\xb8\xb5\xc4\xc7\xfd\xb6\xaf\xb3\xcc\xd0\xf2\xa3\xa9",
    " \xa1]\xb5L\xb8\xcb\xb8m\xaa\xba\xc5X\xb0\xca\xb5{\xa6\xa1\xa1^",
    " (driver without a device)",
};

}  // namespace

CodePageText PackageOnlyMark(std::int32_t languageSlot) {
    return {kPackageOnlyMarks[languageSlot], CodePageOfSlot(languageSlot)};
}

}  // namespace drvsweep
