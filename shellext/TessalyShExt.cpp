#include "shellext/TessalyShExt.h"

#include "diagnostics/EntryPoint.h"
#include "resources/ResourceIds.h"
#include "shellext/MenuPictures.h"
#include "shellext/MenuTheme.h"
#include "shellext/ShellFolder.h"

// The base of the module this code is linked into (the linker provides it).
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace tessaly {

const com::InterfaceEntry* CTessalyShExt::InterfaceTable() noexcept {
    static const com::InterfaceEntry table[] = {
        {&IID_IShellExtInit, com::InterfaceOf<CTessalyShExt, IShellExtInit>},
        {&IID_IContextMenu, com::InterfaceOf<CTessalyShExt, IContextMenu>},
        {nullptr, nullptr},
    };
    return table;
}

STDMETHODIMP CTessalyShExt::Initialize(PCIDLIST_ABSOLUTE pidlFolder, IDataObject* pdtobj, HKEY) noexcept {
    return RunEntryPoint(L"Initialize", E_INVALIDARG, [&](HResult& result) {
        // A failed initialisation leaves no folder from an earlier one.
        m_listing.Clear();
        // For a right-clicked icon the shell passes the folder that holds it
        // (or no folder at all) and the selection in the data object; for a
        // folder's background, the folder itself and no data object. So a
        // drop list decides: exactly one folder is the one clicked, anything
        // else (two items, a file, a path not taken) is no folder, since the
        // item list then names the selection's parent. Only without a usable
        // drop list does the item list name the folder.
        std::wstring dropped;
        const shellext::DropListResult drop = shellext::FolderFromDataObject(pdtobj, dropped);
        if (drop == shellext::DropListResult::Folder) {
            m_listing.SetFolder(std::move(dropped));
            result = S_OK;
        } else if (drop == shellext::DropListResult::Unavailable) {
            std::optional<std::wstring> folder = shellext::FolderFromItemList(pidlFolder);
            if (!folder) return;  // without pictures
            m_listing.SetFolder(std::move(*folder));
            result = S_OK;
        }
        LoadPictures();
    });
}

void CTessalyShExt::LoadPictures() {
    // Once per object: a menu built before a second Initialize keeps showing
    // them, and they go with the object.
    if (m_picturesLoaded) return;
    m_picturesLoaded = true;
    // From the module that holds this code, whatever name it was installed
    // under. A failed load leaves a null picture: the item shows none.
    const HINSTANCE module = reinterpret_cast<HINSTANCE>(&__ImageBase);
    const int side = shellext::CheckMarkSide(shellext::MenuDpi());
    const shellext::PictureLook look = shellext::ClassicPictureLook(shellext::ReadMenuFacts());
    const auto load = [&](int bitmap, unsigned icon, unsigned darkIcon) {
        return shellext::LoadMenuPicture(module, {bitmap, icon, darkIcon}, side, look);
    };
    m_bmpMenu = load(IDB_MENU, IDI_MENU_ENTRY, IDI_MENU_ENTRY_DARK);
    m_bmpOptions = load(IDB_OPTIONS, IDI_MENU_OPTIONS, IDI_MENU_OPTIONS_DARK);
    m_bmpModified = load(IDB_MODIFIED, IDI_MENU_MODIFIED, IDI_MENU_MODIFIED_DARK);
    m_bmpAccessed = load(IDB_ACCESSED, IDI_MENU_ACCESSED, IDI_MENU_ACCESSED_DARK);
}

HBITMAP CTessalyShExt::Picture(MenuPicture picture) const {
    switch (picture) {
        case MenuPicture::Accessed:
            return m_bmpAccessed.get();
        case MenuPicture::Modified:
            return m_bmpModified.get();
        case MenuPicture::Options:
            return m_bmpOptions.get();
        case MenuPicture::None:
            break;
    }
    return nullptr;
}

}  // namespace tessaly
