#pragma once
// The firewall around each entry point of the context-menu handler: failures
// inside travel as standard exceptions carrying a message; here they become
// one debug line and the operation's failure result. Nothing escapes.
#include <exception>

#include "diagnostics/DebugOutput.h"
#include "diagnostics/ErrorText.h"
#include "platform/Win32Values.h"

namespace tessaly {

// Writes the entry point's one debug line; never throws.
void ReportEntryPointFailure(const wchar_t* operation, const char* message) noexcept;

// Runs work(result) with result preset to failureResult; work replaces it
// once the step that decides success has completed. A caught failure writes
// "Tessaly: Exception in CTessalyShExt::<operation>: <message>" and returns
// the result reached so far.
template <typename Work>
HResult RunEntryPoint(const wchar_t* operation, HResult failureResult, Work&& work) noexcept {
    HResult result = failureResult;
    try {
        work(result);
    } catch (const std::exception& failure) {
        ReportEntryPointFailure(operation, failure.what());
    } catch (...) {
        // Only standard exceptions are raised inside; anything else is still
        // kept from crossing into the shell.
        ReportEntryPointFailure(operation, "unknown exception");
    }
    return result;
}

}  // namespace tessaly
