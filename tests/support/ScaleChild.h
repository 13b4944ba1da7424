#pragma once
// Wine reads the display scale (LogPixels) when a process starts, so a check
// at another scale runs in a child process of the test program, started
// after the value is set. The child runs one test, named by a filter, with
// an environment variable that tells it it is the child.
#include <windows.h>

namespace tessaly::testing {

// Sets LogPixels to `dpi` and runs this program with --gtest_filter=`test`
// and `variable`=`value` in its environment; back to 96 afterwards. The
// child's exit code, -1 when it could not start; a child that does not end
// within a minute is ended.
int RunSelfAtScale(DWORD dpi, const wchar_t* test, const wchar_t* variable, const wchar_t* value);

// Whether this process is such a child: `variable` is set.
bool IsScaleChild(const wchar_t* variable);

}  // namespace tessaly::testing
