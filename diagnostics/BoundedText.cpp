#include "diagnostics/BoundedText.h"

namespace tessaly::diagnostics {

BoundedText& BoundedText::Append(std::wstring_view text) {
    if (m_capacity == 0) return *this;
    for (wchar_t c : text) {
        if (m_length + 1 >= m_capacity) break;
        m_buffer[m_length++] = c;
    }
    m_buffer[m_length] = L'\0';
    return *this;
}

BoundedText& BoundedText::AppendHex(unsigned long long value) {
    wchar_t digits[17];
    std::size_t count = 0;
    do {
        digits[count++] = L"0123456789abcdef"[value & 0xF];
        value >>= 4;
    } while (value != 0);
    wchar_t text[17];
    for (std::size_t i = 0; i < count; ++i) text[i] = digits[count - 1 - i];
    return Append(std::wstring_view(text, count));
}

}  // namespace tessaly::diagnostics
