#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/win32_version.h"
#include "platform/win32/windows_api.h"
#include "res/resource.h"
#include "tests/wine/dialog_host_harness.h"
#include "tests/wine/wine_display.h"
#include "ui/win32/win32_dialog_host.h"
#include "ui/win32/win32_dialog_runner.h"

// The real dialog host and runner under Wine: the resources as built, texts in every code page
// read back through the wide functions, the system menu, icons, modal runs, and a message box
// during which the window's timer ticks. The tests run in a prefix of each family: the NT
// family's window is a wide window, the 9x family's (Version=win98, code page 950 here) an ANSI
// one; the tests named ...OnNt and ...On9x run only in their family's prefix.
namespace drvsweep {
namespace {

using testing::RunInDialog;

HWND WindowOf(DialogHost& host) {
    return dynamic_cast<win32::Win32DialogHost&>(host).window();
}

std::wstring ItemText(HWND dialog, int itemId) {
    wchar_t text[512] = {};
    GetDlgItemTextW(dialog, itemId, text, 512);
    return text;
}

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

BOOL CALLBACK CollectText(HWND window, LPARAM texts) {
    reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(WindowText(window));
    return TRUE;
}

struct OwnedWindowSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchOwnedWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<OwnedWindowSearch*>(context);
    if (GetWindow(window, GW_OWNER) != search->owner) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

// A window of this thread that `owner` owns, such as its message box.
HWND FindOwnedWindow(HWND owner) {
    OwnedWindowSearch search{owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchOwnedWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class Win32DialogHostTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::UseUnmanagedWindows(); }

    win32::Win32Version version;
};

std::string AnsiWindowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, 512);
    return text;
}

// Reads the extended dialog template as the resource compiler stored it.
class TemplateReader {
public:
    explicit TemplateReader(const std::uint8_t* data) : data_(data) {}

