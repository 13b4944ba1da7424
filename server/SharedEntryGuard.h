#pragma once
// Some of what a registration writes is written by other registrations too,
// and must stay while one of them does (docs/registry-views.md):
//  - The DLL comes in two builds, the 64-bit one and its 32-bit companion,
//    with one class id. On 64-bit Windows each registers its class in its
//    own registry view, but the shell's three context-menu hooks and the
//    application identifier's own key lie in keys the two views share.
//  - A build may be registered machine-wide and for a user at once. Each
//    writes its own classes, but both write the one approval of the class in
//    the shell's list under HKEY_LOCAL_MACHINE.
//
// SharedEntryGuard stands in front of the registry for a script run: it
// passes everything through, except that it keeps such an entry while
// another registration still stands. It asks that only when such an entry
// is about to go: by then the run has removed its own class, since the class
// block comes first in the class script, and the class script runs before
// the application identifier script.
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/registry/Registry.h"

namespace tessaly {

// Which other registration an entry (a key, or the values in it) serves too.
enum class SharedWith {
    Nobody,
    // A key shared between the registry views, other than a module's own key
    // below AppID (each build names its own there; AppID\{...} is the
    // application both share): the other build's registration.
    OtherBuild,
    // The shell's list of approved extensions: the other mode's registration
    // of the build, in the same view.
    OtherMode,
};
SharedWith SharingOf(registry::KeyId root, std::wstring_view path);

// Whether either registry view holds a registration of the class (its
// InprocServer32 key) where this mode registers: below the machine's classes
// for a machine-wide registration, the user's for a per-user one; never the
// merged HKEY_CLASSES_ROOT, where a per-user registration would stand for the
// machine's. A key that cannot be read for another reason than its absence
// counts as there: what is shared is kept rather than lost.
bool ClassRegisteredInEitherView(registry::Registry& registry, std::wstring_view classId, bool perUser);

// Whether this registry view holds a registration of the class below either
// the machine's or the user's classes, read the same way.
bool ClassRegisteredInThisView(registry::Registry& registry, std::wstring_view classId);

class SharedEntryGuard final : public registry::Registry {
public:
    // stillNeeded: whether the registration an entry is shared with still
    // stands. removing: the run unregisters, so its only changes are
    // deletions; a key all of whose deletions would be kept is then opened
    // without asking to change it (a user removing his own registration
    // may not write the machine's approval list, which the machine-wide
    // registration keeps).
    SharedEntryGuard(registry::Registry& inner, std::function<bool(SharedWith)> stillNeeded, bool removing)
        : m_inner(inner), m_stillNeeded(std::move(stillNeeded)), m_removing(removing) {}

    Win32Error OpenKey(registry::KeyId parent, const wchar_t* subKey, std::uint32_t access,
                       registry::KeyId& key) override;
    Win32Error CreateKey(registry::KeyId parent, const wchar_t* subKey, std::uint32_t access,
                         registry::KeyId& key) override;
    Win32Error QueryValue(registry::KeyId key, const wchar_t* name, std::uint32_t* valueType, void* data,
                          std::uint32_t& size) override {
        return m_inner.QueryValue(key, name, valueType, data, size);
    }
    Win32Error SetValue(registry::KeyId key, const wchar_t* name, std::uint32_t valueType, const void* data,
                        std::uint32_t size) override {
        return m_inner.SetValue(key, name, valueType, data, size);
    }
    // A kept value or key counts as deleted.
    Win32Error DeleteValue(registry::KeyId key, const wchar_t* name) override;
    Win32Error DeleteKey(registry::KeyId parent, const wchar_t* subKey) override;
    Win32Error FirstSubKeyName(registry::KeyId key, wchar_t* name, std::uint32_t room) override {
        return m_inner.FirstSubKeyName(key, name, room);
    }
    Win32Error HasSubKeys(registry::KeyId key, bool& hasSubKeys) override { return m_inner.HasSubKeys(key, hasSubKeys); }
    Win32Error CloseKey(registry::KeyId key) override;

private:
    // Where an open key lies: its root and the path below it.
    struct Place {
        registry::KeyId root;
        std::wstring path;
    };
    Place PlaceOf(registry::KeyId parent, const wchar_t* subKey) const;
    // Notes where a key just opened lies; closes it again when that fails.
    void Remember(registry::KeyId parent, const wchar_t* subKey, registry::KeyId key);
    bool Keeps(const Place& place) const;

    registry::Registry& m_inner;
    std::function<bool(SharedWith)> m_stillNeeded;
    bool m_removing;
    std::map<registry::KeyId, Place> m_places;
};

}  // namespace tessaly
