#pragma once
// Script words (keywords, root keys, protected names, type letters and
// replacement names) match without regard to letter case.
#include <string_view>

namespace tessaly {

// Letters A-Z and a-z match their other case; every other character matches
// only itself, so the result never depends on the user's locale.
bool SameTextIgnoringCase(std::wstring_view a, std::wstring_view b);

}  // namespace tessaly
