#pragma once
// Runs the built shell host as a child process in this Wine prefix and
// collects what it prints. Never waits without end: a run that outlives its
// time is ended and reported.
#include <string>
#include <vector>

namespace tessaly::testing {

struct HostRun {
    unsigned long exitCode = 0;
    bool timedOut = false;
    std::vector<std::wstring> lines;   // standard output, without line ends
    std::vector<std::wstring> errors;  // standard error, likewise
};

// A build path (as CMake writes it) as a Windows path on drive Z:.
std::wstring WindowsPathOf(const char* buildPath);

// Runs `program` with `arguments` (quoted as needed).
HostRun RunProgram(const std::wstring& program, const std::vector<std::wstring>& arguments,
                   unsigned long timeoutMs = 60000);

}  // namespace tessaly::testing
