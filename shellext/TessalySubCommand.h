#pragma once
// One item of the Tessaly submenu in Windows 11's menu: a file (opened as
// the classic menu opens it), a separator, or "Options...". Made by the
// top command from the same plan the classic handler renders.
#include <windows.h>

#include <shobjidl.h>

#include <string>

#include "framework/com/ComPtr.h"
#include "framework/com/ObjectRoot.h"
#include "shellext/MenuPlan.h"

namespace tessaly {

class CTessalySubCommand : public com::CComObjectRootST, public IExplorerCommand {
public:
    using PrimaryInterface = IExplorerCommand;
    static const com::InterfaceEntry* InterfaceTable() noexcept;

    // Takes the item's kind, title, picture and file, and the top command's
    // site (may be null), whose window owns what Invoke opens; throws
    // std::bad_alloc.
    void SetItem(const PlanItem& item, IUnknown* site);

    STDMETHODIMP GetTitle(IShellItemArray* psiItemArray, LPWSTR* ppszName) noexcept override;
    STDMETHODIMP GetIcon(IShellItemArray* psiItemArray, LPWSTR* ppszIcon) noexcept override;
    STDMETHODIMP GetToolTip(IShellItemArray* psiItemArray, LPWSTR* ppszInfotip) noexcept override;
    STDMETHODIMP GetCanonicalName(GUID* pguidCommandName) noexcept override;
    STDMETHODIMP GetState(IShellItemArray* psiItemArray, BOOL fOkToBeSlow, EXPCMDSTATE* pCmdState) noexcept override;
    STDMETHODIMP Invoke(IShellItemArray* psiItemArray, IBindCtx* pbc) noexcept override;
    STDMETHODIMP GetFlags(EXPCMDFLAGS* pFlags) noexcept override;
    STDMETHODIMP EnumSubCommands(IEnumExplorerCommand** ppEnum) noexcept override;

protected:
    CTessalySubCommand() = default;
    virtual ~CTessalySubCommand() = default;

private:
    PlanItemKind m_kind = PlanItemKind::Separator;
    std::wstring m_title;
    unsigned m_icon = 0;  // an icon resource id; 0 for none
    std::wstring m_path;  // the file a file item opens
    com::ComPtr<IUnknown> m_site;
};

}  // namespace tessaly
