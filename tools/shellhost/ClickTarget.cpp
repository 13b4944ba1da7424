#include "tools/shellhost/ClickTarget.h"

namespace tessaly::shellhost {

HRESULT PrepareClick(ClickKind kind, const std::wstring& path, ClickTarget& target, std::wstring& failedCall) {
    Pidl item;
    HRESULT result = ::SHParseDisplayName(path.c_str(), nullptr, item.put(), 0, nullptr);
    if (FAILED(result)) {
        failedCall = L"SHParseDisplayName";
        return result;
    }
    if (kind == ClickKind::Background) {
        target.folder = std::move(item);
        return S_OK;
    }

    // An icon: the shell asks the parent folder for the item's data object
    // and passes the parent's own id list as the folder.
    PCUITEMID_CHILD child = nullptr;
    result = ::SHBindToParent(item.get(), IID_IShellFolder, target.parent.put_void(), &child);
    if (FAILED(result)) {
        failedCall = L"SHBindToParent";
        return result;
    }
    result = target.parent->GetUIObjectOf(nullptr, 1, &child, IID_IDataObject, nullptr, target.data.put_void());
    if (FAILED(result)) {
        failedCall = L"IShellFolder::GetUIObjectOf";
        return result;
    }
    Pidl parentList(::ILClone(item.get()));
    if (parentList.get() == nullptr || !::ILRemoveLastID(parentList.get())) {
        failedCall = L"ILRemoveLastID";
        return E_FAIL;
    }
    target.folder = std::move(parentList);
    return S_OK;
}

}  // namespace tessaly::shellhost
