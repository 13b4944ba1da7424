#pragma once
// Owners for the handles the handler holds: its pictures, a submenu until the
// shell's menu takes it, a storage medium and a global memory lock.
#include <windows.h>

#include <objidl.h>

#include <utility>

#include "platform/win/HandleOwners.h"

namespace tessaly::shellext {

struct BitmapTraits {
    using Handle = HBITMAP;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle handle) { ::DeleteObject(handle); }
};
struct MenuTraits {
    using Handle = HMENU;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle handle) { ::DestroyMenu(handle); }
};

using Bitmap = platform::UniqueHandle<BitmapTraits>;
// Destroys a submenu with its items unless released to the menu that took it.
using Menu = platform::UniqueHandle<MenuTraits>;

// A storage medium that GetData filled; released exactly once.
class StorageMedium {
public:
    StorageMedium() { m_medium = STGMEDIUM{}; }
    ~StorageMedium() {
        if (m_filled) ::ReleaseStgMedium(&m_medium);
    }
    StorageMedium(const StorageMedium&) = delete;
    StorageMedium& operator=(const StorageMedium&) = delete;

    // Where GetData writes; call MarkFilled when it succeeded.
    STGMEDIUM* Receive() { return &m_medium; }
    void MarkFilled() { m_filled = true; }
    DWORD Type() const { return m_medium.tymed; }
    HGLOBAL Global() const { return m_medium.hGlobal; }

private:
    STGMEDIUM m_medium;
    bool m_filled = false;
};

// A GlobalLock held for the owner's life; Data() is null when the lock failed.
class GlobalMemoryLock {
public:
    explicit GlobalMemoryLock(HGLOBAL memory) : m_memory(memory), m_data(::GlobalLock(memory)) {}
    ~GlobalMemoryLock() {
        if (m_data != nullptr) ::GlobalUnlock(m_memory);
    }
    GlobalMemoryLock(const GlobalMemoryLock&) = delete;
    GlobalMemoryLock& operator=(const GlobalMemoryLock&) = delete;

    void* Data() const { return m_data; }

private:
    HGLOBAL m_memory;
    void* m_data;
};

}  // namespace tessaly::shellext
