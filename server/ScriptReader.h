#pragma once
// Second step: the expanded script read as tokens separated by white space
// (space, tab, CR, LF). A token in single quotes may hold anything, with ''
// standing for one quote; any other token runs to the next white space.
#include <string>
#include <string_view>

#include "platform/Win32Values.h"

namespace tessaly {

// Longest token (the format's fixed buffers hold 4096 characters).
constexpr std::size_t kMaxTokenLength = 4094;

class ScriptReader {
public:
    explicit ScriptReader(std::wstring_view text) : m_text(text) {}

    // S_OK and the next token; DISP_E_EXCEPTION when the text ends before a
    // token, inside a quoted token, or the token is too long.
    HResult ReadToken(std::wstring& token);
    void SkipWhiteSpace();
    bool AtEnd() const { return m_position >= m_text.size(); }

    std::size_t Position() const { return m_position; }
    void Rewind(std::size_t position) { m_position = position; }

private:
    HResult ReadQuoted(std::wstring& token);
    HResult ReadPlain(std::wstring& token);

    std::wstring_view m_text;
    std::size_t m_position = 0;
};

// The tests the parser makes on a token.
inline bool IsAssignment(const std::wstring& token) { return !token.empty() && token[0] == L'='; }
inline bool IsBlockEnd(const std::wstring& token) { return !token.empty() && token[0] == L'}'; }
inline bool IsBlockStart(const std::wstring& token) { return token == L"{"; }
// After a root key name only the first character counts.
inline bool OpensRootBlock(const std::wstring& token) { return !token.empty() && token[0] == L'{'; }

}  // namespace tessaly
