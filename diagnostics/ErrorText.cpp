#include "diagnostics/ErrorText.h"

#include <algorithm>
#include <cstring>

#include "diagnostics/BoundedText.h"
#include "platform/SystemErrors.h"
#include "platform/TextCodec.h"

namespace tessaly {

namespace {
thread_local wchar_t t_errorText[kLineBufferChars];
}

const wchar_t* FormatSystemError(const wchar_t* prefix, Win32Error code) {
    if (code == kLastErrorCode) code = platform::LastError();
    // Building the text must not fail: a text that cannot be had stays empty.
    std::wstring message;
    try {
        message = platform::SystemMessageText(code);
    } catch (...) {
    }
    // The prefix may be an earlier text of this very buffer: the new text is
    // put together aside and copied in once the prefix has been read.
    wchar_t composed[kLineBufferChars];
    diagnostics::BoundedText text(composed, kLineBufferChars);
    text.Append(prefix != nullptr ? prefix : L"").Append(L" ").Append(message).Append(L" (0x").AppendHex(code).Append(
        L")");
    std::copy_n(composed, text.size() + 1, t_errorText);
    return t_errorText;
}

std::wstring WidenMessage(const char* message) {
    if (message == nullptr) return {};
    std::wstring wide = platform::NarrowToWide(std::string_view(message, std::strlen(message)),
                                               platform::CodePage::SystemAnsi);
    if (wide.size() > kMaxMessageChars) wide.resize(kMaxMessageChars);
    return wide;
}

}  // namespace tessaly
