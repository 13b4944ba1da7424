#pragma once
// What the programs that push the built DLL share: its debug lines read back
// in-process, the process's resource counts, a stand-in data object, the
// handler created through the DLL's own exports, and the settings it reads.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/server/dll/LoadedServer.h"
#include "tests/support/ComRef.h"

namespace tessaly::testing {

// The DLL writes its lines with OutputDebugStringW, which raises a debug
// print exception that a vectored handler sees first; so the lines of every
// thread are collected here while an object lives. Only one at a time.
class DllDebugLines {
public:
    DllDebugLines();
    ~DllDebugLines();
    DllDebugLines(const DllDebugLines&) = delete;
    DllDebugLines& operator=(const DllDebugLines&) = delete;
    std::vector<std::wstring> Take();  // the lines so far; starts afresh
};

// What the process holds: GDI and USER objects (GuiObjects), kernel handles
// (GetProcessHandleCount, which answers 0 under Wine, and so also the slot a
// fresh one gets: the table hands out its lowest free slot, so a leak pushes
// it up) and private bytes.
struct ResourceCounts {
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    DWORD kernelHandles = 0;
    unsigned kernelSlot = 0;
    SIZE_T privateBytes = 0;
    static ResourceCounts Now();
};

// Bytes in busy blocks of every heap of the process: exact, unlike private
// bytes, which move in whole pages as heaps grow.
long long HeapBusyBytes();

// A data object whose GetData for CF_HDROP answers what makeMedium says: a
// failure, or S_OK with the medium it filled in (any kind). Each medium it
// hands out is released through it, so the test can count that every one
// came back.
class DropData;
using MediumMaker = std::function<HRESULT(STGMEDIUM& medium)>;
ComRef<IDataObject> NewDataObject(MediumMaker makeMedium, DropData** self = nullptr);
// One that offers CF_HDROP with the given paths (in global memory, or in a
// stream whatever was asked for), or refuses it.
enum class DropOffer { None, Global, Stream };
ComRef<IDataObject> NewDropData(std::vector<std::wstring> paths, DropOffer offer = DropOffer::Global,
                                DropData** self = nullptr);
long OutstandingMedia(DropData* data);

// The bytes of a drop list (DROPFILES header and wide paths, each ended, and
// the list's own terminator), and a global block holding exactly given bytes.
std::string DropListBytes(const std::vector<std::wstring>& paths);
HGLOBAL GlobalBlock(const std::string& bytes, UINT flags = GMEM_MOVEABLE);

// The handler as the shell gets it: class factory of the loaded DLL, then
// CreateInstance.
ComRef<IShellExtInit> NewHandler(const LoadedServer& server);
ComRef<IContextMenu> MenuOf(IShellExtInit* handler);
// The Explorer command likewise, and the item array of a click on one folder.
ComRef<IExplorerCommand> NewCommand(const LoadedServer& server);
ComRef<IShellItemArray> FolderItemArray(const std::wstring& folder);

// Writes the six settings into the current user's key.
struct MenuSettings {
    DWORD accessed = 1, modified = 1, fileCount = 10, highlightDays = 3, showTimeHint = 1, weekStart = 0;
};
void StoreSettings(const MenuSettings& settings);

// A folder under the Wine prefix's temporary folder, removed with its files.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& name = L"tessaly-stress");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& Path() const { return m_path; }
    std::wstring PathOf(const std::wstring& name) const { return m_path + L"\\" + name; }
    void MakeFile(const std::wstring& name) const;  // throws when it cannot
    void MakeFiles(int count) const;                // f00000.txt ... with spread times

private:
    std::wstring m_path;
};
void RemoveTree(const std::wstring& path);

// Item texts of a menu (separators as empty texts) and its submenu.
std::vector<std::wstring> MenuTexts(HMENU menu);
HMENU SubmenuAt(HMENU menu, int position);

}  // namespace tessaly::testing
