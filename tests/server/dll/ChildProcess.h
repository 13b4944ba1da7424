#pragma once
// Runs another program of the same Wine prefix to its end, with a time limit,
// and collects what it printed.
#include <string>

namespace tessaly::testing {

// The exit code; throws when the program cannot start or outlives timeoutMs
// (it is ended then).
unsigned RunProgram(const std::wstring& commandLine, std::string& output, unsigned timeoutMs = 60000);

// This test program's own folder, ending in a backslash.
std::wstring OwnFolder();

}  // namespace tessaly::testing
