#include "platform/registry/MemoryRegistry.h"

#include <cstring>
#include <cwctype>
#include <mutex>

namespace tessaly::registry {

namespace {

std::wstring Folded(std::wstring_view name) {
    std::wstring folded(name);
    for (wchar_t& c : folded) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return folded;
}

// A path of one or more levels, split at backslashes; empty levels dropped.
std::vector<std::wstring> SplitPath(const wchar_t* path) {
    std::vector<std::wstring> parts;
    if (path == nullptr) return parts;
    std::wstring current;
    for (const wchar_t* p = path; *p != L'\0'; ++p) {
        if (*p == L'\\') {
            if (!current.empty()) parts.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(*p);
        }
    }
    if (!current.empty()) parts.push_back(std::move(current));
    return parts;
}

bool IsRoot(KeyId key) { return key >= kClassesRoot && key <= kDynData; }

}  // namespace

struct MemoryRegistry::Node {
    struct Value {
        std::wstring name;
        std::uint32_t type = type::kNone;
        std::vector<unsigned char> data;
    };
    std::wstring name;
    std::map<std::wstring, std::shared_ptr<Node>> children;  // by folded name
    std::map<std::wstring, Value> values;                    // by folded name
    std::uint32_t denied = 0;
    bool deleted = false;

    std::shared_ptr<Node> Child(const std::wstring& childName) const {
        auto it = children.find(Folded(childName));
        return it == children.end() ? nullptr : it->second;
    }
};

namespace {

using NodePtr = std::shared_ptr<MemoryRegistry::Node>;

// The classes' place below HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
const std::vector<std::wstring>& ClassesPath() {
    static const std::vector<std::wstring> path = {L"Software", L"Classes"};
    return path;
}

std::vector<std::wstring> Joined(std::vector<std::wstring> head, const std::vector<std::wstring>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// The key at a path below a key, or null.
NodePtr Descend(NodePtr node, const std::vector<std::wstring>& parts) {
    for (const std::wstring& part : parts) {
        if (!node) break;
        node = node->Child(part);
    }
    return node;
}

// Walks down a path, making what is missing where the key above allows it.
Win32Error CreatePath(NodePtr& node, const std::vector<std::wstring>& parts) {
    for (const std::wstring& part : parts) {
        NodePtr child = node->Child(part);
        if (!child) {
            if (node->denied & access::kCreateSubKey) return win32::kAccessDenied;
            child = std::make_shared<MemoryRegistry::Node>();
            child->name = part;
            node->children.emplace(Folded(part), child);
        }
        node = child;
    }
    return win32::kSuccess;
}

// Deletes a key that has no subkeys; its values go with it.
Win32Error DeleteChild(const NodePtr& owner, const std::wstring& name) {
    const NodePtr node = owner ? owner->Child(name) : nullptr;
    if (!node) return win32::kFileNotFound;
    // Windows refuses to delete a key that still has subkeys.
    if ((node->denied & access::kDelete) || !node->children.empty()) return win32::kAccessDenied;
    node->deleted = true;
    owner->children.erase(Folded(name));
    return win32::kSuccess;
}

}  // namespace

MemoryRegistry::MemoryRegistry(ClassesRoot classes) : m_classes(classes) {
    for (KeyId root = kClassesRoot; root <= kDynData; ++root) m_roots[root] = std::make_shared<Node>();
    if (classes == ClassesRoot::Merged) {
        for (KeyId store : {kLocalMachine, kCurrentUser}) {
            NodePtr node = m_roots.at(store);
            CreatePath(node, ClassesPath());
        }
    }
}

MemoryRegistry::~MemoryRegistry() = default;

Win32Error MemoryRegistry::Resolve(KeyId key, Handle& handle) const {
    if (key == kClassesRoot && m_classes == ClassesRoot::Merged) {
        handle = Handle{MergedClassesKey({}), access::kAllAccess, Path()};
        return handle.node ? win32::kSuccess : win32::kFileNotFound;
    }
    if (IsRoot(key)) {
        handle = Handle{m_roots.at(key), access::kAllAccess, std::nullopt};
        return win32::kSuccess;
    }
    auto it = m_handles.find(key);
    if (it == m_handles.end()) return win32::kInvalidHandle;
    if (it->second.node->deleted) return kKeyDeletedError;
    handle = it->second;
    return win32::kSuccess;
}

KeyId MemoryRegistry::NewHandle(std::shared_ptr<Node> node, std::uint32_t access, std::optional<Path> classesPath) {
    const KeyId id = m_nextHandle;
    m_nextHandle += 4;
    m_handles.emplace(id, Handle{std::move(node), access, std::move(classesPath)});
    return id;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::UserClassesKey(const Path& path) const {
    return Descend(m_roots.at(kCurrentUser), Joined(ClassesPath(), path));
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::MachineClassesKey(const Path& path) const {
    return Descend(m_roots.at(kLocalMachine), Joined(ClassesPath(), path));
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::MergedClassesKey(const Path& path) const {
    NodePtr user = UserClassesKey(path);
    return user ? user : MachineClassesKey(path);
}

Win32Error MemoryRegistry::OpenMergedKey(const Path& path, std::uint32_t access, bool create, KeyId& key) {
    NodePtr node = MergedClassesKey(path);
    if (!node) {
        if (!create) return win32::kFileNotFound;
        // A new key goes to the machine's classes.
        node = MachineClassesKey({});
        if (!node) return win32::kFileNotFound;
        if (Win32Error error = CreatePath(node, path)) return error;
    }
    if (node->denied & access) return win32::kAccessDenied;
    key = NewHandle(node, access, path);
    return win32::kSuccess;
}

Win32Error MemoryRegistry::DeleteMergedKey(const Path& path) {
    if (path.empty()) return win32::kAccessDenied;
    const Path above(path.begin(), path.end() - 1);
    // The user's key is the one the merged view shows.
    if (UserClassesKey(path)) return DeleteChild(UserClassesKey(above), path.back());
    return DeleteChild(MachineClassesKey(above), path.back());
}

std::map<std::wstring, std::shared_ptr<MemoryRegistry::Node>> MemoryRegistry::SubKeysOf(const Handle& handle) const {
    if (!handle.classesPath) return handle.node->children;
    std::map<std::wstring, NodePtr> merged;
    if (NodePtr machine = MachineClassesKey(*handle.classesPath)) merged = machine->children;
    if (NodePtr user = UserClassesKey(*handle.classesPath)) {
        for (const auto& [folded, child] : user->children) merged[folded] = child;
    }
    return merged;
}

Win32Error MemoryRegistry::OpenKey(KeyId parent, const wchar_t* subKey, std::uint32_t access, KeyId& key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Handle base;
    if (Win32Error error = Resolve(parent, base)) return error;
    if (base.classesPath) return OpenMergedKey(Joined(*base.classesPath, SplitPath(subKey)), access, false, key);
    const NodePtr node = Descend(base.node, SplitPath(subKey));
    if (!node) return win32::kFileNotFound;
    if (node->denied & access) return win32::kAccessDenied;
    key = NewHandle(node, access);
    return win32::kSuccess;
}

Win32Error MemoryRegistry::CreateKey(KeyId parent, const wchar_t* subKey, std::uint32_t access, KeyId& key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Handle base;
    if (Win32Error error = Resolve(parent, base)) return error;
    if (base.classesPath) return OpenMergedKey(Joined(*base.classesPath, SplitPath(subKey)), access, true, key);
    NodePtr node = base.node;
    // Creating below a key is checked against the key itself (its security),
    // not against the rights of the handle that names it: Windows and Wine
    // create below a handle opened for reading only.
    if (Win32Error error = CreatePath(node, SplitPath(subKey))) return error;
    if (node->denied & access) return win32::kAccessDenied;
    key = NewHandle(node, access);
    return win32::kSuccess;
}

Win32Error MemoryRegistry::QueryValue(KeyId key, const wchar_t* name, std::uint32_t* valueType, void* data,
                                      std::uint32_t& size) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Handle handle;
    if (Win32Error error = Resolve(key, handle)) return error;
    if (!(handle.access & access::kQueryValue)) return win32::kAccessDenied;
    auto it = handle.node->values.find(Folded(name != nullptr ? name : L""));
    if (it == handle.node->values.end()) return win32::kFileNotFound;
    const auto& value = it->second;
    if (valueType != nullptr) *valueType = value.type;
    const auto needed = static_cast<std::uint32_t>(value.data.size());
    if (data != nullptr && size < needed) {
        size = needed;
        return win32::kMoreData;
    }
    if (data != nullptr && needed > 0) std::memcpy(data, value.data.data(), needed);
    size = needed;
    return win32::kSuccess;
}

Win32Error MemoryRegistry::SetValue(KeyId key, const wchar_t* name, std::uint32_t valueType, const void* data,
                                    std::uint32_t size) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Handle handle;
    if (Win32Error error = Resolve(key, handle)) return error;
    if (!(handle.access & access::kSetValue)) return win32::kAccessDenied;
    if (data == nullptr && size > 0) return win32::kInvalidParameter;
    const std::wstring valueName = name != nullptr ? name : L"";
    // A value that exists keeps the letter case of its first name, as in Windows.
    const auto [it, added] = handle.node->values.try_emplace(Folded(valueName));
    Node::Value& value = it->second;
    if (added) value.name = valueName;
    value.type = valueType;
    const auto* bytes = static_cast<const unsigned char*>(data);
    value.data.assign(bytes, bytes + size);
    return win32::kSuccess;
}

Win32Error MemoryRegistry::DeleteValue(KeyId key, const wchar_t* name) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Handle handle;
    if (Win32Error error = Resolve(key, handle)) return error;
    if (!(handle.access & access::kSetValue)) return win32::kAccessDenied;
    return handle.node->values.erase(Folded(name != nullptr ? name : L"")) > 0 ? win32::kSuccess
                                                                                 : win32::kFileNotFound;
}

Win32Error MemoryRegistry::DeleteKey(KeyId parent, const wchar_t* subKey) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Handle base;
    if (Win32Error error = Resolve(parent, base)) return error;
    const Path parts = SplitPath(subKey);
    if (parts.empty()) return win32::kAccessDenied;  // a key cannot delete itself this way
    if (base.classesPath) return DeleteMergedKey(Joined(*base.classesPath, parts));
    const NodePtr owner = Descend(base.node, Path(parts.begin(), parts.end() - 1));
    if (!owner) return win32::kFileNotFound;
    return DeleteChild(owner, parts.back());
}

Win32Error MemoryRegistry::FirstSubKeyName(KeyId key, wchar_t* name, std::uint32_t room) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Handle handle;
    if (Win32Error error = Resolve(key, handle)) return error;
    if (!(handle.access & access::kEnumerateSubKeys)) return win32::kAccessDenied;
    const auto children = SubKeysOf(handle);
    if (children.empty()) return win32::kNoMoreItems;
    const std::wstring& first = children.begin()->second->name;
    if (name == nullptr || first.size() + 1 > room) return win32::kMoreData;
    std::wmemcpy(name, first.c_str(), first.size() + 1);
    return win32::kSuccess;
}

