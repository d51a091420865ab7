#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/dialog_host.h"

namespace drvsweep::sim {

// One part of a text as the host received it: the bytes and the code page they are in.
struct TextPart {
    std::string bytes;
    std::uint32_t codePage = kAnsiCodePage;

    bool operator==(const TextPart& other) const {
        return bytes == other.bytes && codePage == other.codePage;
    }
};
using RecordedText = std::vector<TextPart>;

// The bytes of every part, joined.
std::string JoinedBytes(const RecordedText& text);

struct SimMessageBox {
    RecordedText text;
    RecordedText caption;
    std::uint32_t style = 0;
    int answer = 0;
};

// An item appended to the system menu; a separator has command 0 and no text.
struct SimMenuItem {
    bool separator = false;
    std::uint32_t commandId = 0;
    std::u16string text;
};

struct SimTimerCall {
    bool start = false;  // SetTimer, or KillTimer
    std::uintptr_t timerId = 0;
    std::uint32_t milliseconds = 0;
};

struct SimIconCall {
    IconHandle icon = 0;
    bool big = false;
};

class SimDialogHost;

// A modal dialog that a host ran, with the window it ran in.
struct SimModalRun {
    std::uint32_t templateId = 0;
    bool initResult = false;
    int result = 0;
    std::unique_ptr<SimDialogHost> window;
};

// A dialog window of the simulated machine. It records what the dialog's behaviour does to it,
// keeps list boxes, enabled states and timers as user32 keeps them, answers message boxes from
// a script, and runs the modal dialogs it is asked to in windows of its own. Nothing ticks or
// is clicked by itself: a test calls the handler's methods, also from the hooks that run while
// a message box or a modal dialog is "open".
//
// A fresh host has a system menu, no resources, every control enabled and no timer running.
class SimDialogHost : public DialogHost {
public:
    SimDialogHost() = default;
    SimDialogHost(const SimDialogHost&) = delete;
    SimDialogHost& operator=(const SimDialogHost&) = delete;

    // The program's resources. An icon resource loads as the handle 0x1000 + id. A dialog's
    // window shares the resources of the host that ran it.
    void SetResourceString(std::uint32_t stringId, std::u16string text);
    void AddIconResource(std::uint32_t iconId);

    // A window without a system menu, like one without the system menu style.
    void RemoveSystemMenu() { hasSystemMenu_ = false; }

    // The answers of the coming message boxes, in order. A box that finds no answer left
    // answers 0, as a MessageBox that fails.
    void QueueMessageBoxAnswer(int answer) { answers_.push_back(answer); }

    // Runs while each message box is open, after it has been recorded.
    using MessageBoxHook = std::function<void(const SimMessageBox& box)>;
    void SetMessageBoxHook(MessageBoxHook hook) { messageBoxHook_ = std::move(hook); }

    // Runs while each modal dialog that this host runs is open, after its OnInitDialog: the
    // dialog's window and its handler, to drive it. The run returns the result the dialog ended
    // with, or -1 when nothing ended it.
    using ModalHook = std::function<void(SimDialogHost& window, DialogHandler& handler)>;
    void SetModalHook(ModalHook hook) { modalHook_ = std::move(hook); }

    IconHandle LoadAppIcon(std::uint32_t iconId) override;
    std::u16string LoadResourceString(std::uint32_t stringId) override;
    int RunModal(std::uint32_t templateId, DialogHandler& handler) override;

    void SetCaption(const DisplayText& text) override;
    void SetItemText(int itemId, const DisplayText& text) override;
    void EnableItem(int itemId, bool enable) override;
    int ListInsert(int listId, int index, const DisplayText& text) override;
    int ListSetSelection(int listId, int index) override;
    int ListSelection(int listId) override;
    int ListDelete(int listId, int index) override;
    bool StartTimer(std::uintptr_t timerId, std::uint32_t milliseconds) override;
    bool StopTimer(std::uintptr_t timerId) override;
    int ShowMessageBox(const DisplayText& text, const DisplayText& caption,
                       std::uint32_t style) override;
    bool AppendSystemMenuEntry(std::uint32_t commandId, const std::u16string& text) override;
    void SetIcon(IconHandle icon, bool big) override;
    void EndDialog(int result) override;

    // What the window shows now.
    const RecordedText& caption() const { return caption_; }
    // Empty for an item whose text was never set.
    RecordedText itemText(int itemId) const;
    bool itemEnabled(int itemId) const { return disabled_.count(itemId) == 0; }
    std::vector<RecordedText> listEntries(int listId) const;
    const std::vector<SimMenuItem>& systemMenuItems() const { return menuItems_; }
    std::set<std::uintptr_t> runningTimers() const { return running_; }

    // What happened, oldest first.
    const std::vector<SimIconCall>& iconCalls() const { return iconCalls_; }
    const std::vector<SimTimerCall>& timerCalls() const { return timerCalls_; }
    const std::vector<SimMessageBox>& messageBoxes() const { return messageBoxes_; }
    const std::vector<SimModalRun>& modalRuns() const { return modalRuns_; }

    // EndDialog: whether it was called and the result of its last call.
    bool ended() const { return ended_; }
    int endResult() const { return endResult_; }

private:
    struct ListBox {
        std::vector<RecordedText> entries;
        int selection = kListError;
    };

    std::map<std::uint32_t, std::u16string> strings_;
    std::set<std::uint32_t> icons_;
    bool hasSystemMenu_ = true;
    std::deque<int> answers_;
    MessageBoxHook messageBoxHook_;
    ModalHook modalHook_;

    RecordedText caption_;
    std::map<int, RecordedText> itemTexts_;
    std::set<int> disabled_;
    std::map<int, ListBox> lists_;
    std::vector<SimMenuItem> menuItems_;
    std::set<std::uintptr_t> running_;
    std::vector<SimIconCall> iconCalls_;
    std::vector<SimTimerCall> timerCalls_;
    std::vector<SimMessageBox> messageBoxes_;
    std::vector<SimModalRun> modalRuns_;
    bool ended_ = false;
    int endResult_ = 0;
};

}  // namespace drvsweep::sim
