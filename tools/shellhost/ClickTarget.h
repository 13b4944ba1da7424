#pragma once
// What the file manager hands a context-menu handler's Initialize for one
// right-click: the folder's item id list, and for folder or drive icons (one,
// or several selected together) a data object of all of them made by their
// parent folder's own shell folder object.
#include <string>
#include <vector>

#include "tools/shellhost/CommandLine.h"
#include "tools/shellhost/Owners.h"

namespace tessaly::shellhost {

struct ClickTarget {
    Pidl folder;                  // the open folder (background) or the icons' parent
    ComPtr<IDataObject> data;     // null for a background click
    ComPtr<IShellFolder> parent;  // keeps the data object's folder alive
};

// S_OK, or a failure with what failed in words in `problem`.
HRESULT PrepareClick(ClickKind kind, const std::vector<std::wstring>& paths, ClickTarget& target,
                     std::wstring& problem);

}  // namespace tessaly::shellhost
