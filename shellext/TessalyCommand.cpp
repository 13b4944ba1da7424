#include "shellext/TessalyCommand.h"

#include <limits>
#include <memory>

#include "diagnostics/EntryPoint.h"
#include "framework/com/TaskMemory.h"
#include "resources/IconLocation.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"
#include "settings/Settings.h"
#include "shellext/CommandFolder.h"
#include "shellext/MenuPlan.h"
#include "shellext/MenuTheme.h"
#include "shellext/OpenFile.h"
#include "shellext/TessalyCommandEnum.h"
#include "shellext/TessalySubCommand.h"

namespace tessaly {

const GUID kTessalyCommandName = {0x7DADEBCC, 0x2573, 0x48AF, {0x87, 0xCF, 0x40, 0x6C, 0x88, 0xD0, 0x33, 0x77}};

namespace {

template <typename Work>
HRESULT Guarded(const wchar_t* operation, HRESULT failure, Work&& work) noexcept {
    return RunGuarded(L"CTessalyCommand::", operation, HResult{failure}, std::forward<Work>(work));
}

// The submenu's items as subcommands, in plan order.
std::shared_ptr<const CommandList> SubCommandsOf(const MenuPlan& plan, IUnknown* site) {
    auto commands = std::make_shared<CommandList>();
    commands->reserve(plan.items.size());
    for (const PlanItem& item : plan.items) {
        const auto command = com::MakeObject<CTessalySubCommand>();
        command->SetItem(item, site);
        commands->push_back(com::ComPtr<IExplorerCommand>::Share(command.get()));
    }
    return commands;
}

}  // namespace

const com::InterfaceEntry* CTessalyCommand::InterfaceTable() noexcept {
    static const com::InterfaceEntry table[] = {
        {&IID_IExplorerCommand, com::InterfaceOf<CTessalyCommand, IExplorerCommand>},
        {&IID_IObjectWithSite, com::InterfaceOf<CTessalyCommand, IObjectWithSite>},
        {nullptr, nullptr},
    };
    return table;
}

STDMETHODIMP CTessalyCommand::GetTitle(IShellItemArray*, LPWSTR* ppszName) noexcept {
    // Null unless a text is given: a caller may free it whatever the result.
    if (ppszName != nullptr) *ppszName = nullptr;
    return Guarded(L"GetTitle", E_FAIL,
                   [&](HResult& result) { result = com::CopyToTaskMemory(resources::LoadText(IDS_APP_NAME), ppszName); });
}

STDMETHODIMP CTessalyCommand::GetIcon(IShellItemArray*, LPWSTR* ppszIcon) noexcept {
    if (ppszIcon != nullptr) *ppszIcon = nullptr;
    return Guarded(L"GetIcon", E_FAIL, [&](HResult& result) {
        const std::wstring location = resources::IconLocation(shellext::ThemedIcon(IDI_PRODUCT));
        if (!location.empty()) result = com::CopyToTaskMemory(location, ppszIcon);
    });
}

STDMETHODIMP CTessalyCommand::GetToolTip(IShellItemArray*, LPWSTR* ppszInfotip) noexcept {
    return Guarded(L"GetToolTip", E_FAIL,
                   [&](HResult& result) { result = com::CopyToTaskMemory(shellext::kHelpText, ppszInfotip); });
}

STDMETHODIMP CTessalyCommand::GetCanonicalName(GUID* pguidCommandName) noexcept {
    return Guarded(L"GetCanonicalName", E_POINTER, [&](HResult& result) {
        if (pguidCommandName == nullptr) return;
        *pguidCommandName = kTessalyCommandName;
        result = S_OK;
    });
}

STDMETHODIMP CTessalyCommand::GetState(IShellItemArray* psiItemArray, BOOL fOkToBeSlow,
                                       EXPCMDSTATE* pCmdState) noexcept {
    return Guarded(L"GetState", E_FAIL, [&](HResult& result) {
        if (pCmdState == nullptr) {
            result = E_POINTER;
            return;
        }
        *pCmdState = ECS_HIDDEN;
        m_listing.Clear();
        m_pendingItem.reset();
        shellext::CommandFolder folder =
            shellext::ResolveCommandFolder(psiItemArray, m_site.get(), fOkToBeSlow != FALSE);
        switch (folder.state) {
            case shellext::CommandFolderState::Pending:
                // A caller that asks again, off its UI thread, gets the real
                // answer then; one that never does still shows the command,
                // and the subcommands resolve the item.
                m_pendingItem = std::move(folder.item);
                *pCmdState = ECS_ENABLED;
                result = E_PENDING;
                return;
            case shellext::CommandFolderState::Shown:
                m_listing.SetFolder(folder.path);
                *pCmdState = ECS_ENABLED;
                break;
            case shellext::CommandFolderState::Hidden:
                break;
        }
        result = S_OK;
    });
}

STDMETHODIMP CTessalyCommand::Invoke(IShellItemArray*, IBindCtx*) noexcept {
    // The top command only opens its submenu.
    return Guarded(L"Invoke", E_NOTIMPL, [](HResult&) {});
}

STDMETHODIMP CTessalyCommand::GetFlags(EXPCMDFLAGS* pFlags) noexcept {
    return Guarded(L"GetFlags", E_POINTER, [&](HResult& result) {
        if (pFlags == nullptr) return;
        *pFlags = ECF_HASSUBCOMMANDS;
        result = S_OK;
    });
}

STDMETHODIMP CTessalyCommand::EnumSubCommands(IEnumExplorerCommand** ppEnum) noexcept {
    return Guarded(L"EnumSubCommands", E_FAIL, [&](HResult& result) {
        if (ppEnum == nullptr) {
            result = E_POINTER;
            return;
        }
        *ppEnum = nullptr;
        if (m_pendingItem) {
            const shellext::CommandFolder folder = shellext::ResolveCommandItem(m_pendingItem.get(), true);
            if (folder.state == shellext::CommandFolderState::Shown) m_listing.SetFolder(folder.path);
            m_pendingItem.reset();
        }
        // Subcommands have no command ids, so none are ever too few.
        const MenuPlan plan = PlanMenu(
            m_listing, [](const wchar_t* name) { return ReadSetting(name); },
            std::numeric_limits<std::uint64_t>::max());
        const auto commands = com::MakeObject<CTessalyCommandEnum>();
        commands->SetList(SubCommandsOf(plan, m_site.get()));
        *ppEnum = com::ComPtr<IEnumExplorerCommand>::Share(commands.get()).detach();
        result = S_OK;
    });
}

STDMETHODIMP CTessalyCommand::SetSite(IUnknown* pUnkSite) noexcept {
    return Guarded(L"SetSite", E_FAIL, [&](HResult& result) {
        m_site = com::ComPtr<IUnknown>::Share(pUnkSite);
        result = S_OK;
    });
}

STDMETHODIMP CTessalyCommand::GetSite(REFIID riid, void** ppvSite) noexcept {
    return Guarded(L"GetSite", E_FAIL, [&](HResult& result) {
        if (ppvSite == nullptr) {
            result = E_POINTER;
            return;
        }
        *ppvSite = nullptr;
        if (m_site) result = m_site->QueryInterface(riid, ppvSite);
    });
}

}  // namespace tessaly
