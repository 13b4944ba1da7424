#include "shellext/TessalySubCommand.h"

#include "diagnostics/EntryPoint.h"
#include "framework/com/TaskMemory.h"
#include "options/ShowOptions.h"
#include "resources/IconLocation.h"
#include "resources/ResourceIds.h"
#include "shellext/MenuTheme.h"
#include "shellext/OpenFile.h"
#include "shellext/SiteWindow.h"

namespace tessaly {

namespace {

template <typename Work>
HRESULT Guarded(const wchar_t* operation, HRESULT failure, Work&& work) noexcept {
    return RunGuarded(L"CTessalySubCommand::", operation, HResult{failure}, std::forward<Work>(work));
}

unsigned IconOf(MenuPicture picture) {
    switch (picture) {
        case MenuPicture::Accessed: return IDI_MENU_ACCESSED;
        case MenuPicture::Modified: return IDI_MENU_MODIFIED;
        case MenuPicture::Options: return IDI_MENU_OPTIONS;
        case MenuPicture::None: break;
    }
    return 0;
}

}  // namespace

const com::InterfaceEntry* CTessalySubCommand::InterfaceTable() noexcept {
    static const com::InterfaceEntry table[] = {
        {&IID_IExplorerCommand, com::InterfaceOf<CTessalySubCommand, IExplorerCommand>},
        {nullptr, nullptr},
    };
    return table;
}

void CTessalySubCommand::SetItem(const PlanItem& item, IUnknown* site) {
    m_kind = item.kind;
    m_title = item.title;
    m_icon = IconOf(item.picture);
    m_path = item.path;
    m_site = com::ComPtr<IUnknown>::Share(site);
}

STDMETHODIMP CTessalySubCommand::GetTitle(IShellItemArray*, LPWSTR* ppszName) noexcept {
    // Null unless a text is given: a caller may free it whatever the result.
    if (ppszName != nullptr) *ppszName = nullptr;
    return Guarded(L"GetTitle", E_FAIL, [&](HResult& result) {
        if (m_kind == PlanItemKind::Separator) {
            result = E_NOTIMPL;
            return;
        }
        result = com::CopyToTaskMemory(m_title, ppszName);
    });
}

STDMETHODIMP CTessalySubCommand::GetIcon(IShellItemArray*, LPWSTR* ppszIcon) noexcept {
    if (ppszIcon != nullptr) *ppszIcon = nullptr;
    return Guarded(L"GetIcon", E_FAIL, [&](HResult& result) {
        if (m_icon == 0) {
            result = E_NOTIMPL;
            return;
        }
        const std::wstring location = resources::IconLocation(shellext::ThemedIcon(m_icon));
        if (!location.empty()) result = com::CopyToTaskMemory(location, ppszIcon);
    });
}

STDMETHODIMP CTessalySubCommand::GetToolTip(IShellItemArray*, LPWSTR* ppszInfotip) noexcept {
    return Guarded(L"GetToolTip", E_NOTIMPL, [&](HResult&) {
        if (ppszInfotip != nullptr) *ppszInfotip = nullptr;
    });
}

STDMETHODIMP CTessalySubCommand::GetCanonicalName(GUID* pguidCommandName) noexcept {
    return Guarded(L"GetCanonicalName", E_NOTIMPL, [&](HResult&) {
        if (pguidCommandName != nullptr) *pguidCommandName = GUID_NULL;
    });
}

STDMETHODIMP CTessalySubCommand::GetState(IShellItemArray*, BOOL, EXPCMDSTATE* pCmdState) noexcept {
    return Guarded(L"GetState", E_POINTER, [&](HResult& result) {
        if (pCmdState == nullptr) return;
        *pCmdState = ECS_ENABLED;
        result = S_OK;
    });
}

STDMETHODIMP CTessalySubCommand::Invoke(IShellItemArray*, IBindCtx*) noexcept {
    return Guarded(L"Invoke", E_FAIL, [&](HResult& result) {
        // This runs in the COM surrogate, not in the file manager: what it
        // opens is owned by the file manager's window, so it shows above it.
        const HWND owner = shellext::SiteWindow(m_site.get());
        switch (m_kind) {
            case PlanItemKind::File:
                shellext::OpenFile(m_path, owner);
                result = S_OK;
                break;
            case PlanItemKind::Options:
                ShowOptionsSheet(owner);
                result = S_OK;
                break;
            case PlanItemKind::Separator:
                break;
        }
    });
}

STDMETHODIMP CTessalySubCommand::GetFlags(EXPCMDFLAGS* pFlags) noexcept {
    return Guarded(L"GetFlags", E_POINTER, [&](HResult& result) {
        if (pFlags == nullptr) return;
        *pFlags = m_kind == PlanItemKind::Separator ? ECF_ISSEPARATOR : ECF_DEFAULT;
        result = S_OK;
    });
}

STDMETHODIMP CTessalySubCommand::EnumSubCommands(IEnumExplorerCommand** ppEnum) noexcept {
    return Guarded(L"EnumSubCommands", E_NOTIMPL, [&](HResult&) {
        if (ppEnum != nullptr) *ppEnum = nullptr;
    });
}

}  // namespace tessaly
