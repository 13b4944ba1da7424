#pragma once
// The context-menu handler. The shell creates one per context menu of a
// folder, a folder's background or a drive, on the thread that shows the
// menu, and calls it only there:
//   Initialize        which folder was clicked; loads the four pictures
//   QueryContextMenu  scans the folder and adds the "Tessaly" submenu
//   GetCommandString  help text and verb (while the user moves over items)
//   InvokeCommand     opens the chosen file, or shows the options sheet
// then releases it. Every entry point runs inside RunEntryPoint, so a failure
// becomes one debug line and a failure result, never an exception in the shell.
#include <windows.h>

#include <shlobj.h>

#include <cstdint>
#include <map>
#include <string>

#include "framework/com/ObjectRoot.h"
#include "listing/FolderListing.h"
#include "shellext/HandleOwners.h"
#include "shellext/MenuPlan.h"

namespace tessaly {

class CTessalyShExt : public com::CComObjectRootST, public IShellExtInit, public IContextMenu {
public:
    // The interface that answers IUnknown.
    using PrimaryInterface = IShellExtInit;
    static const com::InterfaceEntry* InterfaceTable() noexcept;

    // IShellExtInit
    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE pidlFolder, IDataObject* pdtobj, HKEY hkeyProgID) noexcept override;

    // IContextMenu
    STDMETHODIMP QueryContextMenu(HMENU hmenu, UINT indexMenu, UINT idCmdFirst, UINT idCmdLast,
                                  UINT uFlags) noexcept override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* pici) noexcept override;
    STDMETHODIMP GetCommandString(UINT_PTR idCmd, UINT uType, UINT* pReserved, CHAR* pszName,
                                  UINT cchMax) noexcept override;

protected:
    CTessalyShExt() = default;
    virtual ~CTessalyShExt() = default;

private:
    void LoadPictures();
    HBITMAP Picture(MenuPicture picture) const;
    void InsertSubmenuItem(HMENU submenu, UINT position, UINT idCmdFirst, const PlanItem& item);

    std::int32_t m_itemCount = 0;
    FolderListing m_listing;
    std::map<std::int32_t, std::wstring> m_commandFiles;
    bool m_picturesLoaded = false;
    // Destroyed first, before the command map and the listing.
    shellext::Bitmap m_bmpMenu;
    shellext::Bitmap m_bmpOptions;
    shellext::Bitmap m_bmpModified;
    shellext::Bitmap m_bmpAccessed;
};

}  // namespace tessaly
