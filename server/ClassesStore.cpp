#include "server/ClassesStore.h"

namespace tessaly {

using registry::KeyId;

namespace {
constexpr wchar_t kClassesPath[] = L"Software\\Classes";
}

ClassesStore::ClassesStore(registry::Registry& inner, bool perUser)
    : m_inner(inner), m_root(perUser ? registry::kCurrentUser : registry::kLocalMachine) {}

KeyId ClassesStore::RootOf(KeyId parent) const { return parent == registry::kClassesRoot ? m_root : parent; }

const wchar_t* ClassesStore::PathOf(KeyId parent, const wchar_t* subKey, std::wstring& path) const {
    if (parent != registry::kClassesRoot) return subKey;
    path = kClassesPath;
    if (subKey != nullptr && *subKey != L'\0') path.append(L"\\").append(subKey);
    return path.c_str();
}

template <typename Operation>
Win32Error ClassesStore::OnKey(KeyId key, std::uint32_t access, Operation operation) {
    if (key != registry::kClassesRoot) return operation(key);
    registry::Key store;
    if (const Win32Error error = registry::OpenKey(m_inner, m_root, kClassesPath, access, store)) return error;
    return operation(store.id());
}

Win32Error ClassesStore::OpenKey(KeyId parent, const wchar_t* subKey, std::uint32_t access, KeyId& key) {
    std::wstring path;
    return m_inner.OpenKey(RootOf(parent), PathOf(parent, subKey, path), access, key);
}

Win32Error ClassesStore::CreateKey(KeyId parent, const wchar_t* subKey, std::uint32_t access, KeyId& key) {
    std::wstring path;
    return m_inner.CreateKey(RootOf(parent), PathOf(parent, subKey, path), access, key);
}

Win32Error ClassesStore::QueryValue(KeyId key, const wchar_t* name, std::uint32_t* valueType, void* data,
                                    std::uint32_t& size) {
    return OnKey(key, registry::access::kQueryValue,
                 [&](KeyId at) { return m_inner.QueryValue(at, name, valueType, data, size); });
}

Win32Error ClassesStore::SetValue(KeyId key, const wchar_t* name, std::uint32_t valueType, const void* data,
                                  std::uint32_t size) {
    return OnKey(key, registry::access::kSetValue,
                 [&](KeyId at) { return m_inner.SetValue(at, name, valueType, data, size); });
}

Win32Error ClassesStore::DeleteValue(KeyId key, const wchar_t* name) {
    return OnKey(key, registry::access::kSetValue, [&](KeyId at) { return m_inner.DeleteValue(at, name); });
}

Win32Error ClassesStore::DeleteKey(KeyId parent, const wchar_t* subKey) {
    // The classes root cannot delete itself, nor so the store's key.
    if (parent == registry::kClassesRoot && (subKey == nullptr || *subKey == L'\0')) return win32::kAccessDenied;
    std::wstring path;
    return m_inner.DeleteKey(RootOf(parent), PathOf(parent, subKey, path));
}

Win32Error ClassesStore::FirstSubKeyName(KeyId key, wchar_t* name, std::uint32_t room) {
    return OnKey(key, registry::access::kEnumerateSubKeys,
                 [&](KeyId at) { return m_inner.FirstSubKeyName(at, name, room); });
}

Win32Error ClassesStore::HasSubKeys(KeyId key, bool& hasSubKeys) {
    return OnKey(key, registry::access::kQueryValue, [&](KeyId at) { return m_inner.HasSubKeys(at, hasSubKeys); });
}

Win32Error ClassesStore::CloseKey(KeyId key) { return m_inner.CloseKey(key); }

}  // namespace tessaly