    template <typename T>
    T Read() {
        T value;
        std::memcpy(&value, data_ + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }
    // A name or ordinal field: 0xFFFF and a number, or a NUL-terminated UTF-16 text (windres
    // names the control classes where other resource compilers give their ordinals).
    std::wstring ReadText() {
        std::wstring text;
        if (Peek() == 0xFFFF) {
            Read<std::uint16_t>();
            return L"#" + std::to_wstring(Read<std::uint16_t>());
        }
        while (const std::uint16_t unit = Read<std::uint16_t>()) {
            text += static_cast<wchar_t>(unit);
        }
        return text;
    }
    void AlignTo4() { offset_ = (offset_ + 3) & ~std::size_t{3}; }

private:
    std::uint16_t Peek() {
        std::uint16_t unit;
        std::memcpy(&unit, data_ + offset_, sizeof(unit));
        return unit;
    }

    const std::uint8_t* data_;
    std::size_t offset_ = 0;
};

TEST_F(Win32DialogHostTest, MainDialogTemplateIsLaidOutAsDesigned) {
    const HMODULE module = GetModuleHandleW(nullptr);
    // RT_DIALOG is 5; the macro is the ANSI one in a build without UNICODE.
    const HRSRC resource =
        FindResourceW(module, MAKEINTRESOURCEW(IDD_UNINSTALL_DIALOG), MAKEINTRESOURCEW(5));
    ASSERT_NE(resource, nullptr);
    TemplateReader dialog(
        static_cast<const std::uint8_t*>(LockResource(LoadResource(module, resource))));
    EXPECT_EQ(dialog.Read<std::uint16_t>(), 1);            // version
    EXPECT_EQ(dialog.Read<std::uint16_t>(), 0xFFFF);       // extended template
    dialog.Read<std::uint32_t>();                          // help id
    EXPECT_EQ(dialog.Read<std::uint32_t>(), 0x40000u);     // WS_EX_APPWINDOW
    EXPECT_EQ(dialog.Read<std::uint32_t>(), 0x90C800C0u);  // popup, visible, caption, ...
    EXPECT_EQ(dialog.Read<std::uint16_t>(), 5);            // controls
    const std::int16_t box[4] = {dialog.Read<std::int16_t>(), dialog.Read<std::int16_t>(),
                                 dialog.Read<std::int16_t>(), dialog.Read<std::int16_t>()};
    EXPECT_EQ(std::vector<std::int16_t>(box, box + 4), (std::vector<std::int16_t>{0, 0, 200, 161}));
    EXPECT_EQ(dialog.ReadText(), L"");           // no menu
    EXPECT_EQ(dialog.ReadText(), L"");           // the dialog class
    dialog.ReadText();                           // caption
    EXPECT_EQ(dialog.Read<std::uint16_t>(), 9);  // points
    dialog.Read<std::uint16_t>();                // weight
    dialog.Read<std::uint8_t>();                 // italic
    dialog.Read<std::uint8_t>();                 // character set
    EXPECT_EQ(dialog.ReadText(), L"宋体");

    const struct {
        std::uint32_t id;
        const wchar_t* windowClass;
        std::int16_t x, y, width, height;
        std::uint32_t style;
    } controls[] = {
        {IDOK, L"BUTTON", 110, 140, 31, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
        {IDC_INSTRUCTION, L"STATIC", 6, 7, 187, 29, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT},
        {IDC_LIST_LABEL, L"BUTTON", 8, 41, 178, 87, WS_CHILD | WS_VISIBLE | BS_GROUPBOX},
        {IDC_DELETE, L"BUTTON", 28, 140, 31, 14,
         WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
        {IDC_SCANNER_LIST, L"LISTBOX", 17, 52, 160, 67,
         WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_SORT |
             LBS_NOINTEGRALHEIGHT},
    };
    for (const auto& control : controls) {
        SCOPED_TRACE("control " + std::to_string(control.id));
        dialog.AlignTo4();
        dialog.Read<std::uint32_t>();                 // help id
        EXPECT_EQ(dialog.Read<std::uint32_t>(), 0u);  // extended style
        EXPECT_EQ(dialog.Read<std::uint32_t>(), control.style);
        EXPECT_EQ(dialog.Read<std::int16_t>(), control.x);
        EXPECT_EQ(dialog.Read<std::int16_t>(), control.y);
        EXPECT_EQ(dialog.Read<std::int16_t>(), control.width);
        EXPECT_EQ(dialog.Read<std::int16_t>(), control.height);
        EXPECT_EQ(dialog.Read<std::uint32_t>(), control.id);
        EXPECT_EQ(dialog.ReadText(), control.windowClass);
        dialog.ReadText();
        const std::uint16_t extra = dialog.Read<std::uint16_t>();
        for (std::uint16_t i = 0; i < extra; ++i) {
            dialog.Read<std::uint8_t>();
        }
    }
}

TEST_F(Win32DialogHostTest, ResourcesLoad) {
    win32::Win32DialogRunner runner(GetModuleHandleW(nullptr), nullptr, version);
    EXPECT_NE(runner.LoadAppIcon(IDR_MAINFRAME), 0u);
    EXPECT_EQ(runner.LoadAppIcon(999), 0u);
    EXPECT_EQ(runner.LoadResourceString(IDS_ABOUTBOX), u"关于 DrvSweep(&A)...");
    EXPECT_EQ(runner.LoadResourceString(999), u"");
    EXPECT_EQ(runner.LoadResourceString(IDS_ABOUTBOX + 1), u"");  // same block, no entry
}

TEST_F(Win32DialogHostTest, WindowIsAWideWindowOnNt) {
    ASSERT_EQ(CurrentFamily(version), Family::Nt);
    RunInDialog([](DialogHost& host) { EXPECT_TRUE(IsWindowUnicode(WindowOf(host))); });
}

TEST_F(Win32DialogHostTest, WindowIsAnAnsiWindowOn9x) {
    ASSERT_EQ(CurrentFamily(version), Family::Win9x);
    RunInDialog([](DialogHost& host) { EXPECT_FALSE(IsWindowUnicode(WindowOf(host))); });
}

// In code page 950 the Big5 texts and the system's own go to the window as stored; a Simplified
// Chinese text is converted, and a character Big5 lacks (关) shows as '?'.
TEST_F(Win32DialogHostTest, TextsGoInTheAnsiCodePageOn9x) {
    ASSERT_EQ(CurrentFamily(version), Family::Win9x);
    ASSERT_EQ(GetACP(), 950u);
    RunInDialog([](DialogHost& host) {
        const HWND dialog = WindowOf(host);
        host.SetCaption({"Quorin\xb1\xbd\xb4y\xbb\xf6", 950});
        EXPECT_EQ(AnsiWindowText(dialog), "Quorin\xb1\xbd\xb4y\xbb\xf6");
        EXPECT_EQ(WindowText(dialog), L"Quorin掃描儀");
        host.SetItemText(IDC_INSTRUCTION, {"\xc4\xfa\xb9\xd8", 936});  // 您关
        EXPECT_EQ(AnsiWindowText(GetDlgItem(dialog, IDC_INSTRUCTION)), "\xb1z?");
        host.SetItemText(IDC_DELETE, DisplayText({"Delete ", kUsAsciiCodePage},
                                                 {"\xa5\x5c", kAnsiCodePage}));  // 功
        EXPECT_EQ(ItemText(dialog, IDC_DELETE), L"Delete 功");
        host.SetItemText(kIdOk, {"Exit", 1});  // no such code page: as stored
        EXPECT_EQ(ItemText(dialog, kIdOk), L"Exit");

        EXPECT_EQ(host.ListInsert(IDC_SCANNER_LIST, 0,
                                  DisplayText({" ", kAnsiCodePage}, {"\xb3\x5c", kAnsiCodePage})),
                  0);
        char entry[64] = {};
        SendDlgItemMessageA(dialog, IDC_SCANNER_LIST, LB_GETTEXT, 0,
                            reinterpret_cast<LPARAM>(entry));
        EXPECT_STREQ(entry, " \xb3\x5c");  // 許

        ASSERT_TRUE(host.AppendSystemMenuEntry(IDM_ABOUTBOX, u"關於 关于"));
        const HMENU menu = GetSystemMenu(dialog, FALSE);
        char menuEntry[64] = {};
        GetMenuStringA(menu, IDM_ABOUTBOX, menuEntry, 64, MF_BYCOMMAND);
        EXPECT_STREQ(menuEntry, "\xc3\xf6\xa9\xf3 ?\xa4_");
    });
}

TEST_F(Win32DialogHostTest, WindowUsesTheTemplatesFont) {
    RunInDialog([](DialogHost& host) {
        const HFONT font = reinterpret_cast<HFONT>(SendMessageW(WindowOf(host), WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        LOGFONTW description = {};
        ASSERT_NE(GetObjectW(font, sizeof(description), &description), 0);
        EXPECT_STREQ(description.lfFaceName, L"宋体");
    });
}

// Each part is converted from its own code page, whatever the system's ANSI code page is (the
// test runs in code page 1252); a code page that cannot convert shows the bytes as ANSI text.
TEST_F(Win32DialogHostTest, TextsShowInTheirCodePagesOnNt) {
    ASSERT_EQ(CurrentFamily(version), Family::Nt);
    RunInDialog([](DialogHost& host) {
        const HWND dialog = WindowOf(host);
        host.SetCaption({"Quorin\xc9\xa8\xc3\xe8\xd2\xc7", 936});
        EXPECT_EQ(WindowText(dialog), L"Quorin扫描仪");
        host.SetItemText(IDC_INSTRUCTION, {"\n\xb1z\xa4w", 950});
        EXPECT_EQ(ItemText(dialog, IDC_INSTRUCTION), L"\n您已");
        host.SetItemText(IDC_DELETE, {"Delete", 20127});
        EXPECT_EQ(ItemText(dialog, IDC_DELETE), L"Delete");
        host.SetItemText(IDC_LIST_LABEL, DisplayText({"\xc8\xb7\xc8\xcf\xa1\xb0 ", 936},
                                                     {"K\xe9", kAnsiCodePage}, {"\xa1\xb1", 936}));
        EXPECT_EQ(ItemText(dialog, IDC_LIST_LABEL), L"确认“ Ké”");
        host.SetItemText(kIdOk, {"Exit", 1});  // CP_OEMCP's neighbour: no such code page
        EXPECT_EQ(ItemText(dialog, kIdOk), L"Exit");

        EXPECT_EQ(
            host.ListInsert(IDC_SCANNER_LIST, 0,
                            DisplayText({" ", kAnsiCodePage}, {"Quorin K5210", kAnsiCodePage})),
            0);
        const HWND list = GetDlgItem(dialog, IDC_SCANNER_LIST);
        wchar_t entry[64] = {};
        ASSERT_EQ(SendMessageW(list, LB_GETTEXTLEN, 0, 0), 13);
        SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(entry));
        EXPECT_STREQ(entry, L" Quorin K5210");
    });
}

TEST_F(Win32DialogHostTest, SystemMenuIconsAndEnabledStatesOnNt) {
    ASSERT_EQ(CurrentFamily(version), Family::Nt);
    RunInDialog([](DialogHost& host) {
        const HWND dialog = WindowOf(host);
        ASSERT_TRUE(host.AppendSystemMenuEntry(IDM_ABOUTBOX, u"关于 DrvSweep(&A)..."));
        const HMENU menu = GetSystemMenu(dialog, FALSE);
        const int count = GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
        wchar_t entry[64] = {};
        GetMenuStringW(menu, count - 1, entry, 64, MF_BYPOSITION);
        EXPECT_STREQ(entry, L"关于 DrvSweep(&A)...");
        EXPECT_TRUE(GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);

        const IconHandle icon = host.LoadAppIcon(IDR_MAINFRAME);
        host.SetIcon(icon, true);
        host.SetIcon(icon, false);
        EXPECT_EQ(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0), static_cast<LRESULT>(icon));
        EXPECT_EQ(SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0), static_cast<LRESULT>(icon));

        host.EnableItem(IDC_DELETE, false);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_DELETE)));
        host.EnableItem(IDC_DELETE, true);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_DELETE)));
    });
}

