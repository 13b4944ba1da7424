#pragma once
// The firewall around each entry point that the system calls into (the
// context-menu handler's operations, a property page's dialog procedure):
// failures inside travel as standard exceptions carrying a message; here they
// become one debug line and the operation's failure result. Nothing escapes.
#include <exception>
#include <utility>

#include "diagnostics/DebugOutput.h"
#include "diagnostics/ErrorText.h"
#include "platform/Win32Values.h"

namespace tessaly {

// Writes "Tessaly: Exception in <owner><operation>: <message>"; never throws.
void ReportEntryPointFailure(const wchar_t* owner, const wchar_t* operation, const char* message) noexcept;

// Runs work(result) with result preset to failureResult; work replaces it
// once the step that decides success has completed. A caught failure writes
// the line above and returns the result reached so far.
template <typename Result, typename Work>
Result RunGuarded(const wchar_t* owner, const wchar_t* operation, Result failureResult, Work&& work) noexcept {
    Result result = failureResult;
    try {
        work(result);
    } catch (const std::exception& failure) {
        ReportEntryPointFailure(owner, operation, failure.what());
    } catch (...) {
        // Only standard exceptions are raised inside; anything else is still
        // kept from crossing into the system.
        ReportEntryPointFailure(owner, operation, "unknown exception");
    }
    return result;
}

// The handler's entry points: "Tessaly: Exception in CTessalyShExt::<operation>: <message>".
template <typename Work>
HResult RunEntryPoint(const wchar_t* operation, HResult failureResult, Work&& work) noexcept {
    return RunGuarded(L"CTessalyShExt::", operation, failureResult, std::forward<Work>(work));
}

}  // namespace tessaly
