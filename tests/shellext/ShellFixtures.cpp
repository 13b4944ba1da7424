#include "tests/shellext/ShellFixtures.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "framework/com/Module.h"
#include "settings/Settings.h"
#include "shellext/HandlerClass.h"

namespace tessaly::testing {

namespace {

// The program plays the DLL's server: one module, one apartment.
com::CAtlModule g_module;

class ApartmentEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK); }
    void TearDown() override { ::CoUninitialize(); }
};
[[maybe_unused]] ::testing::Environment* const g_apartment =
    ::testing::AddGlobalTestEnvironment(new ApartmentEnvironment);

}  // namespace

long ModuleLockCount() { return g_module.GetLockCount(); }

ComRef<IDataObject> ShellDataObject(const std::wstring& folder, const std::vector<std::wstring>& names) {
    ComRef<IShellFolder> desktop;
    if (FAILED(::SHGetDesktopFolder(reinterpret_cast<IShellFolder**>(desktop.out()))))
        throw std::runtime_error("no desktop folder");
    PIDLIST_RELATIVE folderList = nullptr;
    std::wstring display = folder;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, display.data(), nullptr, &folderList, nullptr)))
        throw std::runtime_error("cannot parse the folder");
    ComRef<IShellFolder> shellFolder;
    const HRESULT bound = desktop->BindToObject(folderList, nullptr, IID_IShellFolder, shellFolder.out());
    ::CoTaskMemFree(folderList);
    if (FAILED(bound)) throw std::runtime_error("cannot bind to the folder");

    std::vector<PITEMID_CHILD> children;
    for (std::wstring name : names) {
        PIDLIST_RELATIVE child = nullptr;
        if (FAILED(shellFolder->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, &child, nullptr)))
            throw std::runtime_error("cannot parse an item");
        children.push_back(reinterpret_cast<PITEMID_CHILD>(child));
    }
    ComRef<IDataObject> data;
    const HRESULT made = shellFolder->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()),
                                                    const_cast<PCUITEMID_CHILD_ARRAY>(children.data()), IID_IDataObject,
                                                    nullptr, data.out());
    for (PITEMID_CHILD child : children) ::CoTaskMemFree(child);
    if (FAILED(made)) throw std::runtime_error("no data object");
    return data;
}

ComRef<IShellExtInit> NewHandler() {
    ComRef<IShellExtInit> handler;
    if (FAILED(CreateTessalyShExt(nullptr, IID_IShellExtInit, handler.out())))
        throw std::runtime_error("cannot create the handler");
    return handler;
}

ComRef<IContextMenu> ContextMenuOf(IShellExtInit* handler) {
    ComRef<IContextMenu> menu;
    if (FAILED(handler->QueryInterface(IID_IContextMenu, menu.out()))) throw std::runtime_error("no IContextMenu");
    return menu;
}

std::vector<MenuItem> ReadMenu(HMENU menu) {
    std::vector<MenuItem> items;
    const int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        wchar_t text[512] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU | MIIM_CHECKMARKS;
        info.dwTypeData = text;
        info.cch = 512;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info))
            throw std::runtime_error("GetMenuItemInfoW failed");
        items.push_back({info.fType, info.wID, text, info.hSubMenu, info.hbmpChecked, info.hbmpUnchecked});
    }
    return items;
}

void StoreSettings(const MenuSettings& settings) {
    const bool stored = WriteSetting(setting::kShowRecentAccessed, settings.accessed) &&
                        WriteSetting(setting::kShowRecentModified, settings.modified) &&
                        WriteSetting(setting::kFileCount, settings.fileCount) &&
                        WriteSetting(setting::kHighlightDays, settings.highlightDays) &&
                        WriteSetting(setting::kShowTimeHint, settings.showTimeHint) &&
                        WriteSetting(setting::kWeekStart, settings.weekStart);
    if (!stored) throw std::runtime_error("cannot store the settings");
}

}  // namespace tessaly::testing
