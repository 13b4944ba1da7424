#pragma once
// Starts a child process for a test. Wine under heavy load now and then
// fails a start before the child runs any of its code (CreateProcess then
// fails with ERROR_INTERNAL_ERROR: the new process died during Wine's own
// start-up); that is retried, twice at most, so a test's result is the
// program's and not the machine's. Any other failure is returned at once.
#include <windows.h>

namespace tessaly::testing {

// As CreateProcessW with the command line, handle inheritance and start-up
// information given; on failure false, with the last error set.
bool StartProcess(wchar_t* commandLine, bool inheritHandles, STARTUPINFOW& startup, PROCESS_INFORMATION& process);

}  // namespace tessaly::testing
