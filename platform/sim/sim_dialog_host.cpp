#include "platform/sim/sim_dialog_host.h"

#include <utility>

namespace drvsweep::sim {

namespace {

constexpr IconHandle kIconHandleBase = 0x1000;

RecordedText Record(const DisplayText& text) {
    RecordedText parts;
    for (int i = 0; i < text.count(); ++i) {
        parts.push_back({text.part(i).bytes, text.part(i).codePage});
    }
    return parts;
}

}  // namespace

std::string JoinedBytes(const RecordedText& text) {
    std::string bytes;
    for (const TextPart& part : text) {
        bytes += part.bytes;
    }
    return bytes;
}

void SimDialogHost::SetResourceString(std::uint32_t stringId, std::u16string text) {
    strings_[stringId] = std::move(text);
}

void SimDialogHost::AddIconResource(std::uint32_t iconId) {
    icons_.insert(iconId);
}

IconHandle SimDialogHost::LoadAppIcon(std::uint32_t iconId) {
    return icons_.count(iconId) != 0 ? kIconHandleBase + iconId : 0;
}

std::u16string SimDialogHost::LoadResourceString(std::uint32_t stringId) {
    const auto found = strings_.find(stringId);
    return found == strings_.end() ? std::u16string() : found->second;
}

int SimDialogHost::RunModal(std::uint32_t templateId, DialogHandler& handler) {
    auto window = std::make_unique<SimDialogHost>();
    window->strings_ = strings_;
    window->icons_ = icons_;
    SimDialogHost& open = *window;
    const bool initResult = handler.OnInitDialog(open);
    if (modalHook_) {
        modalHook_(open, handler);
    }
    const int result = open.ended_ ? open.endResult_ : -1;
    modalRuns_.push_back({templateId, initResult, result, std::move(window)});
    return result;
}

void SimDialogHost::SetCaption(const DisplayText& text) {
    caption_ = Record(text);
}

void SimDialogHost::SetItemText(int itemId, const DisplayText& text) {
    itemTexts_[itemId] = Record(text);
}

void SimDialogHost::EnableItem(int itemId, bool enable) {
    if (enable) {
        disabled_.erase(itemId);
    } else {
        disabled_.insert(itemId);
    }
}

// As the list box answers: -1 appends, a position past the end is refused, and an insertion
// at or before the selected entry moves the selection down with it.
int SimDialogHost::ListInsert(int listId, int index, const DisplayText& text) {
    ListBox& list = lists_[listId];
    const int count = static_cast<int>(list.entries.size());
    if (index == -1) {
        index = count;
    }
    if (index < 0 || index > count) {
        return kListError;
    }
    list.entries.insert(list.entries.begin() + index, Record(text));
    if (list.selection != kListError && index <= list.selection) {
        ++list.selection;
    }
    return index;
}

// -1 clears the selection and, as LB_SETCURSEL does, answers LB_ERR all the same; a position
// with no entry is refused and changes nothing.
int SimDialogHost::ListSetSelection(int listId, int index) {
    ListBox& list = lists_[listId];
    if (index < -1 || index >= static_cast<int>(list.entries.size())) {
        return kListError;
    }
    list.selection = index;
    return index;
}

int SimDialogHost::ListSelection(int listId) {
    return lists_[listId].selection;
}

// Deleting the selected entry leaves nothing selected; deleting one before it moves the
// selection up with its entry.
int SimDialogHost::ListDelete(int listId, int index) {
    ListBox& list = lists_[listId];
    if (index < 0 || index >= static_cast<int>(list.entries.size())) {
        return kListError;
    }
    list.entries.erase(list.entries.begin() + index);
    if (list.selection == index) {
        list.selection = kListError;
    } else if (list.selection > index) {
        --list.selection;
    }
    return static_cast<int>(list.entries.size());
}

bool SimDialogHost::StartTimer(std::uintptr_t timerId, std::uint32_t milliseconds) {
    timerCalls_.push_back({true, timerId, milliseconds});
    running_.insert(timerId);
    return true;
}

// KillTimer fails for a timer that does not run.
bool SimDialogHost::StopTimer(std::uintptr_t timerId) {
    timerCalls_.push_back({false, timerId, 0});
    return running_.erase(timerId) != 0;
}

int SimDialogHost::ShowMessageBox(const DisplayText& text, const DisplayText& caption,
                                  std::uint32_t style) {
    SimMessageBox box{Record(text), Record(caption), style, 0};
    if (!answers_.empty()) {
        box.answer = answers_.front();
        answers_.pop_front();
    }
    messageBoxes_.push_back(box);
    if (messageBoxHook_) {
        messageBoxHook_(box);
    }
    return box.answer;
}

bool SimDialogHost::AppendSystemMenuEntry(std::uint32_t commandId, const std::u16string& text) {
    if (!hasSystemMenu_) {
        return false;
    }
    menuItems_.push_back({true, 0, u""});
    menuItems_.push_back({false, commandId, text});
    return true;
}

void SimDialogHost::SetIcon(IconHandle icon, bool big) {
    iconCalls_.push_back({icon, big});
}

void SimDialogHost::EndDialog(int result) {
    ended_ = true;
    endResult_ = result;
}

RecordedText SimDialogHost::itemText(int itemId) const {
    const auto found = itemTexts_.find(itemId);
    return found == itemTexts_.end() ? RecordedText() : found->second;
}

std::vector<RecordedText> SimDialogHost::listEntries(int listId) const {
    const auto found = lists_.find(listId);
    return found == lists_.end() ? std::vector<RecordedText>() : found->second.entries;
}

}  // namespace drvsweep::sim
