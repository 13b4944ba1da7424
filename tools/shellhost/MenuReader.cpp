#include "tools/shellhost/MenuReader.h"

namespace tessaly::shellhost {
namespace {

// A handler could hand back a menu that contains itself; stop well before
// that overflows the stack.
constexpr int kMaxDepth = 16;

// The text asked for on its own: first its length, then the characters.
std::wstring TextOf(HMENU menu, int position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info) || info.cch == 0) return std::wstring();
    std::wstring text(info.cch + 1, L'\0');
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) return std::wstring();
    text.resize(info.cch);
    return text;
}

std::vector<MenuNode> ReadLevel(HMENU menu, int depth) {
    std::vector<MenuNode> items;
    const int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_BITMAP | MIIM_CHECKMARKS;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) continue;
        MenuNode node;
        node.separator = (info.fType & MFT_SEPARATOR) != 0;
        node.id = info.wID;
        node.hasPicture = info.hbmpItem != nullptr || info.hbmpChecked != nullptr || info.hbmpUnchecked != nullptr;
        node.disabled = (info.fState & MFS_DISABLED) != 0;
        node.checked = (info.fState & MFS_CHECKED) != 0;
        node.isDefault = (info.fState & MFS_DEFAULT) != 0;
        node.text = TextOf(menu, position);
        if (info.hSubMenu != nullptr) {
            node.isSubmenu = true;
            if (depth < kMaxDepth) node.children = ReadLevel(info.hSubMenu, depth + 1);
        }
        items.push_back(std::move(node));
    }
    return items;
}

}  // namespace

std::vector<MenuNode> ReadMenu(HMENU menu) { return ReadLevel(menu, 0); }

HMENU SubmenuAt(HMENU menu, const std::vector<int>& path) {
    for (int position : path) {
        if (menu == nullptr) return nullptr;
        menu = ::GetSubMenu(menu, position);
    }
    return menu;
}

}  // namespace tessaly::shellhost
