#include "server/KeyDeletion.h"

#include <cwchar>

namespace tessaly {

using registry::access::kRead;
using registry::access::kWrite;

Win32Error DeleteKeyWithSubKeys(registry::Registry& registry, registry::KeyId parent, const wchar_t* name) {
    registry::Key key;
    if (Win32Error error = registry::OpenKey(registry, parent, name, kRead | kWrite, key)) return error;
    // Always the first subkey: each one is gone before the next is asked for.
    // One that comes back was kept (a registry in front may keep a key and
    // report it deleted); asking again would find it for ever.
    wchar_t subKeyName[kMaxSubKeyName + 1];
    wchar_t deleted[kMaxSubKeyName + 1] = L"";
    while (registry.FirstSubKeyName(key.id(), subKeyName, kMaxSubKeyName + 1) == win32::kSuccess &&
           std::wcscmp(subKeyName, deleted) != 0) {
        if (Win32Error error = DeleteKeyWithSubKeys(registry, key.id(), subKeyName)) return error;
        std::wcscpy(deleted, subKeyName);
    }
    key.Close();
    return registry.DeleteKey(parent, name);
}

}  // namespace tessaly
