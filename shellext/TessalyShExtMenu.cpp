// QueryContextMenu: the plan of the submenu (MenuPlan) rendered into menus.
#include <stdexcept>

#include "diagnostics/EntryPoint.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"
#include "settings/Settings.h"
#include "shellext/TessalyShExt.h"

namespace tessaly {

void CTessalyShExt::InsertSubmenuItem(HMENU submenu, UINT position, UINT idCmdFirst, const PlanItem& item) {
    if (item.kind == PlanItemKind::Separator) {
        // A missing separator does not spoil the menu.
        ::InsertMenuW(submenu, position, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        return;
    }
    const UINT id = idCmdFirst + static_cast<UINT>(item.offset);
    if (!::InsertMenuW(submenu, position, MF_BYPOSITION | MF_STRING, id, item.text.c_str()))
        throw std::runtime_error("::InsertMenu failed");
    const HBITMAP picture = Picture(item.picture);
    ::SetMenuItemBitmaps(submenu, position, MF_BYPOSITION, picture, picture);
    if (item.kind == PlanItemKind::File) {
        // Recorded as inserted, so a build that fails part way leaves the
        // items it reached.
        m_commandFiles.emplace(item.offset, item.path);
        ++m_itemCount;
    }
}

STDMETHODIMP CTessalyShExt::QueryContextMenu(HMENU hmenu, UINT indexMenu, UINT idCmdFirst, UINT idCmdLast,
                                             UINT uFlags) noexcept {
    return RunEntryPoint(L"QueryContextMenu", E_FAIL, [&](HResult& result) {
        if (uFlags & CMF_DEFAULTONLY) {
            result = S_OK;
            return;
        }
        const MenuPlan plan = PlanMenu(
            m_listing, [](const wchar_t* name) { return ReadSetting(name); }, AvailableIds(idCmdFirst, idCmdLast),
            [this] {
                // Once the range suffices, before anything is scanned: after a
                // failure part way the members hold what this build reached.
                m_itemCount = 0;
                m_commandFiles.clear();
            });
        // Destroyed with its items unless the shell's menu takes it.
        shellext::Menu submenu(::CreateMenu());
        UINT position = 0;
        for (const PlanItem& item : plan.items) InsertSubmenuItem(submenu.get(), position++, idCmdFirst, item);

        const std::wstring caption = resources::LoadText(IDS_APP_NAME);
        if (!::InsertMenuW(hmenu, indexMenu, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.get()),
                           caption.c_str()))
            return;         // E_FAIL without a debug line
        submenu.release();  // now part of the shell's menu
        ::SetMenuItemBitmaps(hmenu, indexMenu, MF_BYPOSITION, m_bmpMenu.get(), m_bmpMenu.get());
        result = MAKE_HRESULT(SEVERITY_SUCCESS, 0, plan.IdsUsed());
    });
}

}  // namespace tessaly
