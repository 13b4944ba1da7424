#pragma once
// The handlers of one right-click, created, initialised and asked to fill
// the menu the way the file manager does it, each in the id range left after
// the ones before it.
#include <functional>
#include <string>
#include <vector>

#include "tools/shellhost/ClickTarget.h"
#include "tools/shellhost/HandlerActivation.h"
#include "tools/shellhost/HandlerList.h"
#include "tools/shellhost/MenuTree.h"

namespace tessaly::shellhost {

struct LoadedHandler {
    HandlerEntry entry;
    ComPtr<IContextMenu> menu;
    IdRange range;
};

class HandlerSession {
public:
    using Report = std::function<void(const std::wstring&)>;

    // Creates every approved handler in `entries`, initialises it with
    // `target` and the class key, and lets it fill `menu` from `idFirst` on.
    // Each step's outcome goes to `report`.
    void Load(const std::vector<HandlerEntry>& entries, ClickKind kind, const ClickTarget& target, HMENU menu,
              std::uint32_t idFirst, std::uint32_t idLast, std::uint32_t flags, const Report& report);

    const std::vector<LoadedHandler>& handlers() const { return m_handlers; }

    // The handler whose ids include `id`; null when none does.
    const LoadedHandler* OwnerOf(std::uint32_t id) const;

    // Gives owner-drawn menu messages to the handlers that take them
    // (IContextMenu3, IContextMenu2), as the file manager's window does.
    bool ForwardMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) const;

private:
    HandlerActivation m_activation;  // outlives the handlers it may have created
    std::vector<LoadedHandler> m_handlers;
};

// "0x80070057" and the like.
std::wstring HresultText(HRESULT result);

// The system's words for `result` on one line ("The parameter is
// incorrect."), or "no message for it" when the system has none.
std::wstring SystemMessage(HRESULT result);

// "0x80070057 (The parameter is incorrect.)"
std::wstring ResultInWords(HRESULT result);

}  // namespace tessaly::shellhost
