#pragma once
// A registry held in memory: the predefined roots, keys and typed values with
// names compared without regard to letter case, and access rights checked the
// way Windows checks them. The host build runs on it; tests on both sides use
// it to make the registry refuse access.
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry/Registry.h"

namespace tessaly::registry {

// What HKEY_CLASSES_ROOT is. Wine 8 keeps it apart from the user's classes
// (it is the machine's HKLM\Software\Classes, and nothing merges
// HKCU\Software\Classes in); a separate root stands for that. Windows merges
// the two ("HKEY_CLASSES_ROOT Key" and "Merged View of HKEY_CLASSES_ROOT",
// Microsoft Learn): a key the user's classes hold is the user's, others the
// machine's; a new key goes to the machine's classes, a value to the key it
// is written to, which is the user's where the user's classes hold it. Both
// stores are made with the registry then, and the root holds nothing of its own.
enum class ClassesRoot { Separate, Merged };

class MemoryRegistry final : public Registry {
public:
    explicit MemoryRegistry(ClassesRoot classes = ClassesRoot::Separate);
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
    using Path = std::vector<std::wstring>;
    struct Handle {
        std::shared_ptr<Node> node;
        std::uint32_t access;
        // For a key opened through the merged classes root: its path below
        // that root, where its subkeys are looked for in both stores.
        std::optional<Path> classesPath;
    };
    Win32Error Resolve(KeyId key, Handle& handle) const;
    KeyId NewHandle(std::shared_ptr<Node> node, std::uint32_t access, std::optional<Path> classesPath = {});
    // The merged view: the two stores' keys at a path below the classes
    // root (null where a store has none), and the one a handle stands for.
    std::shared_ptr<Node> UserClassesKey(const Path& path) const;
    std::shared_ptr<Node> MachineClassesKey(const Path& path) const;
    std::shared_ptr<Node> MergedClassesKey(const Path& path) const;
    Win32Error OpenMergedKey(const Path& path, std::uint32_t access, bool create, KeyId& key);
    Win32Error DeleteMergedKey(const Path& path);
    // The subkeys of a handle's key by folded name (both stores' for a merged one).
    std::map<std::wstring, std::shared_ptr<Node>> SubKeysOf(const Handle& handle) const;

    const ClassesRoot m_classes;

    // One lock for the whole tree: like the real registry, this one may be
    // used from any thread.
    mutable std::mutex m_mutex;
    std::map<KeyId, std::shared_ptr<Node>> m_roots;
    std::map<KeyId, Handle> m_handles;
    KeyId m_nextHandle = 0x1000;
};

}  // namespace tessaly::registry
