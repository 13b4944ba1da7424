#pragma once
// Which registry keys 64-bit Windows keeps once for both of its registry
// views, and which it keeps apart for 32-bit programs (redirected below
// Wow6432Node): the platform's table of registry keys affected by WOW64, for
// Windows 7 and later. docs/registry-views.md gives the source and what Wine
// does differently.
#include <optional>
#include <string_view>

#include "platform/registry/Registry.h"

namespace tessaly::registry {

// True for a key (a root and the path below it) that both views share, false
// for a redirected one. A key the table does not name takes the behaviour of
// its nearest named parent; one with no named parent is shared.
bool IsSharedBetweenViews(KeyId root, std::wstring_view path);

// The path of a key below its classes root (HKEY_CLASSES_ROOT,
// HKLM\Software\Classes, HKCU\Software\Classes, or a user's classes under
// HKEY_USERS), such as "AppID\X" for HKCR\AppID\X; nothing for a key that
// lies in no classes root (or is the classes root itself).
std::optional<std::wstring_view> PathBelowClasses(KeyId root, std::wstring_view path);

}  // namespace tessaly::registry
