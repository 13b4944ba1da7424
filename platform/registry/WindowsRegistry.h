#pragma once
// The real registry of the running system (Windows only). Keys are opened and
// created without registry view flags, so a 64-bit module works in the
// 64-bit view.
#include "platform/registry/Registry.h"

namespace tessaly::registry {

class WindowsRegistry final : public Registry {
public:
    Win32Error OpenKey(KeyId parent, const wchar_t* subKey, std::uint32_t access, KeyId& key) override;
    Win32Error CreateKey(KeyId parent, const wchar_t* subKey, std::uint32_t access, KeyId& key) override;
    Win32Error QueryValue(KeyId key, const wchar_t* name, std::uint32_t* valueType, void* data,
                          std::uint32_t& size) override;
    Win32Error SetValue(KeyId key, const wchar_t* name, std::uint32_t valueType, const void* data,
                        std::uint32_t size) override;
    Win32Error DeleteValue(KeyId key, const wchar_t* name) override;
    // Through RegDeleteKeyExW where the system has it, else RegDeleteKeyW.
    Win32Error DeleteKey(KeyId parent, const wchar_t* subKey) override;
    Win32Error FirstSubKeyName(KeyId key, wchar_t* name, std::uint32_t room) override;
    Win32Error HasSubKeys(KeyId key, bool& hasSubKeys) override;
    Win32Error CloseKey(KeyId key) override;
};

}  // namespace tessaly::registry
