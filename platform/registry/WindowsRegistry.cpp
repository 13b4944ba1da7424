#include "platform/registry/WindowsRegistry.h"

#include <windows.h>

#include "platform/registry/SystemRegistry.h"

namespace tessaly::registry {

namespace {

HKEY ToHkey(KeyId key) { return reinterpret_cast<HKEY>(key); }
KeyId ToKeyId(HKEY key) { return reinterpret_cast<KeyId>(key); }
bool IsPredefined(KeyId key) { return key >= kClassesRoot && key <= kDynData; }

using DeleteKeyExFunction = LSTATUS(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);

// RegDeleteKeyExW is not on every system: it is looked up in the already
// loaded Advapi32.dll (never loaded for this), once per process.
DeleteKeyExFunction FindDeleteKeyEx() {
    const HMODULE advapi = ::GetModuleHandleW(L"Advapi32.dll");
    if (advapi == nullptr) return nullptr;
    const FARPROC found = ::GetProcAddress(advapi, "RegDeleteKeyExW");
    return reinterpret_cast<DeleteKeyExFunction>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

Win32Error WindowsRegistry::OpenKey(KeyId parent, const wchar_t* subKey, std::uint32_t access, KeyId& key) {
    HKEY opened = nullptr;
    const LSTATUS result = ::RegOpenKeyExW(ToHkey(parent), subKey, 0, access, &opened);
    if (result == ERROR_SUCCESS) key = ToKeyId(opened);
    return static_cast<Win32Error>(result);
}

Win32Error WindowsRegistry::CreateKey(KeyId parent, const wchar_t* subKey, std::uint32_t access, KeyId& key) {
    wchar_t noClass[] = L"";
    HKEY created = nullptr;
    const LSTATUS result = ::RegCreateKeyExW(ToHkey(parent), subKey != nullptr ? subKey : L"", 0, noClass,
                                             REG_OPTION_NON_VOLATILE, access, nullptr, &created, nullptr);
    if (result == ERROR_SUCCESS) key = ToKeyId(created);
    return static_cast<Win32Error>(result);
}

Win32Error WindowsRegistry::QueryValue(KeyId key, const wchar_t* name, std::uint32_t* valueType, void* data,
                                       std::uint32_t& size) {
    DWORD type = REG_NONE;
    DWORD bytes = size;
    const LSTATUS result =
        ::RegQueryValueExW(ToHkey(key), name, nullptr, &type, static_cast<BYTE*>(data), &bytes);
    if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        size = bytes;
        if (valueType != nullptr) *valueType = type;
    }
    return static_cast<Win32Error>(result);
}

Win32Error WindowsRegistry::SetValue(KeyId key, const wchar_t* name, std::uint32_t valueType, const void* data,
                                     std::uint32_t size) {
    return static_cast<Win32Error>(
        ::RegSetValueExW(ToHkey(key), name, 0, valueType, static_cast<const BYTE*>(data), size));
}

Win32Error WindowsRegistry::DeleteValue(KeyId key, const wchar_t* name) {
    return static_cast<Win32Error>(::RegDeleteValueW(ToHkey(key), name));
}

Win32Error WindowsRegistry::DeleteKey(KeyId parent, const wchar_t* subKey) {
    static const DeleteKeyExFunction deleteKeyEx = FindDeleteKeyEx();
    if (deleteKeyEx != nullptr) return static_cast<Win32Error>(deleteKeyEx(ToHkey(parent), subKey, 0, 0));
    return static_cast<Win32Error>(::RegDeleteKeyW(ToHkey(parent), subKey));
}

Win32Error WindowsRegistry::FirstSubKeyName(KeyId key, wchar_t* name, std::uint32_t room) {
    DWORD length = room;
    return static_cast<Win32Error>(
        ::RegEnumKeyExW(ToHkey(key), 0, name, &length, nullptr, nullptr, nullptr, nullptr));
}

Win32Error WindowsRegistry::HasSubKeys(KeyId key, bool& hasSubKeys) {
    DWORD subKeys = 0;
    const LSTATUS result = ::RegQueryInfoKeyW(ToHkey(key), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                                              nullptr, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_SUCCESS) hasSubKeys = subKeys > 0;
    return static_cast<Win32Error>(result);
}

Win32Error WindowsRegistry::CloseKey(KeyId key) {
    if (IsPredefined(key)) return win32::kSuccess;
    return static_cast<Win32Error>(::RegCloseKey(ToHkey(key)));
}

Registry& SystemRegistry() {
    static WindowsRegistry registry;
    return registry;
}

}  // namespace tessaly::registry
