#pragma once
// The six settings of the context menu: named 32-bit numbers in the current
// user's key HKEY_CURRENT_USER\Software\Quenbridge\<application name>, read
// afresh at every use. A setting that is missing or unusable reads as its
// default, which is written back. Nothing is held between calls and nothing is
// reported: reading falls back to defaults, writing answers false.
#include <cstdint>

#include "platform/registry/Registry.h"

namespace tessaly {

// The value names, exactly as stored.
namespace setting {
constexpr const wchar_t* kShowRecentModified = L"ShowRecentModified";
constexpr const wchar_t* kShowRecentAccessed = L"ShowRecentAccessed";
constexpr const wchar_t* kFileCount = L"FileCount";
constexpr const wchar_t* kHighlightDays = L"HighlightDays";
constexpr const wchar_t* kShowTimeHint = L"ShowTimeHint";
constexpr const wchar_t* kWeekStart = L"WeekStart";
}  // namespace setting

// The default of the named setting; -1 for any other name, including one that
// differs only in letter case, and for none.
std::int32_t GetDefaultSetting(const wchar_t* name);

// Stores the value as a REG_DWORD, creating the key chain when missing; true
// when it was stored. A refused step ends the write and leaves no value.
bool WriteSetting(const wchar_t* name, std::int32_t value);

// The stored bits of the value (up to 4 bytes of any registry type,
// little-endian, missing high bytes zero). A missing key or value, or data of
// more than 4 bytes, gives the default, which is then stored.
std::int32_t ReadSetting(const wchar_t* name);

// The same on a given registry; the functions above use the product's.
bool WriteSetting(registry::Registry& registry, const wchar_t* name, std::int32_t value);
std::int32_t ReadSetting(registry::Registry& registry, const wchar_t* name);

}  // namespace tessaly
