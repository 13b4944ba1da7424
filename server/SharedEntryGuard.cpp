#include "server/SharedEntryGuard.h"

#include "platform/registry/RegistryViews.h"
#include "server/CaseFold.h"

namespace tessaly {

using registry::KeyId;

namespace {

constexpr std::wstring_view kApprovedPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

bool IsEntryOfBothBuilds(KeyId root, std::wstring_view path) {
    if (!registry::IsSharedBetweenViews(root, path)) return false;
    const std::optional<std::wstring_view> classesPath = registry::PathBelowClasses(root, path);
    constexpr std::wstring_view kAppId = L"AppID\\";
    if (classesPath && classesPath->size() > kAppId.size() &&
        SameTextIgnoringCase(classesPath->substr(0, kAppId.size()), kAppId)) {
        // AppID\{...} is an application; AppID\<file name> maps one module to it.
        return (*classesPath)[kAppId.size()] == L'{';
    }
    return true;
}

// Whether the class's InprocServer32 key is there below root\Software\Classes, asked with `view`.
bool ClassRegisteredIn(registry::Registry& registry, KeyId root, std::wstring_view classId, std::uint32_t view) {
    const std::wstring path = L"Software\\Classes\\CLSID\\" + std::wstring(classId) + L"\\InprocServer32";
    registry::Key key;
    return registry::OpenKey(registry, root, path.c_str(), registry::access::kQueryValue | view, key) !=
           win32::kFileNotFound;
}

}  // namespace

SharedWith SharingOf(KeyId root, std::wstring_view path) {
    if (root == registry::kLocalMachine && SameTextIgnoringCase(path, kApprovedPath)) return SharedWith::OtherMode;
    return IsEntryOfBothBuilds(root, path) ? SharedWith::OtherBuild : SharedWith::Nobody;
}

bool ClassRegisteredInEitherView(registry::Registry& registry, std::wstring_view classId, bool perUser) {
    const KeyId root = perUser ? registry::kCurrentUser : registry::kLocalMachine;
    return ClassRegisteredIn(registry, root, classId, registry::access::kView64) ||
           ClassRegisteredIn(registry, root, classId, registry::access::kView32);
}

bool ClassRegisteredInThisView(registry::Registry& registry, std::wstring_view classId) {
    return ClassRegisteredIn(registry, registry::kLocalMachine, classId, 0) ||
           ClassRegisteredIn(registry, registry::kCurrentUser, classId, 0);
}

SharedEntryGuard::Place SharedEntryGuard::PlaceOf(KeyId parent, const wchar_t* subKey) const {
    const auto known = m_places.find(parent);
    Place place = known != m_places.end() ? known->second : Place{parent, std::wstring()};
    if (subKey != nullptr && *subKey != L'\0') {
        if (!place.path.empty()) place.path += L'\\';
        place.path += subKey;
    }
    return place;
}

void SharedEntryGuard::Remember(KeyId parent, const wchar_t* subKey, KeyId key) {
    try {
        m_places[key] = PlaceOf(parent, subKey);
    } catch (...) {
        m_inner.CloseKey(key);  // the caller never gets it
        throw;
    }
}

Win32Error SharedEntryGuard::OpenKey(KeyId parent, const wchar_t* subKey, std::uint32_t access, KeyId& key) {
    constexpr std::uint32_t kChanges = registry::access::kSetValue | registry::access::kCreateSubKey |
                                       registry::access::kDelete;
    if (m_removing && (access & kChanges) != 0 && Keeps(PlaceOf(parent, subKey)))
        access = (access & ~kChanges) | registry::access::kQueryValue;
    const Win32Error result = m_inner.OpenKey(parent, subKey, access, key);
    if (result == win32::kSuccess) Remember(parent, subKey, key);
    return result;
}

Win32Error SharedEntryGuard::CreateKey(KeyId parent, const wchar_t* subKey, std::uint32_t access, KeyId& key) {
    const Win32Error result = m_inner.CreateKey(parent, subKey, access, key);
    if (result == win32::kSuccess) Remember(parent, subKey, key);
    return result;
}

bool SharedEntryGuard::Keeps(const Place& place) const {
    const SharedWith sharing = SharingOf(place.root, place.path);
    return sharing != SharedWith::Nobody && m_stillNeeded(sharing);
}

Win32Error SharedEntryGuard::DeleteValue(KeyId key, const wchar_t* name) {
    if (Keeps(PlaceOf(key, nullptr))) return win32::kSuccess;
    return m_inner.DeleteValue(key, name);
}

Win32Error SharedEntryGuard::DeleteKey(KeyId parent, const wchar_t* subKey) {
    if (Keeps(PlaceOf(parent, subKey))) return win32::kSuccess;
    return m_inner.DeleteKey(parent, subKey);
}

Win32Error SharedEntryGuard::CloseKey(KeyId key) {
    m_places.erase(key);
    return m_inner.CloseKey(key);
}

}  // namespace tessaly
