#include "shellext/CommandFolder.h"

#include <servprov.h>

#include "framework/com/ComPtr.h"
#include "framework/com/TaskMemory.h"
#include "shellext/ShellFolder.h"

namespace tessaly::shellext {

namespace {

using com::ComPtr;
using com::TaskString;

// The folder the site's folder view shows: what a background click means.
ComPtr<IShellItem> FolderOfSite(IUnknown* site) {
    ComPtr<IShellItem> folder;
    if (site == nullptr) return folder;
    ComPtr<IServiceProvider> services;
    if (FAILED(site->QueryInterface(IID_IServiceProvider, services.put_void())) || !services) return folder;
    ComPtr<IFolderView> view;
    if (FAILED(services->QueryService(SID_SFolderView, IID_IFolderView, view.put_void())) || !view) return folder;
    if (FAILED(view->GetFolder(IID_IShellItem, folder.put_void()))) folder.reset();
    return folder;
}

}  // namespace

CommandFolder ResolveCommandItem(IShellItem* item, bool okToBeSlow) {
    CommandFolder result;
    SFGAOF attributes = 0;
    // The item's attributes come with it; only a slow item (on the network)
    // may make the next questions wait, so that one waits for a second call.
    if (!okToBeSlow && SUCCEEDED(item->GetAttributes(SFGAO_ISSLOW, &attributes)) && (attributes & SFGAO_ISSLOW)) {
        result.state = CommandFolderState::Pending;
        result.item = ComPtr<IShellItem>::Share(item);
        return result;
    }
    // A folder on disk, not a file the shell browses as one (an archive).
    const SFGAOF wanted = SFGAO_FOLDER | SFGAO_FILESYSTEM;
    if (FAILED(item->GetAttributes(wanted | SFGAO_STREAM, &attributes)) || (attributes & wanted) != wanted ||
        (attributes & SFGAO_STREAM))
        return result;
    TaskString path;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, path.put())) || path.get() == nullptr) return result;
    if (!IsAcceptedFolderPath(path.get())) return result;
    result.state = CommandFolderState::Shown;
    result.path = path.get();
    return result;
}

CommandFolder ResolveCommandFolder(IShellItemArray* items, IUnknown* site, bool okToBeSlow) {
    DWORD count = 0;
    if (items != nullptr && FAILED(items->GetCount(&count))) return {};
    if (count > 1) return {};
    ComPtr<IShellItem> item;
    // An empty array, like none, is a background click.
    if (count == 1) {
        if (FAILED(items->GetItemAt(0, item.put())) || !item) return {};
    } else {
        item = FolderOfSite(site);
        if (!item) return {};
    }
    return ResolveCommandItem(item.get(), okToBeSlow);
}

}  // namespace tessaly::shellext