Win32Error MemoryRegistry::HasSubKeys(KeyId key, bool& hasSubKeys) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Handle handle;
    if (Win32Error error = Resolve(key, handle)) return error;
    if (!(handle.access & access::kQueryValue)) return win32::kAccessDenied;
    hasSubKeys = !SubKeysOf(handle).empty();
    return win32::kSuccess;
}

Win32Error MemoryRegistry::CloseKey(KeyId key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (IsRoot(key)) return win32::kSuccess;
    return m_handles.erase(key) > 0 ? win32::kSuccess : win32::kInvalidHandle;
}

void MemoryRegistry::Deny(KeyId root, const std::wstring& path, std::uint32_t rights) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::shared_ptr<Node> node = m_roots.at(root);
    for (const std::wstring& part : SplitPath(path.c_str())) {
        std::shared_ptr<Node> child = node->Child(part);
        if (!child) {
            child = std::make_shared<Node>();
            child->name = part;
            node->children.emplace(Folded(part), child);
        }
        node = child;
    }
    node->denied |= rights;
}

namespace {
void DumpNode(const MemoryRegistry::Node& node, const std::wstring& path, std::wstring& out);
}

std::wstring MemoryRegistry::Dump(KeyId root) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::wstring out;
    DumpNode(*m_roots.at(root), L"", out);
    return out;
}

namespace {
void DumpNode(const MemoryRegistry::Node& node, const std::wstring& path, std::wstring& out) {
    static const wchar_t kHex[] = L"0123456789abcdef";
    for (const auto& [folded, value] : node.values) {
        (void)folded;
        out += path + L" [" + (value.name.empty() ? L"@" : value.name) + L"] type " + std::to_wstring(value.type) +
               L" =";
        for (unsigned char byte : value.data) {
            out += L' ';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
        out += L'\n';
    }
    for (const auto& [folded, child] : node.children) {
        (void)folded;
        const std::wstring childPath = path + L"\\" + child->name;
        out += childPath + L'\n';
        DumpNode(*child, childPath, out);
    }
}
}  // namespace

}  // namespace tessaly::registry
