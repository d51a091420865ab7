#pragma once

#include <cstdint>

namespace drvsweep {

// A text as stored bytes together with the code page they are in; the window glue turns it
// into UTF-16 for the wide window functions, so that the texts read right whatever the
// system's ANSI code page is. Code page 0 is the system's ANSI code page (CP_ACP).
struct CodePageText {
    const char* bytes = "";
    std::uint32_t codePage = 0;
};

// The operations the main window's behaviour performs on its own window. The real host
// forwards them to user32; the simulated host records them and answers message boxes
// from a script.
class DialogHost {
public:
    virtual ~DialogHost() = default;

    virtual void SetCaption(CodePageText text) = 0;
    virtual void SetItemText(int itemId, CodePageText text) = 0;
    virtual void EnableItem(int itemId, bool enable) = 0;

    // List box messages: LB_INSERTSTRING, LB_SETCURSEL, LB_GETCURSEL (-1 when nothing is
    // selected) and LB_DELETESTRING.
    virtual int ListInsert(int listId, int index, CodePageText text) = 0;
    virtual int ListSetSelection(int listId, int index) = 0;
    virtual int ListSelection(int listId) = 0;
    virtual int ListDelete(int listId, int index) = 0;

    // SetTimer with no callback (ticks come back as timer messages) and KillTimer.
    virtual bool StartTimer(std::uintptr_t timerId, std::uint32_t milliseconds) = 0;
    virtual bool StopTimer(std::uintptr_t timerId) = 0;

    // A message box owned by the window; returns the button pressed (IDYES 6, IDNO 7).
    // Timer messages are handled while it is open.
    virtual int ShowMessageBox(CodePageText text, CodePageText caption, std::uint32_t style) = 0;

    // Appends a separator and an entry to the window's system menu; false without a menu.
    virtual bool AppendSystemMenuEntry(std::uint32_t commandId, CodePageText text) = 0;

    // Ends the modal dialog with the given result.
    virtual void EndDialog(int result) = 0;
};

}  // namespace drvsweep
