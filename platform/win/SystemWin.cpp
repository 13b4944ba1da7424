// Last error, system message texts, code pages and debugger output on Windows.
#include <windows.h>

#include <memory>

#include "platform/DebuggerChannel.h"
#include "platform/SystemErrors.h"
#include "platform/TextCodec.h"

namespace tessaly::platform {

Win32Error LastError() { return ::GetLastError(); }
void SetLastError(Win32Error code) { ::SetLastError(code); }

namespace {
struct LocalFreer {
    void operator()(wchar_t* text) const { ::LocalFree(text); }
};
}  // namespace

std::wstring SystemMessageText(Win32Error code) {
    wchar_t* allocated = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&allocated), 0, nullptr);
    // The system's buffer is released however the copy ends.
    const std::unique_ptr<wchar_t, LocalFreer> text(allocated);
    return text ? std::wstring(text.get(), length) : std::wstring();
}

static UINT NativeCodePage(CodePage codePage) { return codePage == CodePage::SystemAnsi ? CP_ACP : CP_THREAD_ACP; }

std::wstring NarrowToWide(std::string_view text, CodePage codePage) {
    if (text.empty()) return {};
    const UINT cp = NativeCodePage(codePage);
    const int size = static_cast<int>(text.size());
    const int needed = ::MultiByteToWideChar(cp, 0, text.data(), size, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring result(static_cast<size_t>(needed), L'\0');
    ::MultiByteToWideChar(cp, 0, text.data(), size, result.data(), needed);
    return result;
}

std::string WideToNarrow(std::wstring_view text, CodePage codePage) {
    if (text.empty()) return {};
    const UINT cp = NativeCodePage(codePage);
    const int size = static_cast<int>(text.size());
    const int needed = ::WideCharToMultiByte(cp, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string result(static_cast<size_t>(needed), '\0');
    ::WideCharToMultiByte(cp, 0, text.data(), size, result.data(), needed, nullptr, nullptr);
    return result;
}

void OutputDebugLine(const wchar_t* line) noexcept { ::OutputDebugStringW(line); }

}  // namespace tessaly::platform
