#pragma once
// Uncopyable owners for what the shell host holds: COM interfaces, item id
// lists, menus, registry keys and the COM apartment.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <utility>

#include "framework/com/ComPtr.h"

namespace tessaly::shellhost {

template <typename T>
using ComPtr = com::ComPtr<T>;

// An item id list from the shell's allocator.
class Pidl {
public:
    Pidl() = default;
    explicit Pidl(LPITEMIDLIST pidl) : m_pidl(pidl) {}
    ~Pidl() { ::ILFree(m_pidl); }
    Pidl(const Pidl&) = delete;
    Pidl& operator=(const Pidl&) = delete;
    Pidl(Pidl&& other) noexcept : m_pidl(std::exchange(other.m_pidl, nullptr)) {}
    Pidl& operator=(Pidl&& other) noexcept {
        if (this != &other) ::ILFree(std::exchange(m_pidl, std::exchange(other.m_pidl, nullptr)));
        return *this;
    }

    LPITEMIDLIST get() const { return m_pidl; }
    LPITEMIDLIST* put() {
        ::ILFree(std::exchange(m_pidl, nullptr));
        return &m_pidl;
    }

private:
    LPITEMIDLIST m_pidl = nullptr;
};

// A popup menu with everything handlers attached to it.
class MenuOwner {
public:
    MenuOwner() : m_menu(::CreatePopupMenu()) {}
    ~MenuOwner() {
        if (m_menu != nullptr) ::DestroyMenu(m_menu);
    }
    MenuOwner(const MenuOwner&) = delete;
    MenuOwner& operator=(const MenuOwner&) = delete;
    HMENU get() const { return m_menu; }

private:
    HMENU m_menu;
};

class RegKey {
public:
    RegKey() = default;
    ~RegKey() {
        if (m_key != nullptr) ::RegCloseKey(m_key);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY get() const { return m_key; }
    HKEY* put() { return &m_key; }

private:
    HKEY m_key = nullptr;
};

// The calling thread's single-threaded apartment, as the file manager's.
class Apartment {
public:
    Apartment() : m_result(::OleInitialize(nullptr)) {}
    ~Apartment() {
        if (SUCCEEDED(m_result)) ::OleUninitialize();
    }
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;
    HRESULT result() const { return m_result; }

private:
    HRESULT m_result;
};

}  // namespace tessaly::shellhost
