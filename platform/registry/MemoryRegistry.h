#pragma once
// A registry held in memory: the predefined roots, keys and typed values with
// names compared without regard to letter case, and access rights checked the
// way Windows checks them. The host build runs on it; tests on both sides use
// it to make the registry refuse access.
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/registry/Registry.h"

namespace tessaly::registry {

class MemoryRegistry final : public Registry {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;

    Win32Error OpenKey(KeyId parent, const wchar_t* subKey, std::uint32_t access, KeyId& key) override;
    Win32Error CreateKey(KeyId parent, const wchar_t* subKey, std::uint32_t access, KeyId& key) override;
    Win32Error QueryValue(KeyId key, const wchar_t* name, std::uint32_t* valueType, void* data,
                          std::uint32_t& size) override;
    Win32Error SetValue(KeyId key, const wchar_t* name, std::uint32_t valueType, const void* data,
                        std::uint32_t size) override;
    Win32Error DeleteValue(KeyId key, const wchar_t* name) override;
    Win32Error DeleteKey(KeyId parent, const wchar_t* subKey) override;
    Win32Error FirstSubKeyName(KeyId key, wchar_t* name, std::uint32_t room) override;
    Win32Error HasSubKeys(KeyId key, bool& hasSubKeys) override;
    Win32Error CloseKey(KeyId key) override;

    // Makes the key at root\path (created if missing) refuse every request
    // for any of the given rights with ERROR_ACCESS_DENIED: opening or
    // creating it with such access, creating subkeys under it (kCreateSubKey)
    // and deleting it (kDelete).
    void Deny(KeyId root, const std::wstring& path, std::uint32_t rights);

    // The whole tree below a root as text, one line per key and value in
    // name order, for comparing states in tests.
    std::wstring Dump(KeyId root) const;

    // Keys opened and not closed yet (predefined roots do not count).
    std::size_t OpenHandleCount() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_handles.size();
    }

    struct Node;

private:
    struct Handle {
        std::shared_ptr<Node> node;
        std::uint32_t access;
    };
    Win32Error Resolve(KeyId key, Handle& handle) const;
    KeyId NewHandle(std::shared_ptr<Node> node, std::uint32_t access);

    // One lock for the whole tree: like the real registry, this one may be
    // used from any thread.
    mutable std::mutex m_mutex;
    std::map<KeyId, std::shared_ptr<Node>> m_roots;
    std::map<KeyId, Handle> m_handles;
    KeyId m_nextHandle = 0x1000;
};

}  // namespace tessaly::registry
