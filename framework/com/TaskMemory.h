#pragma once
// Strings in COM's task memory, which interfaces hand across in both
// directions: a copy for a caller's out parameter, and an owner for one
// received.
#include <objbase.h>

#include <cwchar>
#include <string>

namespace tessaly::com {

// A copy of text in task memory for the caller to free; E_POINTER without a
// place to put it, E_OUTOFMEMORY (and null) when memory is short.
inline HRESULT CopyToTaskMemory(const std::wstring& text, LPWSTR* out) noexcept {
    if (out == nullptr) return E_POINTER;
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    *out = static_cast<LPWSTR>(::CoTaskMemAlloc(bytes));
    if (*out == nullptr) return E_OUTOFMEMORY;
    std::wmemcpy(*out, text.c_str(), text.size() + 1);
    return S_OK;
}

// A string received in task memory, freed exactly once.
class TaskString {
public:
    TaskString() = default;
    ~TaskString() { ::CoTaskMemFree(m_text); }
    TaskString(const TaskString&) = delete;
    TaskString& operator=(const TaskString&) = delete;
    LPWSTR* put() noexcept {
        ::CoTaskMemFree(m_text);
        m_text = nullptr;
        return &m_text;
    }
    const wchar_t* get() const noexcept { return m_text; }

private:
    LPWSTR m_text = nullptr;
};

}  // namespace tessaly::com
