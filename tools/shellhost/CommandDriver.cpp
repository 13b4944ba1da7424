#include "tools/shellhost/CommandDriver.h"

#include <servprov.h>

#include "framework/com/ObjectRoot.h"
#include "framework/com/TaskMemory.h"
#include "tools/shellhost/HandlerSession.h"

namespace tessaly::shellhost {
namespace {

// The file manager's view of the open folder, as far as a command asks it:
// the folder it shows, and its window. Everything else a view can do is not
// needed here.
class FolderViewSite : public com::CComObjectRootST,
                       public IServiceProvider,
                       public IFolderView,
                       public IOleWindow {
public:
    using PrimaryInterface = IServiceProvider;
    static const com::InterfaceEntry* InterfaceTable() noexcept {
        static const com::InterfaceEntry table[] = {
            {&IID_IServiceProvider, com::InterfaceOf<FolderViewSite, IServiceProvider>},
            {&IID_IFolderView, com::InterfaceOf<FolderViewSite, IFolderView>},
            {&IID_IOleWindow, com::InterfaceOf<FolderViewSite, IOleWindow>},
            {nullptr, nullptr},
        };
        return table;
    }
    void SetFolder(ComPtr<IShellItem> folder) { m_folder = std::move(folder); }
    void SetWindow(HWND window) { m_window = window; }

    STDMETHODIMP GetWindow(HWND* window) noexcept override {
        if (window == nullptr) return E_POINTER;
        *window = m_window;
        return m_window != nullptr ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }

    STDMETHODIMP QueryService(REFGUID service, REFIID riid, void** object) noexcept override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (!IsEqualGUID(service, SID_SFolderView)) return E_NOINTERFACE;
        return static_cast<IFolderView*>(this)->QueryInterface(riid, object);
    }

