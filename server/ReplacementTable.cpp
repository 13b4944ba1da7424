#include "server/ReplacementTable.h"

#include "server/CaseFold.h"

namespace tessaly {

void ReplacementTable::Add(std::wstring_view name, std::wstring_view value) {
    std::wstring nameCopy(name);
    std::wstring valueCopy(value);
    m_names.reserve(m_names.size() + 1);
    m_values.reserve(m_values.size() + 1);
    // Both vectors have room now, so the pair goes in whole or not at all.
    m_names.push_back(std::move(nameCopy));
    m_values.push_back(std::move(valueCopy));
}

void ReplacementTable::Clear() {
    m_names.clear();
    m_values.clear();
}

const std::wstring* ReplacementTable::Find(std::wstring_view name) const {
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        if (SameTextIgnoringCase(m_names[i], name)) return &m_values[i];
    }
    return nullptr;
}

}  // namespace tessaly
