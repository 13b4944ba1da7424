#include "shellext/ShellFolder.h"

#include <shellapi.h>

#include <cstring>

#include "shellext/HandleOwners.h"

namespace tessaly::shellext {

namespace {

// DragQueryFileW reads the DROPFILES header, then from pFiles on characters
// of the width fWide gives, up to the first two null characters in a row.
// A block that does not hold all of that (cut, missing its last terminator,
// an offset beyond it) would be read past its end: it counts as no list.
bool DropListEndsInside(const void* block, SIZE_T size) {
    DROPFILES header;
    if (size < sizeof header) return false;
    std::memcpy(&header, block, sizeof header);
    const SIZE_T width = header.fWide ? sizeof(wchar_t) : 1;
    const auto* bytes = static_cast<const unsigned char*>(block);
    bool previousWasNull = false;
    for (SIZE_T at = header.pFiles; at <= size && size - at >= width; at += width) {
        const bool isNull = bytes[at] == 0 && bytes[at + width - 1] == 0;
        if (isNull && previousWasNull) return true;
        previousWasNull = isNull;
    }
    return false;
}

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool StartsWithDriveRoot(std::wstring_view path) {
    return path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\';
}

// \\server\share...: a server named, and a share below it. "." and "?" are
// not servers: they start the device and long-path namespaces.
bool IsSharePath(std::wstring_view path) {
    if (path.size() < 2 || path[0] != L'\\' || path[1] != L'\\') return false;
    const std::wstring_view rest = path.substr(2);
    const std::size_t separator = rest.find(L'\\');
    if (separator == 0 || separator == std::wstring_view::npos || separator + 1 == rest.size()) return false;
    const std::wstring_view server = rest.substr(0, separator);
    return server != L"." && server != L"?" && rest[separator + 1] != L'\\';
}

}  // namespace

// The shell's drop lists carry full paths; any other path would be taken
// relative to the host's current folder and name a folder nobody clicked.
bool IsAcceptedFolderPath(std::wstring_view path) {
    if (path.size() >= MAX_PATH) return false;
    constexpr std::wstring_view kLongPathPrefix = L"\\\\?\\";
    if (path.substr(0, kLongPathPrefix.size()) == kLongPathPrefix)
        return StartsWithDriveRoot(path.substr(kLongPathPrefix.size()));
    return StartsWithDriveRoot(path) || IsSharePath(path);
}

std::optional<std::wstring> FolderFromItemList(PCIDLIST_ABSOLUTE itemList) {
    if (itemList == nullptr) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(itemList, path)) return std::nullopt;
    return std::wstring(path);
}

DropListResult FolderFromDataObject(IDataObject* dataObject, std::wstring& folder) {
    if (dataObject == nullptr) return DropListResult::Unavailable;

    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    StorageMedium medium;
    if (FAILED(dataObject->GetData(&format, medium.Receive()))) return DropListResult::Unavailable;
    medium.MarkFilled();
    // A data object may answer with another medium than the one asked for
    // (a stream, say), which no drop list can be read from.
    if (medium.Type() != TYMED_HGLOBAL || medium.Global() == nullptr) return DropListResult::Unavailable;

    const GlobalMemoryLock lock(medium.Global());
    if (lock.Data() == nullptr || !DropListEndsInside(lock.Data(), ::GlobalSize(medium.Global())))
        return DropListResult::Unavailable;
    const HDROP drop = static_cast<HDROP>(lock.Data());

    if (::DragQueryFileW(drop, 0xFFFFFFFFu, nullptr, 0) != 1) return DropListResult::NoFolder;
    // A longer path would be cut to fit, and the cut may name another folder.
    const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
    if (length == 0 || length >= MAX_PATH) return DropListResult::NoFolder;
    wchar_t path[MAX_PATH] = {};
    if (::DragQueryFileW(drop, 0, path, MAX_PATH) != length || !IsAcceptedFolderPath(std::wstring_view(path, length)))
        return DropListResult::NoFolder;
    // A bit test on purpose: a drive without a medium has unreadable
    // attributes (all bits set) and is still taken as a folder.
    if ((::GetFileAttributesW(path) & FILE_ATTRIBUTE_DIRECTORY) == 0) return DropListResult::NoFolder;
    folder = path;
    return DropListResult::Folder;
}

}  // namespace tessaly::shellext
