#pragma once
// Tessaly in Windows 11's first context menu: an Explorer command that a
// package with identity declares (the classic handler, CTessalyShExt, shows
// under "Show more options" and on Windows 10). The file manager creates one
// per menu, in a COM surrogate process, and calls it on one thread:
//   SetSite            the file manager's view (a background's folder)
//   GetState           which folder was clicked; hidden for anything else.
//                      Asked at once (fOkToBeSlow TRUE) by the first menu;
//                      by the classic menu first on its UI thread (FALSE),
//                      where it resolves the path and never reads the
//                      folder, and an item that may be slow to reach is
//                      left for later: shown, in case nobody asks again
//   GetTitle, GetIcon, GetToolTip, GetCanonicalName, GetFlags
//   EnumSubCommands    scans the folder and lists the same submenu the
//                      classic handler builds (one plan, two renderings);
//                      each subcommand keeps the site, whose window owns
//                      what it opens
// then releases it. A caller may also give no site. Every method runs
// inside the entry-point firewall.
#include <windows.h>

#include <ocidl.h>
#include <shobjidl.h>

#include "framework/com/ComPtr.h"
#include "framework/com/ObjectRoot.h"
#include "listing/FolderListing.h"

namespace tessaly {

class CTessalyCommand : public com::CComObjectRootST, public IExplorerCommand, public IObjectWithSite {
public:
    using PrimaryInterface = IExplorerCommand;
    static const com::InterfaceEntry* InterfaceTable() noexcept;

    // IExplorerCommand
    STDMETHODIMP GetTitle(IShellItemArray* psiItemArray, LPWSTR* ppszName) noexcept override;
    STDMETHODIMP GetIcon(IShellItemArray* psiItemArray, LPWSTR* ppszIcon) noexcept override;
    STDMETHODIMP GetToolTip(IShellItemArray* psiItemArray, LPWSTR* ppszInfotip) noexcept override;
    STDMETHODIMP GetCanonicalName(GUID* pguidCommandName) noexcept override;
    STDMETHODIMP GetState(IShellItemArray* psiItemArray, BOOL fOkToBeSlow, EXPCMDSTATE* pCmdState) noexcept override;
    STDMETHODIMP Invoke(IShellItemArray* psiItemArray, IBindCtx* pbc) noexcept override;
    STDMETHODIMP GetFlags(EXPCMDFLAGS* pFlags) noexcept override;
    STDMETHODIMP EnumSubCommands(IEnumExplorerCommand** ppEnum) noexcept override;

    // IObjectWithSite
    STDMETHODIMP SetSite(IUnknown* pUnkSite) noexcept override;
    STDMETHODIMP GetSite(REFIID riid, void** ppvSite) noexcept override;

protected:
    CTessalyCommand() = default;
    virtual ~CTessalyCommand() = default;

private:
    com::ComPtr<IUnknown> m_site;
    // The folder GetState found (none when it hid the command); the
    // subcommands list it, since EnumSubCommands is given no items.
    FolderListing m_listing;
    // An item GetState could not resolve at once (slow to reach): resolved
    // when the subcommands are listed, where the folder is read anyway.
    com::ComPtr<IShellItem> m_pendingItem;
};

// The command's canonical name: what the file manager knows it by.
extern const GUID kTessalyCommandName;  // {7DADEBCC-2573-48AF-87CF-406C88D03377}

}  // namespace tessaly
