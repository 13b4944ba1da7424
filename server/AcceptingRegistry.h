#pragma once
// A registry that grants every request and keeps nothing. Registering a root
// block against it first reads the whole block the way the real run will,
// so that a script error shows before anything is written.
#include "platform/registry/Registry.h"

namespace tessaly {

class AcceptingRegistry final : public registry::Registry {
public:
    Win32Error OpenKey(registry::KeyId parent, const wchar_t* subKey, std::uint32_t access,
                       registry::KeyId& key) override;
    Win32Error CreateKey(registry::KeyId parent, const wchar_t* subKey, std::uint32_t access,
                         registry::KeyId& key) override;
    // Holds no values: every query finds none.
    Win32Error QueryValue(registry::KeyId key, const wchar_t* name, std::uint32_t* valueType, void* data,
                          std::uint32_t& size) override;
    Win32Error SetValue(registry::KeyId key, const wchar_t* name, std::uint32_t valueType, const void* data,
                        std::uint32_t size) override;
    Win32Error DeleteValue(registry::KeyId key, const wchar_t* name) override;
    Win32Error DeleteKey(registry::KeyId parent, const wchar_t* subKey) override;
    // Every key is empty, so deleting one with its subkeys ends at once.
    Win32Error FirstSubKeyName(registry::KeyId key, wchar_t* name, std::uint32_t room) override;
    Win32Error HasSubKeys(registry::KeyId key, bool& hasSubKeys) override;
    Win32Error CloseKey(registry::KeyId key) override;
};

}  // namespace tessaly
