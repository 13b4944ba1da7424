#pragma once
// What the file manager hands a context-menu handler's Initialize for one
// right-click: the folder's item id list, and for a folder or drive icon a
// data object made by the parent folder's own shell folder object.
#include <string>

#include "tools/shellhost/CommandLine.h"
#include "tools/shellhost/Owners.h"

namespace tessaly::shellhost {

struct ClickTarget {
    Pidl folder;                  // the open folder (background) or the icon's parent
    ComPtr<IDataObject> data;     // null for a background click
    ComPtr<IShellFolder> parent;  // keeps the data object's folder alive
};

// S_OK, or the failing shell call's result with its name in `failedCall`.
HRESULT PrepareClick(ClickKind kind, const std::wstring& path, ClickTarget& target, std::wstring& failedCall);

}  // namespace tessaly::shellhost
