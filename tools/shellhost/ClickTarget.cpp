#include "tools/shellhost/ClickTarget.h"

#include "tools/shellhost/HandlerSession.h"

namespace tessaly::shellhost {

HRESULT PrepareClick(ClickKind kind, const std::vector<std::wstring>& paths, ClickTarget& target,
                     std::wstring& problem) {
    const auto failed = [&problem](const wchar_t* call, HRESULT result, const std::wstring& path) {
        problem = std::wstring(call) + L" failed with " + HresultText(result) + L" for " + path;
        return result;
    };
    std::vector<Pidl> items;
    for (const std::wstring& path : paths) {
        Pidl item;
        const HRESULT result = ::SHParseDisplayName(path.c_str(), nullptr, item.put(), 0, nullptr);
        if (FAILED(result)) return failed(L"SHParseDisplayName", result, path);
        items.push_back(std::move(item));
    }
    if (kind == ClickKind::Background) {
        target.folder = std::move(items.front());
        return S_OK;
    }

    // Icons: the shell asks the folder that holds them for one data object of
    // all of them and passes that folder's own id list as the folder.
    Pidl parentList(::ILClone(items.front().get()));
    if (parentList.get() == nullptr || !::ILRemoveLastID(parentList.get()))
        return failed(L"ILRemoveLastID", E_FAIL, paths.front());
    std::vector<PCUITEMID_CHILD> children;
    for (std::size_t i = 0; i < items.size(); ++i) {
        ComPtr<IShellFolder> parent;
        PCUITEMID_CHILD child = nullptr;
        const HRESULT result = ::SHBindToParent(items[i].get(), IID_IShellFolder, parent.put_void(), &child);
        if (FAILED(result)) return failed(L"SHBindToParent", result, paths[i]);
        Pidl itemParent(::ILClone(items[i].get()));
        if (itemParent.get() == nullptr || !::ILRemoveLastID(itemParent.get()) ||
            !::ILIsEqual(itemParent.get(), parentList.get())) {
            problem = paths[i] + L" is not in the folder that holds " + paths.front();
            return E_INVALIDARG;
        }
        if (i == 0) target.parent = std::move(parent);
        children.push_back(child);
    }
    const HRESULT result = target.parent->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(),
                                                        IID_IDataObject, nullptr, target.data.put_void());
    if (FAILED(result)) return failed(L"IShellFolder::GetUIObjectOf", result, paths.front());
    target.folder = std::move(parentList);
    return S_OK;
}

}  // namespace tessaly::shellhost