    STDMETHODIMP GetFolder(REFIID riid, void** object) noexcept override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        return m_folder ? m_folder->QueryInterface(riid, object) : E_FAIL;
    }
    STDMETHODIMP GetCurrentViewMode(UINT*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP SetCurrentViewMode(UINT) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP Item(int, PITEMID_CHILD*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP ItemCount(UINT, int*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP Items(UINT, REFIID, void** object) noexcept override {
        if (object != nullptr) *object = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetSelectionMarkedItem(int*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP GetFocusedItem(int*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP GetItemPosition(PCUITEMID_CHILD, POINT*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP GetSpacing(POINT*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP GetDefaultSpacing(POINT*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP GetAutoArrange() noexcept override { return E_NOTIMPL; }
    STDMETHODIMP SelectItem(int, DWORD) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP SelectAndPositionItems(UINT, PCUITEMID_CHILD_ARRAY, POINT*, DWORD) noexcept override {
        return E_NOTIMPL;
    }

protected:
    FolderViewSite() = default;
    virtual ~FolderViewSite() = default;

private:
    ComPtr<IShellItem> m_folder;
    HWND m_window = nullptr;
};

// The empty item array the file manager may pass for a background click.
// Wine's shell makes no array of no items, so the host has its own.
class EmptyItemArray : public com::CComObjectRootST, public IShellItemArray {
public:
    using PrimaryInterface = IShellItemArray;
    static const com::InterfaceEntry* InterfaceTable() noexcept {
        static const com::InterfaceEntry table[] = {
            {&IID_IShellItemArray, com::InterfaceOf<EmptyItemArray, IShellItemArray>},
            {nullptr, nullptr},
        };
        return table;
    }
    STDMETHODIMP GetCount(DWORD* count) noexcept override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetItemAt(DWORD, IShellItem** item) noexcept override {
        if (item != nullptr) *item = nullptr;
        return E_INVALIDARG;
    }
    STDMETHODIMP BindToHandler(IBindCtx*, REFGUID, REFIID, void** object) noexcept override {
        if (object != nullptr) *object = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetPropertyStore(GETPROPERTYSTOREFLAGS, REFIID, void** object) noexcept override {
        if (object != nullptr) *object = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetPropertyDescriptionList(REFPROPERTYKEY, REFIID, void** object) noexcept override {
        if (object != nullptr) *object = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetAttributes(SIATTRIBFLAGS, SFGAOF, SFGAOF* attributes) noexcept override {
        if (attributes != nullptr) *attributes = 0;
        return E_NOTIMPL;
    }
    STDMETHODIMP EnumItems(IEnumShellItems** items) noexcept override {
        if (items != nullptr) *items = nullptr;
        return E_NOTIMPL;
    }

protected:
    EmptyItemArray() = default;
    virtual ~EmptyItemArray() = default;
};

std::wstring Text(HRESULT (STDMETHODCALLTYPE IExplorerCommand::*get)(IShellItemArray*, LPWSTR*), IExplorerCommand* command,
                  IShellItemArray* items, HRESULT& result) {
    com::TaskString text;
    result = (command->*get)(items, text.put());
    return SUCCEEDED(result) && text.get() != nullptr ? std::wstring(text.get()) : std::wstring();
}

// One command as a menu node: its title, whether it shows an icon, and its
// flags and state as the menu would draw them.
MenuNode NodeOf(IExplorerCommand* command, IShellItemArray* items, std::uint32_t position, const std::wstring& name,
                std::vector<std::wstring>& problems) {
    MenuNode node;
    node.id = position;
    auto note = [&](const wchar_t* call, HRESULT result) {
        if (FAILED(result) && result != E_NOTIMPL) problems.push_back(name + L" " + call + L" failed with " +
                                                                       ResultInWords(result));
    };
    EXPCMDFLAGS flags = 0;
    HRESULT result = command->GetFlags(&flags);
    note(L"GetFlags", result);
    node.separator = (flags & ECF_ISSEPARATOR) != 0;
    node.isSubmenu = (flags & ECF_HASSUBCOMMANDS) != 0;
    if (node.separator) return node;
    node.text = Text(&IExplorerCommand::GetTitle, command, items, result);
    note(L"GetTitle", result);
    node.hasPicture = !Text(&IExplorerCommand::GetIcon, command, items, result).empty();
    note(L"GetIcon", result);
    return node;
}

}  // namespace

HRESULT PrepareCommandClick(ClickKind kind, const std::vector<std::wstring>& paths, bool emptyArray,
                            CommandClick& click, std::wstring& failedCall, HWND window) {
    std::vector<Pidl> lists;
    for (const std::wstring& path : paths) {
        Pidl list;
        const HRESULT result = ::SHParseDisplayName(path.c_str(), nullptr, list.put(), 0, nullptr);
        if (FAILED(result)) {
            failedCall = L"SHParseDisplayName";
            return result;
        }
        lists.push_back(std::move(list));
    }
    if (lists.empty()) {
        failedCall = L"no path";
        return E_INVALIDARG;
    }
    // The view shows the background's folder, or the folder holding the icons.
    Pidl shown(::ILClone(lists.front().get()));
    if (shown.get() == nullptr || (kind != ClickKind::Background && !::ILRemoveLastID(shown.get()))) {
        failedCall = L"ILRemoveLastID";
        return E_FAIL;
    }
    ComPtr<IShellItem> folder;
    HRESULT result = ::SHCreateItemFromIDList(shown.get(), IID_IShellItem, folder.put_void());
    if (FAILED(result)) {
        failedCall = L"SHCreateItemFromIDList";
        return result;
    }
    const auto site = com::MakeObject<FolderViewSite>();
    site->SetFolder(std::move(folder));
    site->SetWindow(window);
    site->QueryInterface(IID_IUnknown, click.site.put_void());

    if (kind == ClickKind::Background) {
        if (!emptyArray) return S_OK;
        const auto empty = com::MakeObject<EmptyItemArray>();
        return empty->QueryInterface(IID_IShellItemArray, click.items.put_void());
    }
    std::vector<PCIDLIST_ABSOLUTE> items;
    for (const Pidl& list : lists) items.push_back(list.get());
    result = ::SHCreateShellItemArrayFromIDLists(static_cast<UINT>(items.size()), items.data(), click.items.put());
    if (FAILED(result)) failedCall = L"SHCreateShellItemArrayFromIDLists";
    return result;
}

CommandTree ReadCommandTree(IExplorerCommand* command, const CommandClick& click, CommandCaller caller,
                            const CommandMaker& another) {
    CommandTree tree;
    ComPtr<IObjectWithSite> withSite;
    if (click.site && SUCCEEDED(command->QueryInterface(IID_IObjectWithSite, withSite.put_void())) && withSite)
        withSite->SetSite(click.site.get());
    IShellItemArray* items = click.items.get();

    EXPCMDSTATE state = ECS_HIDDEN;
    if (caller == CommandCaller::FirstMenu) {
        tree.stateResult = command->GetState(items, TRUE, &state);
    } else {
        tree.stateResult = command->GetState(items, FALSE, &state);
        tree.pendingFirst = tree.stateResult == E_PENDING;
        constexpr unsigned kAnswerSeconds = 60;
        const OtherApartmentAnswer second = AskFromAnotherApartment(another, items, click.site.get(), kAnswerSeconds);
        if (!second.problem.empty()) tree.problems.push_back(second.problem);
        tree.stateResult = second.result;
        state = second.state;
    }
    tree.hidden = FAILED(tree.stateResult) || (state & ECS_HIDDEN) != 0;
    if (tree.hidden) return tree;

    MenuNode top = NodeOf(command, items, 0, L"the command", tree.problems);
    top.disabled = (state & ECS_DISABLED) != 0;
    if (top.isSubmenu) {
        ComPtr<IEnumExplorerCommand> list;
        const HRESULT result = command->EnumSubCommands(list.put());
        if (FAILED(result) || !list) {
            tree.problems.push_back(L"EnumSubCommands failed with " + ResultInWords(result));
        } else {
            for (;;) {
                ComPtr<IExplorerCommand> sub;
                ULONG fetched = 0;
                if (list->Next(1, sub.put(), &fetched) != S_OK || fetched != 1 || !sub) break;
                const auto position = static_cast<std::uint32_t>(tree.subcommands.size());
                const std::wstring name = L"subcommand " + std::to_wstring(position);
                MenuNode node = NodeOf(sub.get(), items, position, name, tree.problems);
                EXPCMDSTATE subState = ECS_ENABLED;
                const HRESULT stateResult = sub->GetState(items, TRUE, &subState);
                if (FAILED(stateResult))
                    tree.problems.push_back(name + L" GetState failed with " + ResultInWords(stateResult));
                node.disabled = (subState & ECS_DISABLED) != 0;
                if ((subState & ECS_HIDDEN) == 0) top.children.push_back(std::move(node));
                tree.subcommands.push_back(std::move(sub));
            }
        }
    }
    tree.nodes.push_back(std::move(top));
    return tree;
}

}  // namespace tessaly::shellhost
