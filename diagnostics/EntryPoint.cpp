#include "diagnostics/EntryPoint.h"

namespace tessaly {

void ReportEntryPointFailure(const wchar_t* owner, const wchar_t* operation, const char* message) noexcept {
    try {
        const std::wstring wide = WidenMessage(message);
        WriteDebugLine({L"Tessaly: Exception in ", owner, operation, L": ", wide});
    } catch (...) {
        // Out of memory while widening: the line goes without its message.
        WriteDebugLine({L"Tessaly: Exception in ", owner, operation, L": "});
    }
}

}  // namespace tessaly
