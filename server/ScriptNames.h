#pragma once
// The fixed words of the registry script format, all matched without regard
// to letter case.
#include <string_view>

#include "platform/registry/Registry.h"

namespace tessaly {

namespace keyword {
constexpr std::wstring_view kForceRemove = L"ForceRemove";
constexpr std::wstring_view kNoRemove = L"NoRemove";
constexpr std::wstring_view kDelete = L"Delete";
constexpr std::wstring_view kValue = L"Val";
}  // namespace keyword

bool IsKeyword(std::wstring_view token, std::wstring_view keyword);

// The predefined key that a root name such as "HKCR" or "HKEY_LOCAL_MACHINE"
// stands for; false for any other text.
bool FindRootKey(std::wstring_view name, registry::KeyId& root);

// Keys that ForceRemove and Delete never delete, since other software keeps
// its entries below them (CLSID, Software, ...).
bool IsProtectedKeyName(std::wstring_view name);

}  // namespace tessaly
