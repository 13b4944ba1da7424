#pragma once
// What the handler's Windows tests share: a COM apartment and a server module
// for the whole program, owners for the shell's objects, and the handler as
// the shell drives it.
#include <windows.h>

#include <shlobj.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/ComRef.h"

namespace tessaly::testing {

// An absolute item list made from a path.
class ItemList {
public:
    explicit ItemList(const std::wstring& path) : m_list(::ILCreateFromPathW(path.c_str())) {}
    ~ItemList() { ::ILFree(m_list); }
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;
    PCIDLIST_ABSOLUTE get() const { return m_list; }

private:
    PIDLIST_ABSOLUTE m_list;
};

// The data object the shell's own folder object hands out for the named
// items of a folder (it offers CF_HDROP).
ComRef<IDataObject> ShellDataObject(const std::wstring& folder, const std::vector<std::wstring>& names);

// A new handler in its plain form.
ComRef<IShellExtInit> NewHandler();
ComRef<IContextMenu> ContextMenuOf(IShellExtInit* handler);

// One item of a menu as GetMenuItemInfoW reports it.
struct MenuItem {
    UINT type = 0;
    UINT id = 0;
    std::wstring text;
    HMENU submenu = nullptr;
    HBITMAP checked = nullptr;
    HBITMAP unchecked = nullptr;
    bool IsSeparator() const { return (type & MFT_SEPARATOR) != 0; }
};
std::vector<MenuItem> ReadMenu(HMENU menu);

// A popup menu the test owns, standing for the shell's context menu.
class PopupMenu {
public:
    PopupMenu() : m_menu(::CreatePopupMenu()) {}
    ~PopupMenu() { ::DestroyMenu(m_menu); }
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;
    HMENU get() const { return m_menu; }

private:
    HMENU m_menu;
};

// Sets the six settings in the current user's key.
struct MenuSettings {
    int accessed = 1, modified = 1, fileCount = 10, highlightDays = 3, showTimeHint = 1, weekStart = 0;
};
void StoreSettings(const MenuSettings& settings);

// The process's module lock count.
long ModuleLockCount();

}  // namespace tessaly::testing
