#pragma once
// Which folder Windows 11's file manager means when it asks the Explorer
// command about a right-click. It passes, as documented for IExplorerCommand
// and shown by the public samples of packaged context-menu commands:
//  - a folder or drive icon: an item array holding the clicked item;
//  - several selected items: an array of all of them;
//  - a folder's background: no array or an empty one; the folder is the one
//    the site's folder view shows (IServiceProvider, SID_SFolderView,
//    IFolderView::GetFolder).
// The command shows for exactly one file-system folder whose path the
// classic handler would take too.
#include <windows.h>

#include <shobjidl.h>

#include <string>

#include "framework/com/ComPtr.h"

namespace tessaly::shellext {

enum class CommandFolderState {
    Shown,    // one file-system folder: path holds it
    Hidden,   // two or more items, a file, a folder without a file-system path, a refused path
    Pending,  // finding out may be slow (a network item) and the caller asked for an answer at once
};

struct CommandFolder {
    CommandFolderState state = CommandFolderState::Hidden;
    std::wstring path;
    com::ComPtr<IShellItem> item;  // Pending: the item to resolve once that may be slow
};

// Reads only what the shell items already know (their attributes and
// file-system path): nothing in the folder is enumerated or opened.
CommandFolder ResolveCommandFolder(IShellItemArray* items, IUnknown* site, bool okToBeSlow);

// The same for one item, the clicked one or the site's folder.
CommandFolder ResolveCommandItem(IShellItem* item, bool okToBeSlow);

}  // namespace tessaly::shellext
