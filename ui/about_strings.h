#pragma once

#include <cstdint>

#include "platform/dialog_host.h"

namespace drvsweep {

// The texts of the About box, which the interface strings do not cover.
enum class AboutRole {
    Caption,
    VersionLabel,  // followed by the version number
    Purpose,
    OkButton,
};
constexpr int kAboutRoles = 4;

// The role's text in a language slot, stored like the interface strings (GBK, Big5, ASCII).
CodePageText AboutText(std::int32_t languageSlot, AboutRole role);

}  // namespace drvsweep
