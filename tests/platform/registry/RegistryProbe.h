#pragma once
// Test helpers that look at a registry through the registry layer only, so
// the same checks run against the in-memory and the real registry.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry/Registry.h"

namespace tessaly::testing {

using Bytes = std::vector<unsigned char>;

// Text as the registry stores it: UTF-16 little-endian, on every side.
inline Bytes Utf16Bytes(const std::u16string& text) {
    Bytes bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<unsigned char>(c & 0xFF));
        bytes.push_back(static_cast<unsigned char>(c >> 8));
    }
    return bytes;
}

struct StoredValue {
    Win32Error error = win32::kSuccess;
    std::uint32_t type = registry::type::kNone;
    Bytes bytes;
};

// Reads root\path's value as it is stored (error set when the key or the value is missing).
inline StoredValue ReadStored(registry::Registry& registry, registry::KeyId root, const wchar_t* path,
                              const wchar_t* name) {
    StoredValue stored;
    registry::Key key;
    stored.error = registry::OpenKey(registry, root, path, registry::access::kRead, key);
    if (stored.error != win32::kSuccess) return stored;
    std::uint32_t size = 0;
    stored.error = registry.QueryValue(key.id(), name, &stored.type, nullptr, size);
    if (stored.error != win32::kSuccess) return stored;
    stored.bytes.resize(size);
    stored.error = registry.QueryValue(key.id(), name, &stored.type, stored.bytes.data(), size);
    stored.bytes.resize(size);
    return stored;
}

inline bool KeyExists(registry::Registry& registry, registry::KeyId root, const wchar_t* path) {
    registry::Key key;
    return registry::OpenKey(registry, root, path, registry::access::kRead, key) == win32::kSuccess;
}

// Deletes root\path with everything below it; a missing key is no failure.
inline Win32Error DeleteTree(registry::Registry& registry, registry::KeyId root, const std::wstring& path) {
    registry::Key key;
    const Win32Error opened =
        registry::OpenKey(registry, root, path.c_str(), registry::access::kRead | registry::access::kWrite, key);
    if (opened == win32::kFileNotFound) return win32::kSuccess;
    if (opened != win32::kSuccess) return opened;
    wchar_t child[256];
    while (registry.FirstSubKeyName(key.id(), child, 256) == win32::kSuccess) {
        if (Win32Error error = DeleteTree(registry, key.id(), child)) return error;
    }
    key.Close();
    return registry.DeleteKey(root, path.c_str());
}

}  // namespace tessaly::testing
