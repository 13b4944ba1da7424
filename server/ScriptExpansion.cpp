#include "server/ScriptExpansion.h"

#include <cwchar>
#include <string_view>

namespace tessaly {

namespace {

// What a per-user run puts in place of "HKCR" at the top level, and before
// the brace that closes such a block: the block's content then stands inside
// HKCU { Software { Classes { ... } } }.
constexpr std::wstring_view kClassesRootName = L"HKCR";
constexpr std::wstring_view kUserClassesOpening = L"HKCU\r\n{\tSoftware\r\n\t{\r\n\t\tClasses";
constexpr std::wstring_view kUserClassesClosing = L"\r\n\t}\r\n}\r\n";

// Follows braces and quoted strings of the original text, so that only the
// root key names at the top level are rewritten.
class UserClassesRedirect {
public:
    // Handles the character at text[i] when it matters to the redirection:
    // appends what it stands for and returns how many characters it took
    // (0 when the character is to be copied as it is).
    std::size_t Step(std::wstring_view text, std::size_t i, std::wstring& out) {
        const wchar_t c = text[i];
        if (m_inQuotes) {
            if (c == L'\'') {
                if (i + 1 < text.size() && text[i + 1] == L'\'') {
                    out.append(L"''");
                    return 2;
                }
                m_inQuotes = false;
            }
            return 0;
        }
        switch (c) {
            case L'\'':
                m_inQuotes = true;
                return 0;
            case L'{':
                ++m_depth;
                return 0;
            case L'}':
                --m_depth;
                if (m_depth == 0 && m_redirected) {
                    out.append(kUserClassesClosing);
                    m_redirected = false;
                }
                return 0;
            default:
                if (m_depth == 0 && text.substr(i, kClassesRootName.size()) == kClassesRootName) {
                    out.append(kUserClassesOpening);
                    m_redirected = true;
                    return kClassesRootName.size();
                }
                return 0;
        }
    }

private:
    long m_depth = 0;
    bool m_inQuotes = false;
    bool m_redirected = false;
};

}  // namespace

HResult ExpandScript(const wchar_t* text, const ReplacementTable& replacements, bool perUser,
                     std::wstring& expanded) {
    const std::wstring_view source(text, std::wcslen(text));
    std::wstring out;
    out.reserve(source.size());
    UserClassesRedirect redirect;
    std::size_t i = 0;
    while (i < source.size()) {
        if (source[i] == L'%') {
            if (i + 1 < source.size() && source[i + 1] == L'%') {
                out.push_back(L'%');
                i += 2;
                continue;
            }
            const std::size_t close = source.find(L'%', i + 1);
            if (close == std::wstring_view::npos) return hr::kDispException;
            const std::wstring_view name = source.substr(i + 1, close - i - 1);
            if (name.size() > kMaxReplacementName) return hr::kFail;
            const std::wstring* value = replacements.Find(name);
            if (value == nullptr) return hr::kDispException;
            out.append(*value);
            i = close + 1;
            continue;
        }
        if (perUser) {
            if (const std::size_t taken = redirect.Step(source, i, out)) {
                i += taken;
                continue;
            }
        }
        out.push_back(source[i]);
        ++i;
    }
    expanded = std::move(out);
    return hr::kOk;
}

}  // namespace tessaly
