#include "tools/shellhost/DebugLines.h"

#include <windows.h>

#include <mutex>
#include <utility>

namespace tessaly::shellhost {
namespace {

// Raised by OutputDebugStringA and OutputDebugStringW. Wine raises only the
// narrow form, also for a wide line; Windows raises the wide one first and
// the narrow one only when the wide one went unhandled.
constexpr DWORD kPrintNarrow = 0x40010006;  // DBG_PRINTEXCEPTION_C
constexpr DWORD kPrintWide = 0x4001000A;    // DBG_PRINTEXCEPTION_WIDE_C

std::mutex g_mutex;
std::vector<std::wstring> g_lines;

// One printed line: line breaks inside become spaces, none at the end.
std::wstring OneLine(std::wstring text) {
    for (wchar_t& c : text)
        if (c == L'\r' || c == L'\n' || c == L'\0') c = L' ';
    const std::size_t end = text.find_last_not_of(L' ');
    return end == std::wstring::npos ? std::wstring() : text.substr(0, end + 1);
}

LONG CALLBACK Collect(EXCEPTION_POINTERS* pointers) {
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    const bool wide = record->ExceptionCode == kPrintWide;
    if ((!wide && record->ExceptionCode != kPrintNarrow) || record->NumberParameters < 2 ||
        record->ExceptionInformation[1] == 0)
        return EXCEPTION_CONTINUE_SEARCH;
    // The length counts the terminating null.
    const auto length = static_cast<std::size_t>(record->ExceptionInformation[0]);
    std::wstring line;
    if (wide) {
        line.assign(reinterpret_cast<const wchar_t*>(record->ExceptionInformation[1]), length);
    } else {
        const auto* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
        const int chars = ::MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0);
        line.resize(static_cast<std::size_t>(chars > 0 ? chars : 0));
        if (chars > 0) ::MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), line.data(), chars);
    }
    std::lock_guard<std::mutex> lock(g_mutex);
    g_lines.push_back(OneLine(std::move(line)));
    // Taken: so Windows raises no narrow copy of a wide line.
    return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

DebugLines::DebugLines() : m_handler(::AddVectoredExceptionHandler(1, &Collect)) {}

DebugLines::~DebugLines() {
    if (m_handler != nullptr) ::RemoveVectoredExceptionHandler(m_handler);
}

std::vector<std::wstring> DebugLines::Take() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return std::exchange(g_lines, {});
}

}  // namespace tessaly::shellhost
