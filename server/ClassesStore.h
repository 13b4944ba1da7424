#pragma once
// HKEY_CLASSES_ROOT as one of the two stores that Windows merges into it:
// the machine's classes (HKLM\Software\Classes) or the user's
// (HKCU\Software\Classes). Through the merged root a value goes to the
// user's copy of a key that both hold, and a deletion takes the user's key
// where the machine's was meant ("HKEY_CLASSES_ROOT Key", Microsoft Learn);
// registration writes and deletes through this instead, so each run changes
// only the classes of its mode.
#include <string>

#include "platform/registry/Registry.h"

namespace tessaly {

class ClassesStore final : public registry::Registry {
public:
    // perUser: the user's classes, else the machine's.
    ClassesStore(registry::Registry& inner, bool perUser);

    Win32Error OpenKey(registry::KeyId parent, const wchar_t* subKey, std::uint32_t access,
                       registry::KeyId& key) override;
    Win32Error CreateKey(registry::KeyId parent, const wchar_t* subKey, std::uint32_t access,
                         registry::KeyId& key) override;
    Win32Error QueryValue(registry::KeyId key, const wchar_t* name, std::uint32_t* valueType, void* data,
                          std::uint32_t& size) override;
    Win32Error SetValue(registry::KeyId key, const wchar_t* name, std::uint32_t valueType, const void* data,
                        std::uint32_t size) override;
    Win32Error DeleteValue(registry::KeyId key, const wchar_t* name) override;
    Win32Error DeleteKey(registry::KeyId parent, const wchar_t* subKey) override;
    Win32Error FirstSubKeyName(registry::KeyId key, wchar_t* name, std::uint32_t room) override;
    Win32Error HasSubKeys(registry::KeyId key, bool& hasSubKeys) override;
    Win32Error CloseKey(registry::KeyId key) override;

private:
    // The store's root and the path of parent\subKey below it, when parent
    // is the classes root; else parent and subKey as they are.
    registry::KeyId RootOf(registry::KeyId parent) const;
    const wchar_t* PathOf(registry::KeyId parent, const wchar_t* subKey, std::wstring& path) const;
    // Runs an operation on the store's own key when asked for the classes
    // root itself, opened for it with `access` and closed again.
    template <typename Operation>
    Win32Error OnKey(registry::KeyId key, std::uint32_t access, Operation operation);

    registry::Registry& m_inner;
    const registry::KeyId m_root;
};

}  // namespace tessaly
