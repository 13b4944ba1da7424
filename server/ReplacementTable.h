#pragma once
// The %Name% values a script run may use, in the order they were added. A
// name may be added more than once; the first entry wins.
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

class ReplacementTable {
public:
    // Copies both texts; throws std::bad_alloc when memory runs out.
    void Add(std::wstring_view name, std::wstring_view value);
    void Clear();
    // The value of the first entry whose name matches without regard to
    // letter case; null when there is none.
    const std::wstring* Find(std::wstring_view name) const;

private:
    std::vector<std::wstring> m_names;
    std::vector<std::wstring> m_values;
};

}  // namespace tessaly
