#include "server/AcceptingRegistry.h"

namespace tessaly {

namespace {
// Any handle but the empty one: the runner only passes it back.
constexpr registry::KeyId kAnyKey = 1;
}  // namespace

Win32Error AcceptingRegistry::OpenKey(registry::KeyId, const wchar_t*, std::uint32_t, registry::KeyId& key) {
    key = kAnyKey;
    return win32::kSuccess;
}

Win32Error AcceptingRegistry::CreateKey(registry::KeyId, const wchar_t*, std::uint32_t, registry::KeyId& key) {
    key = kAnyKey;
    return win32::kSuccess;
}

Win32Error AcceptingRegistry::QueryValue(registry::KeyId, const wchar_t*, std::uint32_t*, void*, std::uint32_t&) {
    return win32::kFileNotFound;
}

Win32Error AcceptingRegistry::SetValue(registry::KeyId, const wchar_t*, std::uint32_t, const void*, std::uint32_t) {
    return win32::kSuccess;
}

Win32Error AcceptingRegistry::DeleteValue(registry::KeyId, const wchar_t*) { return win32::kSuccess; }

Win32Error AcceptingRegistry::DeleteKey(registry::KeyId, const wchar_t*) { return win32::kSuccess; }

Win32Error AcceptingRegistry::FirstSubKeyName(registry::KeyId, wchar_t*, std::uint32_t) {
    return win32::kNoMoreItems;
}

Win32Error AcceptingRegistry::HasSubKeys(registry::KeyId, bool& hasSubKeys) {
    hasSubKeys = false;
    return win32::kSuccess;
}

Win32Error AcceptingRegistry::CloseKey(registry::KeyId) { return win32::kSuccess; }

}  // namespace tessaly
