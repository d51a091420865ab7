#pragma once

#include <cstdint>
#include <string>

namespace drvsweep {

// Code page 0 is the system's ANSI code page (CP_ACP): the one registry texts arrive in.
constexpr std::uint32_t kAnsiCodePage = 0;
// US-ASCII, which every ANSI code page holds as it is.
constexpr std::uint32_t kUsAsciiCodePage = 20127;

// A text as stored bytes together with the code page they are in.
struct CodePageText {
    const char* bytes = "";
    std::uint32_t codePage = kAnsiCodePage;
};

// A text for the screen, made of one to three parts that may be in different code pages (a
// message may join an interface text in its language's code page with a device description in
// the system's one). The window glue turns every part into UTF-16 and joins them, so that the
// text reads right whatever the system's ANSI code page is; an ANSI window (9x family) gets
// every part in the system's ANSI code page instead. The parts are borrowed: the bytes
// must outlive the call that the text is handed to.
class DisplayText {
public:
    static constexpr int kMaxParts = 3;

    // One part converts implicitly, so that an interface text can be passed as it is.
    DisplayText(CodePageText only) : parts_{only}, count_(1) {}
    DisplayText(const char* bytes, std::uint32_t codePage)
        : DisplayText(CodePageText{bytes, codePage}) {}
    DisplayText(CodePageText first, CodePageText second) : parts_{first, second}, count_(2) {}
    DisplayText(CodePageText first, CodePageText second, CodePageText third)
        : parts_{first, second, third}, count_(3) {}

    int count() const { return count_; }
    const CodePageText& part(int index) const { return parts_[index]; }

private:
    CodePageText parts_[kMaxParts];
    int count_;
};

// An icon handle (HICON) as a number; 0 is no icon.
using IconHandle = std::uintptr_t;

// The values of the dialog messages and results that the behaviour compares with, spelled out
// so that code which never sees <windows.h> can use them.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;
constexpr int kListError = -1;           // LB_ERR
constexpr int kButtonClicked = 0;        // BN_CLICKED
constexpr int kListDoubleClick = 2;      // LBN_DBLCLK
constexpr std::uint32_t kMbOk = 0x0;     // MB_OK
constexpr std::uint32_t kMbYesNo = 0x4;  // MB_YESNO
constexpr std::uint32_t kMbIconExclamation = 0x30;
constexpr std::uint32_t kMbIconInformation = 0x40;

class DialogHost;

// A dialog's behaviour, told about the messages of its window. Every call runs on the window's
// thread; the host handed to OnInitDialog stays valid until the window is gone.
class DialogHandler {
public:
    virtual ~DialogHandler() = default;

    // WM_INITDIALOG. True lets the dialog manager put the focus on the default control.
    virtual bool OnInitDialog(DialogHost& host) = 0;
    // WM_COMMAND from a control, a menu or an accelerator (Enter is IDOK, Escape IDCANCEL).
    virtual void OnCommand(int itemId, int notification) = 0;
    // WM_TIMER, whatever the timer's id.
    virtual void OnTimer(std::uintptr_t timerId) = 0;
    // WM_SYSCOMMAND; false hands the command to the default window processing.
    virtual bool OnSysCommand(std::uint32_t command) = 0;
    // WM_CLOSE (the close box, Alt+F4).
    virtual void OnClose() = 0;
    // WM_QUERYDRAGICON; 0 leaves the choice to the default processing.
    virtual IconHandle OnQueryDragIcon() = 0;
    // WM_QUERYENDSESSION, before the default processing answers it (which agrees to the end).
    virtual void OnQueryEndSession() {}
    // WM_ENDSESSION: `ending` false when the session goes on after all (a program refused).
    virtual void OnEndSession(bool ending) { static_cast<void>(ending); }
};

// The program's resources and its modal dialogs. The real runner reads the resources linked
// into the program and shows dialogs with user32; the simulated one records every run.
class DialogRunner {
public:
    virtual ~DialogRunner() = default;

    // LoadIconA from the program's icon resource; 0 when there is none.
    virtual IconHandle LoadAppIcon(std::uint32_t iconId) = 0;

    // The text of a string resource; empty when there is none.
    virtual std::u16string LoadResourceString(std::uint32_t stringId) = 0;

    // Creates the dialog of the template, runs it modally with `handler` told of its messages
    // and returns the result it ended with, or -1 when it could not be shown.
    virtual int RunModal(std::uint32_t templateId, DialogHandler& handler) = 0;
};

// The operations a dialog's behaviour performs on its own window. The real host forwards them
// to user32; the simulated host records them and answers message boxes from a script. As a
// runner, a host runs dialogs owned by its window.
class DialogHost : public DialogRunner {
public:
    // SetWindowText on the window and on one of its controls.
    virtual void SetCaption(const DisplayText& text) = 0;
    virtual void SetItemText(int itemId, const DisplayText& text) = 0;

    // EnableWindow on a control.
    virtual void EnableItem(int itemId, bool enable) = 0;

    // List box messages, answered as the list box answers them: LB_INSERTSTRING (the index
    // inserted at, or kListError past the end), LB_SETCURSEL (the index, or kListError when it
    // selects nothing), LB_GETCURSEL (kListError when nothing is selected) and
    // LB_DELETESTRING (the entries left, or kListError for no such entry).
    virtual int ListInsert(int listId, int index, const DisplayText& text) = 0;
    virtual int ListSetSelection(int listId, int index) = 0;
    virtual int ListSelection(int listId) = 0;
    virtual int ListDelete(int listId, int index) = 0;

    // SetTimer on the window with no callback (ticks come back through OnTimer; starting a
    // running timer again restarts its period) and KillTimer.
    virtual bool StartTimer(std::uintptr_t timerId, std::uint32_t milliseconds) = 0;
    virtual bool StopTimer(std::uintptr_t timerId) = 0;

    // A message box owned by the window; returns the button pressed (kIdYes, kIdNo), or 0
    // when the box could not be shown. The window's timer ticks are handled while it is open.
    virtual int ShowMessageBox(const DisplayText& text, const DisplayText& caption,
                               std::uint32_t style) = 0;

    // Appends a separator and then an entry to the window's system menu; false, with nothing
    // appended, when the window has no system menu.
    virtual bool AppendSystemMenuEntry(std::uint32_t commandId, const std::u16string& text) = 0;

    // WM_SETICON with ICON_BIG or ICON_SMALL.
    virtual void SetIcon(IconHandle icon, bool big) = 0;

    // Ends the modal dialog with the given result once the current message has been handled.
    virtual void EndDialog(int result) = 0;
};

}  // namespace drvsweep
