#include "tests/settings/DebugOutputProbe.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#endif

namespace tessaly::testing {

#ifdef _WIN32
namespace {
// DBG_PRINTEXCEPTION_C and DBG_PRINTEXCEPTION_WIDE_C: raised by the debug
// output functions so that a debugger can pick the text up.
constexpr DWORD kPrintException = 0x40010006;
constexpr DWORD kPrintExceptionWide = 0x4001000A;
std::atomic<std::size_t> g_printed{0};

LONG CALLBACK CountPrints(EXCEPTION_POINTERS* info) {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    if (code == kPrintException || code == kPrintExceptionWide) ++g_printed;
    return EXCEPTION_CONTINUE_SEARCH;
}
}  // namespace

struct DebugOutputProbe::PlatformWatch {
    PlatformWatch() : handler(::AddVectoredExceptionHandler(1, CountPrints)) { g_printed = 0; }
    ~PlatformWatch() { Stop(); }
    std::size_t Stop() {
        if (handler != nullptr) ::RemoveVectoredExceptionHandler(handler);
        handler = nullptr;
        return g_printed.load();
    }
    void* handler;
};
#else
struct DebugOutputProbe::PlatformWatch {
    PlatformWatch() { ::testing::internal::CaptureStderr(); }
    ~PlatformWatch() { Stop(); }
    std::size_t Stop() {
        if (!capturing) return lines;
        capturing = false;
        const std::string text = ::testing::internal::GetCapturedStderr();
        for (char c : text) lines += c == '\n';
        if (!text.empty() && text.back() != '\n') ++lines;
        return lines;
    }
    bool capturing = true;
    std::size_t lines = 0;
};
#endif

DebugOutputProbe::DebugOutputProbe() : m_watch(std::make_unique<PlatformWatch>()) {}
DebugOutputProbe::~DebugOutputProbe() = default;

std::size_t DebugOutputProbe::Finish() { return m_watch->Stop() + m_capture.Lines().size(); }

}  // namespace tessaly::testing
