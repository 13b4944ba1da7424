#pragma once
// Where the shell says which folder was clicked: a folder item list (a
// folder's background, or a folder the shell resolved) or a data object with
// a drop list (a folder or drive that was right-clicked).
#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include <optional>
#include <string>
#include <string_view>

namespace tessaly::shellext {

// The file-system path of the item list; nothing for a null list or one
// without such a path.
std::optional<std::wstring> FolderFromItemList(PCIDLIST_ABSOLUTE itemList);

enum class DropListResult {
    Folder,       // one item that is a directory (or whose attributes cannot be read)
    NoFolder,     // two or more items, a plain file, or a path that is empty, too long or not full
    Unavailable,  // no data object, no CF_HDROP in global memory, not lockable, or a block short of its list
};

// A full path the handler takes for a folder (a drive's or a share's),
// shorter than MAX_PATH; it does not look at the file system.
bool IsAcceptedFolderPath(std::wstring_view path);

// Reads the data object's CF_HDROP; folder receives the path for Folder.
DropListResult FolderFromDataObject(IDataObject* dataObject, std::wstring& folder);

}  // namespace tessaly::shellext
