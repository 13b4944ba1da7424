#pragma once
// One right-click as Windows 11's file manager hands it to an Explorer
// command of a package, and the tree of commands read back the way its
// menus read it. What it passes follows the documentation of
// IExplorerCommand, IShellItemArray and IObjectWithSite:
//  - a folder or drive icon: an item array of the clicked items;
//  - a folder's background: no array, or an empty one;
//  - a site whose folder view (IServiceProvider, SID_SFolderView,
//    IFolderView::GetFolder) shows the open folder (the background's folder,
//    or the parent of the clicked items) and whose window (IOleWindow) is
//    the file manager's; or, as some callers do, no site at all.
// The two menus ask in different orders (MediaArea/MediaInfo#1290 logs
// both): the first menu asks GetState(TRUE) at once; the classic menu asks
// GetState(FALSE) on its UI thread, then GetState(TRUE) from another thread,
// of a new instance (Microsoft's Explorer command sample).
#include <functional>
#include <string>
#include <vector>

#include <shobjidl.h>

#include "tools/shellhost/CommandLine.h"
#include "tools/shellhost/MenuTree.h"
#include "tools/shellhost/OtherApartment.h"
#include "tools/shellhost/Owners.h"

namespace tessaly::shellhost {

struct CommandClick {
    ComPtr<IShellItemArray> items;  // null for a background click passed without an array
    ComPtr<IUnknown> site;          // null for a caller without a site
};

// S_OK, or the failing shell call's result with its name in `failedCall`.
// `paths`: the background's folder, or the clicked items (of one folder).
// `window`: what the site answers as its window (may be null).
HRESULT PrepareCommandClick(ClickKind kind, const std::vector<std::wstring>& paths, bool emptyArray,
                            CommandClick& click, std::wstring& failedCall, HWND window = nullptr);

struct CommandTree {
    // GetState's answer, after a second call allowed to be slow when the
    // first said E_PENDING (as the file manager asks again off its UI thread).
    HRESULT stateResult = E_FAIL;
    bool pendingFirst = false;
    bool hidden = true;
    // The top command, with its subcommands as children (MenuNode::id is
    // each one's position in the list the command enumerated).
    std::vector<MenuNode> nodes;
    std::vector<ComPtr<IExplorerCommand>> subcommands;  // by position
    std::vector<std::wstring> problems;                 // calls that failed, with their results
};

// SetSite (with a site), GetState in the caller's order, and when shown
// GetTitle, GetIcon, GetFlags and EnumSubCommands with the same questions of
// each subcommand. The classic menu's second question goes to a new
// instance from `another`, on a thread of its own.
CommandTree ReadCommandTree(IExplorerCommand* command, const CommandClick& click,
                            CommandCaller caller = CommandCaller::FirstMenu, const CommandMaker& another = {});

}  // namespace tessaly::shellhost
