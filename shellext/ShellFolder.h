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

// Whether a folder path is one the handler takes: a full path on a drive
// (X:\..., also \\?\X:\...) or on a share (\\server\share...), shorter than
// MAX_PATH characters. A device path (\\.\C:) names a volume, not a folder;
// a drive-relative path (C:folder) or a relative one names whatever the
// current folder makes of it. Reads the text only, never the file system.
bool IsAcceptedFolderPath(std::wstring_view path);

enum class DropListResult {
    Folder,       // one item that is a directory (or whose attributes cannot be read)
    NoFolder,     // two or more items, a plain file, or a path the handler does not take
    Unavailable,  // no data object, no CF_HDROP in global memory, not lockable, or a block short of its list
};

// A full path the handler takes for a folder (a drive's or a share's),
// shorter than MAX_PATH; it does not look at the file system.
bool IsAcceptedFolderPath(std::wstring_view path);

// Reads the data object's CF_HDROP; folder receives the path for Folder.
DropListResult FolderFromDataObject(IDataObject* dataObject, std::wstring& folder);

}  // namespace tessaly::shellext
