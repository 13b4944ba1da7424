#pragma once
// A page's message map: a table of (message, notification, control id,
// member handler). The page's dialog procedure looks each message up in it;
// a message with no entry gets the dialog's default processing.
#include <windows.h>

#include <cstddef>

namespace tessaly::ui {

class CPropertyPage;

// A control notification (WM_COMMAND) such as BN_CLICKED.
using CommandHandler = void (CPropertyPage::*)();
// Any other message; true when the handler dealt with it fully, false to let
// the default processing follow.
using MessageHandler = bool (CPropertyPage::*)(WPARAM wParam, LPARAM lParam);

struct MessageMapEntry {
    UINT message;
    UINT notifyCode;  // WM_COMMAND only
    int controlId;    // WM_COMMAND only
    CommandHandler onCommand;
    MessageHandler onMessage;
};

struct MessageMap {
    const MessageMapEntry* entries;
    std::size_t count;
};

template <std::size_t N>
constexpr MessageMap MakeMessageMap(const MessageMapEntry (&entries)[N]) {
    return MessageMap{entries, N};
}

// Entries for handlers of a page class.
template <class Page>
constexpr MessageMapEntry OnCommand(UINT notifyCode, int controlId, void (Page::*handler)()) {
    return MessageMapEntry{WM_COMMAND, notifyCode, controlId, static_cast<CommandHandler>(handler), nullptr};
}
template <class Page>
constexpr MessageMapEntry OnMessage(UINT message, bool (Page::*handler)(WPARAM, LPARAM)) {
    return MessageMapEntry{message, 0, 0, nullptr, static_cast<MessageHandler>(handler)};
}

}  // namespace tessaly::ui
