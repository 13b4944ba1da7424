#pragma once
// Composes text into a fixed buffer, cutting what does not fit. Used for the
// debug and error lines instead of printf-style formatting, so that no text
// that is printed can ever act as a format.
#include <cstddef>
#include <string_view>

namespace tessaly::diagnostics {

class BoundedText {
public:
    // capacity counts the terminating null; the buffer always stays terminated.
    BoundedText(wchar_t* buffer, std::size_t capacity) : m_buffer(buffer), m_capacity(capacity) {
        if (m_capacity > 0) m_buffer[0] = L'\0';
    }

    BoundedText& Append(std::wstring_view text);
    BoundedText& AppendHex(unsigned long long value);  // lower case, no leading zeros

    const wchar_t* c_str() const { return m_buffer; }
    std::size_t size() const { return m_length; }

private:
    wchar_t* m_buffer;
    std::size_t m_capacity;
    std::size_t m_length = 0;
};

}  // namespace tessaly::diagnostics
