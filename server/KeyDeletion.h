#pragma once
// Deleting a key together with everything below it (ForceRemove, Delete).
#include "platform/registry/Registry.h"

namespace tessaly {

// Longest subkey name met on the way down (the registry's own limit).
constexpr std::uint32_t kMaxSubKeyName = 255;

// Deletes parent\name and all its subkeys, depth first; the first failure
// ends the deletion and is returned (what was deleted before stays deleted).
Win32Error DeleteKeyWithSubKeys(registry::Registry& registry, registry::KeyId parent, const wchar_t* name);

}  // namespace tessaly
