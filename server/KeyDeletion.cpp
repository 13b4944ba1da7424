#include "server/KeyDeletion.h"

namespace tessaly {

using registry::access::kRead;
using registry::access::kWrite;

Win32Error DeleteKeyWithSubKeys(registry::Registry& registry, registry::KeyId parent, const wchar_t* name) {
    registry::Key key;
    if (Win32Error error = registry::OpenKey(registry, parent, name, kRead | kWrite, key)) return error;
    // Always the first subkey: each one is gone before the next is asked for.
    wchar_t subKeyName[kMaxSubKeyName + 1];
    while (registry.FirstSubKeyName(key.id(), subKeyName, kMaxSubKeyName + 1) == win32::kSuccess) {
        if (Win32Error error = DeleteKeyWithSubKeys(registry, key.id(), subKeyName)) return error;
    }
    key.Close();
    return registry.DeleteKey(parent, name);
}

}  // namespace tessaly
