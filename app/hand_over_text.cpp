#include "app/hand_over_text.h"

#include "ui/interface_strings.h"

namespace drvsweep {

namespace {

// By language slot: GBK bytes, Big5 bytes, ASCII. A literal is split where a byte escape is
// followed by a character that would read as one more hex digit.
const char* const kHandOverFailureTexts[kLanguageSlots] = {
    ("\xce\xde\xb7\xa8\xc6\xf4\xb6\xaf DrvSweep \xb5\xc4 64 \xce\xbb\xb3\xcc\xd0\xf2\xa3\xac"
     "\xb1\xbe 64 \xce\xbb Windows \xd0\xe8\xd2\xaa\xd3\xc9\xcb\xfc\xd0\xb6\xd7\xb0\xc9\xa8\xc3"
     "\xe8\xd2\xc7\xc7\xfd\xb6\xaf\xa1\xa3\xce\xb4\xc9\xbe\xb3\xfd\xc8\xce\xba\xce\xc4\xda\xc8"
     "\xdd\xa1\xa3"),
    ("\xb5L\xaak\xb1\xd2\xb0\xca DrvSweep \xaa\xba 64 \xa6\xec\xa4\xb8\xb5{\xa6\xa1\xa1"
     "A\xa5\xbb 64 \xa6\xec\xa4\xb8 Windows \xbb\xdd\xadn\xa5\xd1\xa5\xa6\xa8\xf8\xb8\xcb\xb1\xbd"
     "\xb4y\xbb\xf6\xc5X\xb0\xca\xa1"
     "C\xa5\xbc\xa7R\xb0\xa3\xa5\xf4\xa6\xf3\xa4\xba\xae"
     "e\xa1"
     "C"),
    ("DrvSweep could not start its 64-bit program, which this 64-bit Windows needs to remove "
     "scanner drivers. Nothing has been removed."),
};

}  // namespace

CodePageText HandOverFailureText(std::int32_t languageSlot) {
    return {kHandOverFailureTexts[languageSlot], CodePageOfSlot(languageSlot)};
}

}  // namespace drvsweep
