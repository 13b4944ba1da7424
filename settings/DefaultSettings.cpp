#include <cwchar>

#include "settings/Settings.h"

namespace tessaly {

std::int32_t GetDefaultSetting(const wchar_t* name) {
    struct Default {
        const wchar_t* name;
        std::int32_t value;
    };
    static constexpr Default kDefaults[] = {
        {setting::kShowRecentModified, 0}, {setting::kShowRecentAccessed, 1}, {setting::kFileCount, 10},
        {setting::kHighlightDays, 3},      {setting::kShowTimeHint, 1},       {setting::kWeekStart, 0},
    };
    if (name == nullptr) return -1;
    // Exact and case-sensitive, unlike the registry's own lookup.
    for (const Default& entry : kDefaults)
        if (std::wcscmp(name, entry.name) == 0) return entry.value;
    return -1;
}

}  // namespace tessaly