// A dialog run through a host is owned by the host's window and returns how it ended.
TEST_F(Win32DialogHostTest, ModalRunThroughAHostIsOwnedByItsWindow) {
    class Child : public DialogHandler {
    public:
        explicit Child(HWND owner) : owner_(owner) {}
        bool OnInitDialog(DialogHost& host) override {
            EXPECT_EQ(GetWindow(WindowOf(host), GW_OWNER), owner_);
            host.EndDialog(42);
            return true;
        }
        void OnCommand(int, int) override {}
        void OnTimer(std::uintptr_t) override {}
        bool OnSysCommand(std::uint32_t) override { return false; }
        void OnClose() override {}
        IconHandle OnQueryDragIcon() override { return 0; }

    private:
        HWND owner_;
    };
    RunInDialog([](DialogHost& host) {
        Child about(WindowOf(host));
        EXPECT_EQ(host.RunModal(IDD_ABOUTBOX, about), 42);
    });
}

// The window's messages reach the handler: WM_QUERYDRAGICON answers its icon, WM_COMMAND,
// WM_TIMER and WM_CLOSE make their calls, and a system command that the handler leaves alone
// gets the default processing (SC_CLOSE becomes WM_CLOSE).
TEST_F(Win32DialogHostTest, MessagesOfTheMessageTableReachTheHandler) {
    class Recorder : public DialogHandler {
    public:
        bool OnInitDialog(DialogHost& host) override {
            const HWND window = WindowOf(host);
            EXPECT_EQ(SendMessageW(window, WM_QUERYDRAGICON, 0, 0), 0x1234);
            SendMessageW(window, WM_SYSCOMMAND, 0x17, 0);
            SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_SCANNER_LIST, LBN_DBLCLK), 0);
            SendMessageW(window, WM_TIMER, 3, 0);
            SendMessageW(window, WM_CLOSE, 0, 0);
            host.EndDialog(kIdOk);
            return true;
        }
        void OnCommand(int itemId, int notification) override {
            commands.push_back({itemId, notification});
        }
        void OnTimer(std::uintptr_t timerId) override { timers.push_back(timerId); }
        bool OnSysCommand(std::uint32_t command) override {
            systemCommands.push_back(command);
            return command == 0x17;
        }
        void OnClose() override { ++closes; }
        IconHandle OnQueryDragIcon() override { return 0x1234; }

        std::vector<std::pair<int, int>> commands;
        std::vector<std::uintptr_t> timers;
        std::vector<std::uint32_t> systemCommands;
        int closes = 0;
    } recorder;
    win32::Win32DialogRunner runner(GetModuleHandleW(nullptr), nullptr, version);
    EXPECT_EQ(runner.RunModal(IDD_UNINSTALL_DIALOG, recorder), kIdOk);
    EXPECT_EQ(recorder.commands,
              (std::vector<std::pair<int, int>>{{IDC_SCANNER_LIST, LBN_DBLCLK}}));
    EXPECT_EQ(recorder.timers, std::vector<std::uintptr_t>{3});
    EXPECT_EQ(recorder.systemCommands, (std::vector<std::uint32_t>{0x17, SC_CLOSE}));
    EXPECT_EQ(recorder.closes, 2);
}

