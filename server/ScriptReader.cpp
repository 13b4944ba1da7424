#include "server/ScriptReader.h"

namespace tessaly {

namespace {
bool IsWhiteSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }
}  // namespace

void ScriptReader::SkipWhiteSpace() {
    while (m_position < m_text.size() && IsWhiteSpace(m_text[m_position])) ++m_position;
}

HResult ScriptReader::ReadToken(std::wstring& token) {
    token.clear();
    SkipWhiteSpace();
    if (AtEnd()) return hr::kDispException;
    return m_text[m_position] == L'\'' ? ReadQuoted(token) : ReadPlain(token);
}

HResult ScriptReader::ReadQuoted(std::wstring& token) {
    ++m_position;  // the opening quote
    for (;;) {
        if (AtEnd()) return hr::kDispException;
        const wchar_t c = m_text[m_position++];
        if (c == L'\'') {
            if (m_position < m_text.size() && m_text[m_position] == L'\'') {
                ++m_position;  // '' stands for one quote
            } else {
                return hr::kOk;
            }
        }
        if (token.size() == kMaxTokenLength) return hr::kDispException;
        token.push_back(c);
    }
}

HResult ScriptReader::ReadPlain(std::wstring& token) {
    while (m_position < m_text.size() && !IsWhiteSpace(m_text[m_position])) {
        if (token.size() == kMaxTokenLength) return hr::kDispException;
        token.push_back(m_text[m_position++]);
    }
    return hr::kOk;
}

}  // namespace tessaly
