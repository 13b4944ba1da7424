#pragma once
// The registry as the settings store and the registry script interpreter use
// it: a few operations on keys and values, each failure a Win32 error code.
// WindowsRegistry calls the real registry; MemoryRegistry is a key tree in
// memory that the host build uses and that tests use to refuse access.
#include <cstdint>
#include <utility>

#include "platform/Win32Values.h"

namespace tessaly::registry {

// An open key, as the registry that opened it knows it. The predefined roots
// carry the values Windows gives them: the 32-bit constants sign-extended to
// pointer width, as HKEY_CURRENT_USER and its kin are on 64-bit Windows.
using KeyId = std::uintptr_t;
constexpr KeyId PredefinedKey(std::uint32_t value) {
    return static_cast<KeyId>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
}
constexpr KeyId kClassesRoot = PredefinedKey(0x80000000u);
constexpr KeyId kCurrentUser = PredefinedKey(0x80000001u);
constexpr KeyId kLocalMachine = PredefinedKey(0x80000002u);
constexpr KeyId kUsers = PredefinedKey(0x80000003u);
constexpr KeyId kPerformanceData = PredefinedKey(0x80000004u);
constexpr KeyId kCurrentConfig = PredefinedKey(0x80000005u);
constexpr KeyId kDynData = PredefinedKey(0x80000006u);
constexpr KeyId kNoKey = 0;

// A handle whose key was deleted meanwhile (ERROR_KEY_DELETED).
constexpr Win32Error kKeyDeletedError = 1018;

// Access rights (the Windows masks).
namespace access {
constexpr std::uint32_t kQueryValue = 0x0001;
constexpr std::uint32_t kSetValue = 0x0002;
constexpr std::uint32_t kCreateSubKey = 0x0004;
constexpr std::uint32_t kEnumerateSubKeys = 0x0008;
constexpr std::uint32_t kNotify = 0x0010;
constexpr std::uint32_t kDelete = 0x00010000;
constexpr std::uint32_t kRead = 0x00020019;       // KEY_READ
constexpr std::uint32_t kWrite = 0x00020006;      // KEY_WRITE
constexpr std::uint32_t kAllAccess = 0x000F003F;  // KEY_ALL_ACCESS
// The registry view of 64-bit Windows to open a key in (32-bit Windows and
// the in-memory registry have one view and ignore them).
constexpr std::uint32_t kView64 = 0x0100;  // KEY_WOW64_64KEY
constexpr std::uint32_t kView32 = 0x0200;  // KEY_WOW64_32KEY
}  // namespace access

// Value types (the Windows REG_* numbers).
namespace type {
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kString = 1;       // REG_SZ
constexpr std::uint32_t kExpandString = 2;  // REG_EXPAND_SZ
constexpr std::uint32_t kBinary = 3;       // REG_BINARY
constexpr std::uint32_t kDword = 4;        // REG_DWORD
constexpr std::uint32_t kMultiString = 7;  // REG_MULTI_SZ
}  // namespace type

class Registry {
public:
    virtual ~Registry() = default;

    // Opens parent\subKey (a path of one or more levels; null or empty opens
    // parent itself again) with the requested access. ERROR_FILE_NOT_FOUND
    // when the key is missing.
    virtual Win32Error OpenKey(KeyId parent, const wchar_t* subKey, std::uint32_t access, KeyId& key) = 0;
    // Opens parent\subKey, creating what is missing (no class, non-volatile).
    virtual Win32Error CreateKey(KeyId parent, const wchar_t* subKey, std::uint32_t access, KeyId& key) = 0;
    // Reads a value (name null or empty: the default value) into data, whose
    // room is size bytes; size becomes the value's size. With data null only
    // the size is returned; too little room gives ERROR_MORE_DATA.
    // valueType may be null.
    virtual Win32Error QueryValue(KeyId key, const wchar_t* name, std::uint32_t* valueType, void* data,
                                  std::uint32_t& size) = 0;
    virtual Win32Error SetValue(KeyId key, const wchar_t* name, std::uint32_t valueType, const void* data,
                                std::uint32_t size) = 0;
    // ERROR_FILE_NOT_FOUND when the value is missing.
    virtual Win32Error DeleteValue(KeyId key, const wchar_t* name) = 0;
    // Deletes parent\subKey, which must have no subkeys; its values go with it.
    virtual Win32Error DeleteKey(KeyId parent, const wchar_t* subKey) = 0;
    // The name of the key's first subkey into name (room in characters,
    // terminator included). ERROR_NO_MORE_ITEMS when there is none.
    virtual Win32Error FirstSubKeyName(KeyId key, wchar_t* name, std::uint32_t room) = 0;
    virtual Win32Error HasSubKeys(KeyId key, bool& hasSubKeys) = 0;
    // Closing a predefined root does nothing and succeeds.
    virtual Win32Error CloseKey(KeyId key) = 0;
};

// Owns one open key and closes it when it goes. Predefined roots may be held
// too; closing them does nothing.
class Key {
public:
    Key() = default;
    Key(Registry& registry, KeyId id) : m_registry(&registry), m_id(id) {}
    ~Key() { Close(); }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    Key(Key&& other) noexcept
        : m_registry(std::exchange(other.m_registry, nullptr)), m_id(std::exchange(other.m_id, kNoKey)) {}
    Key& operator=(Key&& other) noexcept {
        if (this != &other) {
            Close();
            m_registry = std::exchange(other.m_registry, nullptr);
            m_id = std::exchange(other.m_id, kNoKey);
        }
        return *this;
    }

    KeyId id() const { return m_id; }
    bool valid() const { return m_id != kNoKey; }

    // Closes now, reporting the registry's result (ERROR_SUCCESS when empty).
    Win32Error Close() {
        if (m_registry == nullptr || m_id == kNoKey) return win32::kSuccess;
        const Win32Error result = m_registry->CloseKey(m_id);
        m_id = kNoKey;
        return result;
    }

private:
    Registry* m_registry = nullptr;
    KeyId m_id = kNoKey;
};

// Open and create straight into an owner.
inline Win32Error OpenKey(Registry& registry, KeyId parent, const wchar_t* subKey, std::uint32_t access, Key& key) {
    KeyId id = kNoKey;
    const Win32Error result = registry.OpenKey(parent, subKey, access, id);
    if (result == win32::kSuccess) key = Key(registry, id);
    return result;
}
inline Win32Error CreateKey(Registry& registry, KeyId parent, const wchar_t* subKey, std::uint32_t access,
                            Key& key) {
    KeyId id = kNoKey;
    const Win32Error result = registry.CreateKey(parent, subKey, access, id);
    if (result == win32::kSuccess) key = Key(registry, id);
    return result;
}

}  // namespace tessaly::registry