// A message box owned by the dialog runs a message loop of its own, in which the dialog's
// timer ticks; the tick handler reads the box and answers it.
TEST_F(Win32DialogHostTest, TimerTicksWhileAMessageBoxIsOpen) {
    class TickingDialog : public DialogHandler {
    public:
        bool OnInitDialog(DialogHost& host) override {
            window_ = WindowOf(host);
            EXPECT_TRUE(host.StartTimer(0, 50));
            answer = host.ShowMessageBox(
                DisplayText({"\xbdT\xbb{\xb1z\xadn\xa8\xf8\xb8\xcb\xa1\xa7  ", 950},
                            {"Quorin K5210 USB Scanner", kAnsiCodePage},
                            {" \xa1\xa8\xb1\xbd\xb4y\xbb\xf6\xc5X\xb0\xca", 950}),
                {"Quorin\xb1\xbd\xb4y\xbb\xf6", 950}, kMbYesNo | kMbIconExclamation);
            host.StopTimer(0);
            host.EndDialog(kIdOk);
            return true;
        }
        void OnTimer(std::uintptr_t timerId) override {
            EXPECT_EQ(timerId, 0u);
            if (++ticks != 2) {
                return;
            }
            const HWND box = FindOwnedWindow(window_);
            ASSERT_NE(box, nullptr);
            caption = WindowText(box);
            EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&texts));
            PostMessageW(box, WM_COMMAND, IDNO, 0);
        }
        void OnCommand(int, int) override {}
        bool OnSysCommand(std::uint32_t) override { return false; }
        void OnClose() override {}
        IconHandle OnQueryDragIcon() override { return 0; }

        int ticks = 0;
        int answer = 0;
        std::wstring caption;
        std::vector<std::wstring> texts;  // of the box's controls

    private:
        HWND window_ = nullptr;
    } dialog;
    win32::Win32DialogRunner runner(GetModuleHandleW(nullptr), nullptr, version);
    EXPECT_EQ(runner.RunModal(IDD_UNINSTALL_DIALOG, dialog), kIdOk);
    EXPECT_GE(dialog.ticks, 2);
    EXPECT_EQ(dialog.answer, kIdNo);
    EXPECT_EQ(dialog.caption, L"Quorin掃描儀");
    EXPECT_NE(std::find(dialog.texts.begin(), dialog.texts.end(),
                        L"確認您要卸裝“  Quorin K5210 USB Scanner ”掃描儀驅動"),
              dialog.texts.end());
}

}  // namespace
}  // namespace drvsweep
